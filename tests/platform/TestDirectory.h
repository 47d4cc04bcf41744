#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace miv::test {

// A directory of one test's own, removed with everything in it.
class TestDirectory {
public:
    TestDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "miv-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::filesystem::filesystem_error("mkdtemp", std::make_error_code(std::errc(errno)));
        path_ = pattern;
    }
    ~TestDirectory() { std::filesystem::remove_all(path_); }
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A file's bytes, or nothing when it cannot be read.
inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace miv::test
