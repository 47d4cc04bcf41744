#include "platform/mail/SmtpTestServer.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace miv::test {

SmtpTestServer::SmtpTestServer(const std::vector<std::string>& arguments)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<std::string> command{MIV_PYTHON, MIV_SMTP_TEST_SERVER};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = pipeEnds[0];
    const std::string line = spawned == 0 ? readLine() : "";
    if (line.rfind("PORT ", 0) != 0)
        throw std::runtime_error("the test SMTP server did not start: " + line);
    port_ = std::stoi(line.substr(5));
}

SmtpTestServer::~SmtpTestServer()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(output_);
}

// One line of the server's output; empty when it says nothing for 20 s.
std::string SmtpTestServer::readLine()
{
    std::string line;
    pollfd waiting{output_, POLLIN, 0};
    char c = 0;
    while (::poll(&waiting, 1, 20'000) > 0 && ::read(output_, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

nlohmann::json SmtpTestServer::finish()
{
    const std::string line = readLine();
    if (line.empty())
        throw std::runtime_error("the test SMTP server gave no record");
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return nlohmann::json::parse(line);
}

}  // namespace miv::test
