#include "platform/logbook/FileLogFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace miv {

namespace {

LogAppend failure(const std::string& path, const char* doing)
{
    return {false, "The log " + path + " could not be " + doing + ": " + std::strerror(errno)};
}

// Writes all of text with as few write() calls as the kernel allows (one, for a
// regular file); O_APPEND puts each at the end as it stands then.
bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

LogAppend FileLogFiles::append(const std::string& path, std::string_view header, std::string_view record)
{
    std::error_code ignored;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure(path, "opened");
    struct stat status {};
    std::string text;
    if (::fstat(fd, &status) == 0 && status.st_size == 0)
        text = header;
    text += record;
    LogAppend result;
    if (!writeAll(fd, text))
        result = failure(path, "written");
    else if (::fsync(fd) != 0)
        result = failure(path, "saved to disk");
    if (::close(fd) != 0 && result)
        result = failure(path, "closed");
    return result;
}

std::filesystem::path defaultLogPath()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return std::filesystem::path(data) / "MIV" / "miv_log.adi";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr)
            home = entry->pw_dir;
    }
    const std::filesystem::path base = home != nullptr ? std::filesystem::path(home) : std::filesystem::path();
    return base / ".local" / "share" / "MIV" / "miv_log.adi";
}

}  // namespace miv
