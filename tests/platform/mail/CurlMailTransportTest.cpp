// Delivery through libcurl to an SMTP server on 127.0.0.1 that each test starts itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "mail/MailDispatcher.h"
#include "mail/ReportDelivery.h"
#include "mail/ReportPlanner.h"
#include "platform/TestDirectory.h"
#include "platform/Within.h"
#include "platform/mail/CurlMailTransport.h"
#include "platform/mail/SmtpTestServer.h"

namespace miv {
namespace {

using namespace std::chrono_literals;
using test::SmtpTestServer;

class CurlMailTransportTest : public ::testing::Test {
protected:
    CurlMailTransportTest()
    {
        input_.operatorDetails = {"EA4XYZ", "Pedro", "Madrid", "IN80do", "IC-7300", "ea4xyz@example.es", "73"};
        input_.utcHour = 12;
        // A line that is just "." must not end the data early.
        input_.receivedText = "QSL tnx\r\n.\r\n.. dots\r\nde G4ABC <g4abc@example.com> k";
    }

    ReportPlan smtpPlan(int port)
    {
        input_.account = {MailOption::Smtp, "127.0.0.1:" + std::to_string(port), "", ""};
        return ReportPlanner().plan(input_);
    }

    ReportInput input_;
};

TEST_F(CurlMailTransportTest, TheServerReceivesAWellFormedMessageIntact)
{
    SmtpTestServer server({"--mode", "accept"});
    const ReportPlan plan = smtpPlan(server.port());
    CurlMailTransport transport({10s, {}});
    const ReportOutcome outcome = deliverReport(plan, transport);
    const nlohmann::json seen = server.finish();

    ASSERT_EQ(outcome.status, ReportStatus::Sent) << outcome.deliveries.front().result.error;
    EXPECT_TRUE(seen["accepted"].get<bool>());
    EXPECT_EQ(seen["mail_from"], "<ea4xyz@example.es>");
    EXPECT_EQ(seen["rcpt_to"], nlohmann::json::array({"<g4abc@example.com>"}));
    EXPECT_EQ(seen["commands"].front().get<std::string>().rfind("EHLO ", 0), 0u);
    EXPECT_EQ(seen["commands"].back(), "QUIT");

    // What arrives, the dot-stuffing undone, is the report to the character; a lone "."
    // sent as it stands would have ended it early.
    EXPECT_EQ(seen["message"], plan.deliveries.front().mail.message);
    EXPECT_EQ(seen["body"], plan.body);
}

TEST_F(CurlMailTransportTest, ADeliveryTheServerDidNotAcceptIsAFailure)
{
    for (const std::string mode : {"reject-rcpt", "close-after-data", "silent"}) {
        SCOPED_TRACE(mode);
        SmtpTestServer server({"--mode", mode});
        CurlMailTransport transport({mode == "silent" ? 1500ms : 10s, {}});
        const ReportOutcome outcome = deliverReport(smtpPlan(server.port()), transport);
        EXPECT_EQ(outcome.status, ReportStatus::Failed);
        const nlohmann::json seen = server.finish();
        EXPECT_FALSE(seen["accepted"].get<bool>());
        const std::string error = outcome.deliveries.front().result.error;
        if (mode == "reject-rcpt") {
            EXPECT_NE(error.find("550"), std::string::npos) << error;
            EXPECT_FALSE(seen.contains("data_lines"));
        } else if (mode == "close-after-data") {
            EXPECT_TRUE(seen.contains("data_lines"));  // it had the whole message
        } else {
            EXPECT_EQ(error, "The mail server did not answer in time");
            EXPECT_TRUE(seen["closed_by_client"].get<bool>());
        }
    }
    const int nobodyListening = SmtpTestServer({"--mode", "silent"}).port();
    CurlMailTransport transport({10s, {}});
    EXPECT_EQ(deliverReport(smtpPlan(nobodyListening), transport).status, ReportStatus::Failed);
}

TEST_F(CurlMailTransportTest, OneTimeoutBoundsTheWholeDialogueQuitIncludedAndAStopEndsIt)
{
    // The server took the message and then never answers QUIT: the delivery is done, and
    // neither the sender nor a stop waits a second timeout for the goodbye.
    for (const bool stopped : {false, true}) {
        SmtpTestServer server({"--mode", "silent-at-quit"});
        CurlMailTransport transport({stopped ? 60s : 1500ms, {}});
        std::stop_source stop;
        std::jthread stopper([&] {
            std::this_thread::sleep_for(1500ms);
            if (stopped)
                stop.request_stop();
        });
        const auto start = std::chrono::steady_clock::now();
        const ReportOutcome outcome = deliverReport(smtpPlan(server.port()), transport, stop.get_token());
        EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);  // not the 120 s libcurl gives QUIT on its own
        EXPECT_EQ(outcome.status, ReportStatus::Sent);
        EXPECT_TRUE(server.finish()["accepted"].get<bool>());
    }
}

class WebMailTest : public CurlMailTransportTest {
protected:
    ReportOutcome deliverThroughWebMail(const std::string& password, nlohmann::json& seen)
    {
        SmtpTestServer server(
            {"--tls-dir", directory_.path().string(), "--user", "pedro.ea4xyz@gmail.com", "--password", "s3cret pass"});
        ReportPlannerOptions options;
        options.webMail = {"127.0.0.1", server.port(), "gmail.com"};
        ReportPlanner planner(options);
        input_.account = {MailOption::WebMail, "", "pedro.ea4xyz", password};
        CurlMailTransport transport({10s, directory_ / "cert.pem"});
        // Through the dispatcher, as the window sends it.
        MailDispatcher dispatcher(transport);
        dispatcher.submit(planner.plan(input_));
        std::vector<ReportOutcome> outcomes;
        test::within(20s, [&] { return !(outcomes = dispatcher.takeFinished()).empty(); });
        seen = server.finish();
        return outcomes.empty() ? ReportOutcome{} : outcomes.front();
    }

    test::TestDirectory directory_;
};

TEST_F(WebMailTest, LogsInOverTlsAndSendsOnlyWithTheRightPassword)
{
    nlohmann::json seen;
    const ReportOutcome outcome = deliverThroughWebMail("s3cret pass", seen);
    ASSERT_EQ(outcome.status, ReportStatus::Sent) << outcome.deliveries.front().result.error;
    EXPECT_EQ(seen["login"], nlohmann::json::array({"pedro.ea4xyz@gmail.com", "s3cret pass"}));
    EXPECT_TRUE(seen["accepted"].get<bool>());

    EXPECT_EQ(deliverThroughWebMail("wrong", seen).status, ReportStatus::Failed);
    EXPECT_FALSE(seen["accepted"].get<bool>());
    EXPECT_EQ(seen["mail_from"], nullptr);
}

TEST_F(WebMailTest, AnUntrustedCertificateIsAFailure)
{
    SmtpTestServer server({"--tls-dir", directory_.path().string(), "--user", "u@gmail.com", "--password", "p"});
    CurlMailTransport transport({10s, {}});  // the system's authorities only
    const OutgoingMail mail{{"127.0.0.1", server.port(), true, "u@gmail.com", "p"},
                            "u@gmail.com",
                            "g4abc@example.com",
                            "Subject: x\r\n\r\nx\r\n"};
    EXPECT_FALSE(transport.send(mail, {}).accepted);
    EXPECT_EQ(server.finish()["login"], nullptr);  // the password never left
}

}  // namespace
}  // namespace miv
