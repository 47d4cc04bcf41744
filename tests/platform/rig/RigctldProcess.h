#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Within.h"

extern char** environ;

namespace miv::test {

// Hamlib's dummy rig with PTT through CAT (`rigctld -m 1 -P RIG`), served on a free
// port of 127.0.0.1 for one test and stopped with it. What it holds is read back with
// `rigctl -m 2`, a second client as the operator's other programs would be.
class RigctldProcess {
public:
    RigctldProcess()
    {
        port_ = freePort();
        const std::string port = std::to_string(port_);
        const char* argv[] = {"rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", port.c_str(), nullptr};
        if (::posix_spawn(&pid_, MIV_RIGCTLD, nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            throw std::runtime_error("rigctld did not start");
        for (int tries = 0; !accepts(); ++tries) {
            if (tries == 100)
                throw std::runtime_error("rigctld does not listen");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~RigctldProcess()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    RigctldProcess(const RigctldProcess&) = delete;  // owns a process
    RigctldProcess& operator=(const RigctldProcess&) = delete;

    int port() const { return port_; }

    // The rig's PTT as another client reads it: 1 keyed, 0 not, -1 no answer.
    int ptt() const
    {
        const std::string answer = rigctl("t");
        return answer.empty() ? -1 : std::stoi(answer);
    }
    void setFrequency(long hz) const { rigctl("F " + std::to_string(hz)); }

    // A rig that stops answering, and comes back.
    void pause() const { ::kill(pid_, SIGSTOP); }
    void resume() const { ::kill(pid_, SIGCONT); }

private:
    static int freePort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        if (::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) != 0)
            throw std::runtime_error("no free port");
        ::close(s);
        return ntohs(at.sin_port);
    }

    bool accepts() const
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        at.sin_port = htons(static_cast<std::uint16_t>(port_));
        const bool connected = ::connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
        ::close(s);
        return connected;
    }

    std::string rigctl(const std::string& command) const
    {
        const std::string line =
            "'" MIV_RIGCTL "' -m 2 -r 127.0.0.1:" + std::to_string(port_) + " " + command + " 2>/dev/null";
        FILE* pipe = ::popen(line.c_str(), "r");
        std::string answer;
        for (int c = 0; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;)
            if (c != '\n')
                answer += static_cast<char>(c);
        if (pipe != nullptr)
            ::pclose(pipe);
        return answer;
    }

    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace miv::test
