#include <gtest/gtest.h>

#include "mail/FakeMailTransport.h"
#include "mail/ReportDelivery.h"
#include "mail/ReportPlanner.h"

namespace miv {
namespace {

using namespace std::chrono_literals;
using Addresses = std::vector<std::string>;

class ReportPlannerTest : public ::testing::Test {
protected:
    ReportPlannerTest()
    {
        input_.operatorDetails.callsign = "EA4XYZ";
        input_.operatorDetails.email = "ea4xyz@example.es";
        input_.account = {MailOption::Smtp, "mail.example.es", "pedro.ea4xyz", "secret"};
    }

    ReportPlanner planner()
    {
        ReportPlannerOptions options;
        options.steadyNow = [this] { return now_; };
        options.wallNow = [] { return std::chrono::system_clock::time_point{}; };
        return ReportPlanner(options);
    }

    static Addresses recipients(const ReportPlan& plan)
    {
        Addresses out;
        for (const PlannedDelivery& delivery : plan.deliveries)
            out.push_back(delivery.mail.to);
        return out;
    }

    ReportPlan planFor(ReportPlanner& planner, const std::string& text)
    {
        input_.receivedText = text;
        return planner.plan(input_);
    }

    ReportInput input_;
    std::chrono::steady_clock::time_point now_{};
};

TEST_F(ReportPlannerTest, AWellFormedAddressGetsTheReportThroughTheOwnServer)
{
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, "de G4ABC <g4abc@example.com> k");
    ASSERT_EQ(recipients(plan), Addresses{"g4abc@example.com"});
    const PlannedDelivery& delivery = plan.deliveries.front();
    EXPECT_TRUE(delivery.refusal.empty());
    EXPECT_EQ(delivery.mail.from, "ea4xyz@example.es");
    EXPECT_EQ(delivery.mail.server.host, "mail.example.es");
    EXPECT_EQ(delivery.mail.server.port, 25);
    EXPECT_FALSE(delivery.mail.server.implicitTls);
    EXPECT_TRUE(delivery.mail.server.user.empty());
    EXPECT_EQ(plan.subject, "EA4XYZ has received your Radio Message");
    EXPECT_NE(delivery.mail.message.find("\r\nTo: <g4abc@example.com>\r\n"), std::string::npos);
    EXPECT_NE(delivery.mail.message.find("\r\nSubject: EA4XYZ has received your Radio Message\r\n"), std::string::npos);
    EXPECT_TRUE(delivery.mail.message.ends_with(plan.body));
}

TEST_F(ReportPlannerTest, NoAddressNoMail)
{
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, "CQ CQ de G4ABC <G4ABC> pse k");
    EXPECT_TRUE(plan.addresses.empty());
    EXPECT_TRUE(plan.deliveries.empty());
    test::FakeMailTransport transport;
    EXPECT_EQ(deliverReport(plan, transport).status, ReportStatus::NothingSent);
    EXPECT_EQ(notificationText(ReportStatus::NothingSent), std::nullopt);
}

TEST_F(ReportPlannerTest, RepeatsInOneMessageAreMailedOnce)
{
    ReportPlanner reports = planner();
    const ReportPlan plan =
        planFor(reports, "<g4abc@example.com> <g4abc@example.com> <G4ABC@example.com> <ea1zz@example.org>");
    EXPECT_EQ(plan.addresses.size(), 4u);
    EXPECT_EQ(recipients(plan), (Addresses{"g4abc@example.com", "ea1zz@example.org"}));
    // The same mailbox in other letters is held back as a repeat, not mailed again.
    EXPECT_EQ(plan.heldBack, Addresses{"G4ABC@example.com"});
}

TEST_F(ReportPlannerTest, InvalidAddressesAreSkippedSilently)
{
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports,
                                    "<two..dots@example.com> <x@.example.com> <a@b.c> <who@example.xyz> "
                                    "<ok@example.net> <a b@example.com>");
    EXPECT_EQ(plan.addresses.size(), 6u);
    EXPECT_EQ(recipients(plan), Addresses{"ok@example.net"});
    EXPECT_TRUE(plan.heldBack.empty());
}

TEST_F(ReportPlannerTest, OnlyTheFirstTenAddressesAreMailed)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "<op" + std::to_string(i) + "@example.com> ";
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, text);
    ASSERT_EQ(plan.deliveries.size(), 10u);
    EXPECT_EQ(plan.deliveries.back().mail.to, "op9@example.com");
}

TEST_F(ReportPlannerTest, WithoutInternetAddressesAreFoundButNothingIsSent)
{
    input_.account.option = MailOption::NoInternet;
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, "<g4abc@example.com>");
    EXPECT_EQ(plan.addresses, Addresses{"g4abc@example.com"});
    EXPECT_TRUE(plan.deliveries.empty());

    // Not sending did not use up the address.
    input_.account.option = MailOption::Smtp;
    EXPECT_EQ(recipients(planFor(reports, "<g4abc@example.com>")), Addresses{"g4abc@example.com"});
}

TEST_F(ReportPlannerTest, AnAddressIsMailedAtMostOnceInTenMinutes)
{
    ReportPlanner reports = planner();
    EXPECT_EQ(planFor(reports, "<g4abc@example.com>").deliveries.size(), 1u);
    now_ += 9min + 59s;
    const ReportPlan again = planFor(reports, "<g4abc@example.com> <new@example.com>");
    EXPECT_EQ(recipients(again), Addresses{"new@example.com"});
    EXPECT_EQ(again.heldBack, Addresses{"g4abc@example.com"});
    now_ += 1s;
    EXPECT_EQ(recipients(planFor(reports, "<G4abc@Example.com>")), Addresses{"G4abc@Example.com"});
}

TEST_F(ReportPlannerTest, OnlyTheCheckedAddressReachesTheEnvelope)
{
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, "< g4abc@example.com>");
    ASSERT_EQ(plan.deliveries.size(), 1u);
    EXPECT_EQ(plan.deliveries.front().mail.to, "g4abc@example.com");
    EXPECT_NE(plan.deliveries.front().mail.message.find("\r\nTo: <g4abc@example.com>\r\n"), std::string::npos);
}

TEST_F(ReportPlannerTest, WithoutAValidOwnAddressTheSenderIsTheProgram)
{
    input_.operatorDetails.email = "Your e-mail";
    ReportPlanner reports = planner();
    const ReportPlan plan = planFor(reports, "<g4abc@example.com>");
    ASSERT_EQ(plan.deliveries.size(), 1u);
    EXPECT_EQ(plan.deliveries.front().mail.from, "MIV.Notification@localhost");
    EXPECT_NE(plan.deliveries.front().mail.message.find("From: \"MIV.Notification\" <MIV.Notification@localhost>"),
              std::string::npos);
}

TEST_F(ReportPlannerTest, WebMailLogsInWithTheUserAtTheServiceDomain)
{
    EXPECT_EQ(kWebMailDomainLabel, "@gmail.com");
    input_.account.option = MailOption::WebMail;
    ReportPlanner reports = planner();
    for (const char* user : {"pedro.ea4xyz", "pedro.ea4xyz@gmail.com", " pedro.ea4xyz "}) {
        input_.account.webMailUser = user;
        now_ += 10min;
        const ReportPlan plan = planFor(reports, "<g4abc@example.com>");
        ASSERT_EQ(plan.deliveries.size(), 1u) << user;
        const OutgoingMail& mail = plan.deliveries.front().mail;
        EXPECT_EQ(mail.server.host, "smtp.gmail.com");
        EXPECT_EQ(mail.server.port, 465);
        EXPECT_TRUE(mail.server.implicitTls);
        EXPECT_EQ(mail.server.user, "pedro.ea4xyz@gmail.com");
        EXPECT_EQ(mail.server.password, "secret");
        EXPECT_EQ(mail.from, "pedro.ea4xyz@gmail.com");
    }
}

TEST_F(ReportPlannerTest, AnAccountThatCannotWorkFailsWithoutTouchingTheNetwork)
{
    ReportPlanner reports = planner();
    test::FakeMailTransport transport;

    input_.account.option = MailOption::WebMail;
    input_.account.webMailUser = "pedro\r\nRCPT TO:<x@example.com>";
    ReportOutcome outcome = deliverReport(planFor(reports, "<a1@example.com>"), transport);
    EXPECT_EQ(outcome.status, ReportStatus::Failed);

    input_.account = {MailOption::Smtp, "", "", ""};
    outcome = deliverReport(planFor(reports, "<a2@example.com>"), transport);
    EXPECT_EQ(outcome.status, ReportStatus::Failed);
    EXPECT_EQ(outcome.deliveries.front().result.error, "No SMTP server is set");

    input_.account.smtpServer = "mail.example.es/evil?x";
    EXPECT_EQ(deliverReport(planFor(reports, "<a3@example.com>"), transport).status, ReportStatus::Failed);
    EXPECT_TRUE(transport.sent().empty());
    EXPECT_EQ(notificationText(ReportStatus::Failed), "Error: The E-mail could not be sent");
}

TEST_F(ReportPlannerTest, TheReportStatusIsSentOnlyWhenEveryDeliveryWasAccepted)
{
    ReportPlanner reports = planner();
    test::FakeMailTransport transport;
    const ReportPlan two = planFor(reports, "<a1@example.com> <a2@example.com>");
    ReportOutcome outcome = deliverReport(two, transport);
    EXPECT_EQ(outcome.status, ReportStatus::Sent);
    EXPECT_EQ(notificationText(outcome.status), "Email sent");

    now_ += 10min;
    transport.script({false, "550 No such user"});
    outcome = deliverReport(planFor(reports, "<a1@example.com> <a2@example.com>"), transport);
    EXPECT_EQ(outcome.status, ReportStatus::Failed);
    ASSERT_EQ(outcome.deliveries.size(), 2u);
    EXPECT_FALSE(outcome.deliveries[0].result.accepted);
    EXPECT_EQ(outcome.deliveries[0].result.error, "550 No such user");
    EXPECT_TRUE(outcome.deliveries[1].result.accepted);
    EXPECT_EQ(transport.sent().size(), 4u);
}

TEST(ReportNow, TakesTheOperatorAndTheAccountFromTheSettingsFile)
{
    MemorySettingsStore store(
        "[Operador]\nCallsign=G4ABC\nE-mail=g4abc@example.com\n"
        "[Email]\nOption=1\nServidor SMTP=mail.example.com:587\n");
    const Settings settings(store);
    ReportPlanner planner;
    test::FakeMailTransport transport;
    transport.script({false, "421 try later"});
    ReportInput input;
    input.receivedText = "73 <ea4xyz@example.es> <ea1zz@example.org>";
    const ReportOutcome outcome = reportNow(input, settings, planner, transport);
    EXPECT_EQ(outcome.status, ReportStatus::Failed);
    EXPECT_EQ(describeOutcome(outcome), "ea4xyz@example.es: not sent (421 try later)\nea1zz@example.org: sent\n");
    const auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].from, "g4abc@example.com");
    EXPECT_EQ(sent[0].server.host, "mail.example.com");
    EXPECT_EQ(sent[0].server.port, 587);
    EXPECT_NE(sent[0].message.find("Subject: G4ABC has received your Radio Message\r\n"), std::string::npos);
    EXPECT_EQ(reportNow(input, settings, planner, transport).status, ReportStatus::NothingSent);
}

TEST(SmtpServerSetting, TakesAHostAndAnOptionalPort)
{
    const auto server = [](std::string_view setting) {
        const auto parsed = smtpServerFromSetting(setting);
        return parsed ? parsed->host + "|" + std::to_string(parsed->port) : std::string("none");
    };
    EXPECT_EQ(server("mail.example.es"), "mail.example.es|25");
    EXPECT_EQ(server(" mail.example.es "), "mail.example.es|25");
    EXPECT_EQ(server("mail.example.es:2525"), "mail.example.es|2525");
    EXPECT_EQ(server("127.0.0.1:587"), "127.0.0.1|587");
    EXPECT_EQ(server("[::1]:2525"), "[::1]|2525");
    EXPECT_EQ(server("[2001:db8::1]"), "[2001:db8::1]|25");
    for (const char* bad : {"", "  ", "mail.example.es:", "mail.example.es:0", "mail.example.es:65536",
                            "mail.example.es:smtp", "mail example.es", "user@mail.example.es", "mail.example.es/path",
                            "smtp://mail.example.es", "[::1", "[zz]:25", "[::1]x"})
        EXPECT_EQ(server(bad), "none") << bad;
}

}  // namespace
}  // namespace miv
