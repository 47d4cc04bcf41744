// A headless station mails its reports: miv-cli tx makes a message carrying an address,
// miv-cli rx --reports decodes it and mails the report through the settings file's
// SMTP server, here one the test starts on 127.0.0.1.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "mail/SmtpTestServer.h"

namespace miv {
namespace {

class ReportsCommandLine : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("miv-reports-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    int run(const std::string& arguments) const
    {
        const std::string line = std::string(MIV_BINARY_DIR) + "/src/app/miv-cli " + arguments + " 2>>" +
                                 path("stderr") + " >>" + path("stdout");
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void writeSettings(int port) const
    {
        std::ofstream(path("MIV.ini")) << "[Operador]\nCallsign=EA4XYZ\nE-mail=ea4xyz@example.es\n"
                                       << "[Email]\nOption=1\nServidor SMTP=127.0.0.1:" << port << "\n";
    }

    std::filesystem::path dir_;
};

TEST_F(ReportsCommandLine, TheAddressInTheMessageGetsTheReport)
{
    test::SmtpTestServer server({"--mode", "accept"});
    writeSettings(server.port());
    ASSERT_EQ(run("tx --text 'qsl via <g4abc@example.com> 73' -o " + path("tx.wav")), 0);
    ASSERT_EQ(run("rx --utc 12:00 --reports --settings " + path("MIV.ini") + " " + path("tx.wav")), 0);

    const nlohmann::json seen = server.finish();
    ASSERT_TRUE(seen.value("accepted", false)) << seen.dump();
    EXPECT_EQ(seen["rcpt_to"], nlohmann::json::array({"<g4abc@example.com>"}));
    const std::string body = seen["body"].get<std::string>();
    EXPECT_NE(body.find("EA4XYZ has received your Radio Message sent at: 12:00 UTC"), std::string::npos) << body;
    EXPECT_NE(body.find("Received Message: 'qsl via <g4abc@example.com> 73'"), std::string::npos) << body;
    EXPECT_NE(body.find("Symbol Rate: 16 bauds"), std::string::npos) << body;
}

TEST_F(ReportsCommandLine, SaysWhenTheSettingsGiveNoWayToMail)
{
    ASSERT_EQ(run("tx --text 'qsl via <g4abc@example.com> 73' -o " + path("tx.wav")), 0);
    const auto stderrAfter = [this](const std::string& settings) {
        std::filesystem::remove(path("stderr"));
        EXPECT_EQ(run("rx --utc 12:00 --reports --settings " + settings + " " + path("tx.wav")), 0);
        std::ifstream in(path("stderr"));
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };

    std::filesystem::create_directories(path("folder.ini"));
    EXPECT_NE(stderrAfter(path("folder.ini")).find("could not be read"), std::string::npos);

    std::ofstream(path("operator-only.ini")) << "[Operador]\nCallsign=EA4XYZ\n";
    EXPECT_NE(stderrAfter(path("operator-only.ini")).find("no e-mail account is set"), std::string::npos);

    EXPECT_NE(stderrAfter(path("missing.ini")).find("no settings file"), std::string::npos);
}

}  // namespace
}  // namespace miv
