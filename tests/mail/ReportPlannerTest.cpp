#include <gtest/gtest.h>

#include "mail/FakeMailTransport.h"
#include "mail/ReportDelivery.h"
#include "mail/ReportPlanner.h"

namespace miv {
namespace {

using namespace std::chrono_literals;
using Addresses = std::vector<std::string>;

Addresses recipients(const ReportPlan& plan)
{
    Addresses out;
    for (const PlannedDelivery& delivery : plan.deliveries)
        out.push_back(delivery.mail.to);
    return out;
}

// How a mail reaches its server, in one line.
std::string login(const MailServer& server)
{
    return server.host + ":" + std::to_string(server.port) + (server.implicitTls ? " TLS, " : " plain, ") +
           (server.user.empty() ? "no login" : server.user + " " + server.password);
}

class ReportPlannerTest : public ::testing::Test {
protected:
    ReportPlannerTest()
    {
        input_.operatorDetails.callsign = "EA4XYZ";
        input_.operatorDetails.email = "ea4xyz@example.es";
        input_.account = {MailOption::Smtp, "mail.example.es", "pedro.ea4xyz", "secret"};
    }

    ReportPlan plan(const std::string& text)
    {
        input_.receivedText = text;
        return planner_.plan(input_);
    }
    ReportOutcome deliver(const std::string& text) { return deliverReport(plan(text), transport_); }
    ReportPlannerOptions clockedOptions()
    {
        ReportPlannerOptions options;
        options.steadyNow = [this] { return now_; };
        options.wallNow = [] { return std::chrono::system_clock::time_point{}; };
        return options;
    }

    ReportInput input_;
    std::chrono::steady_clock::time_point now_{};
    ReportPlanner planner_{clockedOptions()};
    test::FakeMailTransport transport_;
};

TEST_F(ReportPlannerTest, OnlyCheckedAddressesGetTheReportThroughTheOwnServer)
{
    const ReportPlan first = plan("de G4ABC < g4abc@example.com> <G4ABC> k");
    ASSERT_EQ(recipients(first), Addresses{"g4abc@example.com"});  // the spaces never reach the envelope
    const PlannedDelivery& delivery = first.deliveries.front();
    EXPECT_TRUE(delivery.refusal.empty());
    EXPECT_EQ(delivery.mail.from, "ea4xyz@example.es");
    EXPECT_EQ(login(delivery.mail.server), "mail.example.es:25 plain, no login");
    EXPECT_EQ(first.subject, "EA4XYZ has received your Radio Message");
    EXPECT_NE(delivery.mail.message.find("\r\nTo: <g4abc@example.com>\r\n"), std::string::npos);
    EXPECT_NE(delivery.mail.message.find("\r\nSubject: EA4XYZ has received your Radio Message\r\n"), std::string::npos);
    EXPECT_TRUE(delivery.mail.message.ends_with(first.body));

    // Repeats in one message go once, the same mailbox in other letters is held back;
    // invalid addresses are skipped silently.
    const ReportPlan second = plan(
        "<ea1zz@example.org> <ea1zz@example.org> <EA1ZZ@example.org> <two..dots@example.com> <x@.example.com> "
        "<a@b.c> <who@example.xyz> <a b@example.com>");
    EXPECT_EQ(second.addresses.size(), 8u);
    EXPECT_EQ(recipients(second), Addresses{"ea1zz@example.org"});
    EXPECT_EQ(second.heldBack, Addresses{"EA1ZZ@example.org"});

    // Without a valid own address the sender is the program.
    input_.operatorDetails.email = "Your e-mail";
    const ReportPlan third = plan("<ok@example.net>");
    ASSERT_EQ(recipients(third), Addresses{"ok@example.net"});
    EXPECT_EQ(third.deliveries.front().mail.from, "MIV.Notification@localhost");
    EXPECT_NE(third.deliveries.front().mail.message.find("From: \"MIV.Notification\" <MIV.Notification@localhost>"),
              std::string::npos);
}

TEST_F(ReportPlannerTest, AnAcceptedReportHoldsItsAddressBackForTenMinutes)
{
    EXPECT_EQ(deliver("<g4abc@example.com>").status, ReportStatus::Sent);
    now_ += 9min + 59s;
    const ReportPlan again = plan("<g4abc@example.com> <new@example.com>");
    EXPECT_EQ(recipients(again), Addresses{"new@example.com"});
    EXPECT_EQ(again.heldBack, Addresses{"g4abc@example.com"});
    now_ += 1s;
    EXPECT_EQ(recipients(plan("<G4abc@Example.com>")), Addresses{"G4abc@Example.com"});
}

TEST_F(ReportPlannerTest, ARefusedOrFailedDeliveryLeavesTheAddressFree)
{
    // While a report is on its way no other report mails the same address.
    const ReportPlan onItsWay = plan("<g4abc@example.com>");
    EXPECT_EQ(plan("<g4abc@example.com>").heldBack, Addresses{"g4abc@example.com"});

    transport_.script({false, "421 try later"});
    EXPECT_EQ(deliverReport(onItsWay, transport_).status, ReportStatus::Failed);
    EXPECT_EQ(recipients(plan("<g4abc@example.com>")), Addresses{"g4abc@example.com"});

    // Refused before reaching a server: the account cannot work.
    input_.account.smtpServer = "";
    EXPECT_EQ(deliver("<ea1zz@example.org>").status, ReportStatus::Failed);
    input_.account.smtpServer = "mail.example.es";
    EXPECT_EQ(deliver("<ea1zz@example.org>").status, ReportStatus::Sent);

    // Not sending at all does not use an address up either.
    input_.account.option = MailOption::NoInternet;
    const ReportPlan offline = plan("<new@example.com>");
    EXPECT_EQ(offline.addresses, Addresses{"new@example.com"});
    EXPECT_TRUE(offline.deliveries.empty());
    input_.account.option = MailOption::Smtp;
    EXPECT_EQ(recipients(plan("<new@example.com>")), Addresses{"new@example.com"});
}

TEST_F(ReportPlannerTest, WebMailLogsInWithTheUserAtTheServiceDomain)
{
    input_.account.option = MailOption::WebMail;
    for (const char* user : {"pedro.ea4xyz", "pedro.ea4xyz@gmail.com", " pedro.ea4xyz "}) {
        input_.account.webMailUser = user;
        now_ += kResendInterval;
        const ReportPlan planned = plan("<g4abc@example.com>");
        ASSERT_EQ(planned.deliveries.size(), 1u) << user;
        const OutgoingMail& mail = planned.deliveries.front().mail;
        EXPECT_EQ(login(mail.server), "smtp.gmail.com:465 TLS, pedro.ea4xyz@gmail.com secret");
        EXPECT_EQ(mail.from, "pedro.ea4xyz@gmail.com");
    }
}

TEST_F(ReportPlannerTest, AnAccountThatCannotWorkFailsWithoutTouchingTheNetwork)
{
    input_.account.option = MailOption::WebMail;
    input_.account.webMailUser = "pedro\r\nRCPT TO:<x@example.com>";
    EXPECT_EQ(deliver("<a1@example.com>").status, ReportStatus::Failed);

    input_.account = {MailOption::Smtp, "", "", ""};
    const ReportOutcome noServer = deliver("<a2@example.com>");
    EXPECT_EQ(noServer.status, ReportStatus::Failed);
    EXPECT_EQ(describeOutcome(noServer), "a2@example.com: not sent (No SMTP server is set)\n");

    input_.account.smtpServer = "mail.example.es/evil?x";
    EXPECT_EQ(deliver("<a3@example.com>").status, ReportStatus::Failed);
    EXPECT_TRUE(transport_.sent().empty());
}

TEST_F(ReportPlannerTest, TheReportIsSentOnlyWhenEveryDeliveryWasAccepted)
{
    EXPECT_EQ(deliver("CQ CQ de G4ABC pse k").status, ReportStatus::NothingSent);
    EXPECT_EQ(notificationText(ReportStatus::NothingSent), std::nullopt);

    const ReportOutcome sent = deliver("<a1@example.com> <a2@example.com>");
    EXPECT_EQ(sent.status, ReportStatus::Sent);
    EXPECT_EQ(notificationText(sent.status), "Email sent");

    transport_.script({false, "550 No such user"});
    const ReportOutcome failed = deliver("<b1@example.com> <b2@example.com>");
    EXPECT_EQ(failed.status, ReportStatus::Failed);
    EXPECT_EQ(notificationText(failed.status), "Error: The E-mail could not be sent");
    EXPECT_EQ(describeOutcome(failed), "b1@example.com: not sent (550 No such user)\nb2@example.com: sent\n");
    EXPECT_EQ(transport_.sent().size(), 4u);
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
    EXPECT_EQ(server("127.0.0.1:65535"), "127.0.0.1|65535");
    EXPECT_EQ(server("[::1]:2525"), "[::1]|2525");
    EXPECT_EQ(server("[2001:db8::1]"), "[2001:db8::1]|25");
    for (const char* bad : {"", "  ", "mail.example.es:", "mail.example.es:0", "mail.example.es:65536",
                            "mail.example.es:smtp", "mail example.es", "user@mail.example.es", "mail.example.es/path",
                            "smtp://mail.example.es", "[::1", "[]", "[zz]:25", "[::1]x"})
        EXPECT_EQ(server(bad), "none") << bad;
}

}  // namespace
}  // namespace miv
