#pragma once

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/types.h>
#include <nlohmann/json.hpp>

namespace miv::test {

// The one-session SMTP server of smtp_test_server.py, started for one test on
// 127.0.0.1 and stopped with it.
class SmtpTestServer {
public:
    explicit SmtpTestServer(const std::vector<std::string>& arguments)
    {
        std::string command = "exec '" MIV_PYTHON "' '" MIV_SMTP_TEST_SERVER "'";
        for (const std::string& argument : arguments)
            command += " '" + argument + "'";
        output_ = ::popen(command.c_str(), "r");
        if (output_ == nullptr || std::fscanf(output_, "PORT %d %d", &port_, &pid_) != 2)
            throw std::runtime_error("the test SMTP server did not start");
    }
    ~SmtpTestServer()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGTERM);
        if (output_ != nullptr)
            ::pclose(output_);
    }
    SmtpTestServer(const SmtpTestServer&) = delete;  // owns a process
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    int port() const { return port_; }

    // What the server saw, once its session is over.
    nlohmann::json finish()
    {
        std::string line;
        for (int c = 0; (c = std::fgetc(output_)) != EOF && (c != '\n' || line.empty());)
            if (c != '\n')
                line += static_cast<char>(c);
        pid_ = -1;
        return nlohmann::json::parse(line);
    }

private:
    FILE* output_ = nullptr;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace miv::test
