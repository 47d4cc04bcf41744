#pragma once

#include <string>
#include <vector>

#include <sys/types.h>
#include <nlohmann/json.hpp>

namespace miv::test {

// The one-session SMTP server of smtp_test_server.py, started for one test on
// 127.0.0.1 and stopped with it.
class SmtpTestServer {
public:
    explicit SmtpTestServer(const std::vector<std::string>& arguments);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer&) = delete;  // owns a process
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    int port() const { return port_; }
    // What the server saw, once its session is over.
    nlohmann::json finish();

private:
    std::string readLine();

    pid_t pid_ = -1;
    int output_ = -1;
    int port_ = 0;
};

}  // namespace miv::test
