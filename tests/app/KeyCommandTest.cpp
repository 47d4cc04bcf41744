// `miv-cli key` as an operator runs it, against a rigctld the test starts on loopback
// and a serial port on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "platform/rig/RigctldProcess.h"

namespace miv::test {
namespace {

using namespace std::chrono_literals;

// miv-cli with `arguments`, its standard error silenced.
class Keying {
public:
    explicit Keying(std::vector<std::string> arguments) : arguments_(std::move(arguments))
    {
        arguments_.insert(arguments_.begin(), {std::string(MIV_BINARY_DIR) + "/src/app/miv-cli", "key"});
        std::vector<char*> argv;
        for (std::string& argument : arguments_)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Keying()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            exitCode();
        }
    }
    Keying(const Keying&) = delete;
    Keying& operator=(const Keying&) = delete;

    void signal(int signalNumber) const { ::kill(pid_, signalNumber); }
    int exitCode()
    {
        int status = 0;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -100 - WTERMSIG(status);
    }
    // Whether the program holds `path` open.
    bool holds(const std::string& path) const
    {
        std::error_code ec;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ec))
            if (std::filesystem::read_symlink(fd.path(), ec) == path)
                return true;
        return false;
    }

private:
    std::vector<std::string> arguments_;
    pid_t pid_ = -1;
};

int code(cli::ExitCode exitCode)
{
    return static_cast<int>(exitCode);
}

// Keyed for the time asked, or until a signal ends it early: unkeyed either way.
TEST(KeyCommand, KeysARigctldForTheTimeAskedAndUnkeysOnEverySignal)
{
    RigctldProcess rigctld;
    const std::string ptt = "rigctl:127.0.0.1:" + std::to_string(rigctld.port());
    {
        Keying keying({"--ptt", ptt, "--seconds", "1"});
        EXPECT_TRUE(within(5s, [&] { return rigctld.ptt() == 1; }));
        EXPECT_EQ(keying.exitCode(), 0);
        EXPECT_EQ(rigctld.ptt(), 0);
    }
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        Keying keying({"--ptt", ptt, "--seconds", "60"});
        ASSERT_TRUE(within(5s, [&] { return rigctld.ptt() == 1; }));
        keying.signal(signalNumber);
        EXPECT_EQ(keying.exitCode(), 0);
        EXPECT_EQ(rigctld.ptt(), 0) << signalNumber;
    }
}

TEST(KeyCommand, KeysASerialPortAndRefusesWhatItCannotKey)
{
    int controller = -1;
    int device = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&controller, &device, name, nullptr, nullptr), 0);
    // Only miv-cli may hold the port: nothing of the test's is inherited.
    ::close(device);
    ::fcntl(controller, F_SETFD, FD_CLOEXEC);
    {
        Keying keying({"--ptt", std::string("serial:") + name, "--seconds", "60"});
        EXPECT_TRUE(within(5s, [&] { return keying.holds(name); }));
        keying.signal(SIGTERM);
        EXPECT_EQ(keying.exitCode(), 0);
    }
    ::close(controller);

    EXPECT_EQ(Keying({"--ptt", "serial:/nonexistent/ttyUSB9"}).exitCode(), code(cli::ExitCode::OutputError));
    EXPECT_EQ(Keying({"--ptt", "rigctl:127.0.0.1:1", "--seconds", "1"}).exitCode(), code(cli::ExitCode::OutputError));
    for (const char* wrong : {"usb:/dev/ttyUSB0", "rigctl:localhost", "hamlib:ic7300:/dev/ttyUSB0:19200", "serial:"})
        EXPECT_EQ(Keying({"--ptt", wrong}).exitCode(), code(cli::ExitCode::Usage)) << wrong;
    EXPECT_EQ(Keying({"--ptt", "serial:/dev/null", "--seconds", "0"}).exitCode(), code(cli::ExitCode::Usage));
}

}  // namespace
}  // namespace miv::test
