#include "platform/settings/FileSettingsStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace miv {

namespace {

// A settings file holds a few kB; anything far larger is not one.
constexpr std::size_t kMaxSettingsSize = 1 << 20;

std::string failure(const std::filesystem::path& path, int error)
{
    return "The settings could not be saved to " + path.string() + ": " + std::strerror(error);
}

// Makes every missing directory above the file, each with mode 0700.
int makeDirectories(const std::filesystem::path& directory)
{
    if (directory.empty())
        return 0;
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    if (directory.has_parent_path() && directory.parent_path() != directory) {
        if (const int error = makeDirectories(directory.parent_path()); error != 0)
            return error;
    }
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

}  // namespace

bool FileSettingsStore::exists() const
{
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0;
}

SettingsLoad FileSettingsStore::load() const
{
    const auto unreadable = [&](const std::string& reason) {
        return SettingsLoad{
            SettingsLoad::Status::Failed, {}, "The settings could not be read from " + path_.string() + ": " + reason};
    };
    // Not blocking, so a named pipe in its place is refused rather than waited on.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        return unreadable(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return unreadable("not a regular file");
    }
    SettingsLoad result{SettingsLoad::Status::Loaded, {}, {}};
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            result = unreadable(std::strerror(errno));
            break;
        }
        if (result.text.size() + static_cast<std::size_t>(count) > kMaxSettingsSize) {
            result = unreadable("larger than 1 MB");
            break;
        }
        result.text.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return result;
}

SettingsSave FileSettingsStore::save(std::string_view text)
{
    // A settings file that is a link to elsewhere stays a link: the target is replaced.
    std::error_code ignored;
    std::filesystem::path target = path_;
    if (std::filesystem::is_symlink(path_, ignored))
        target = std::filesystem::weakly_canonical(path_, ignored);
    if (target.empty())
        target = path_;

    if (const int error = makeDirectories(target.parent_path()); error != 0)
        return {false, failure(path_, error)};

    std::string temporary = target.string() + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());  // mode 0600
    if (fd < 0)
        return {false, failure(path_, errno)};
    temporary = name.data();

    int error = writeAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return {false, failure(path_, error)};
    }
    return {};
}

std::filesystem::path defaultSettingsPath(const char* xdgConfigHome, const char* home)
{
    std::filesystem::path base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".config";
    else
        base = ".config";
    return base / "MIV" / "MIV.ini";
}

std::filesystem::path defaultSettingsPath()
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr)
            home = entry->pw_dir;
    }
    return defaultSettingsPath(std::getenv("XDG_CONFIG_HOME"), home);
}

}  // namespace miv
