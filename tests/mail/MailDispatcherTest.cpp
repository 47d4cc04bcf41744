#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "mail/FakeMailTransport.h"
#include "mail/MailDispatcher.h"

namespace miv {
namespace {

using namespace std::chrono_literals;

ReportPlan planTo(std::vector<std::string> recipients)
{
    ReportPlan plan;
    for (std::string& to : recipients)
        plan.deliveries.push_back(
            {to, {{"127.0.0.1", 25, false, {}, {}}, "op@example.es", to, "Subject: x\r\n\r\nx\r\n"}, {}});
    return plan;
}

// Polls as the window's timer would, for at most a few seconds.
std::vector<ReportOutcome> waitForOutcomes(MailDispatcher& dispatcher, std::size_t count)
{
    std::vector<ReportOutcome> outcomes;
    for (int i = 0; i < 500 && outcomes.size() < count; ++i) {
        for (ReportOutcome& outcome : dispatcher.takeFinished())
            outcomes.push_back(std::move(outcome));
        std::this_thread::sleep_for(10ms);
    }
    return outcomes;
}

TEST(MailDispatcher, DeliversInOrderOffTheCallersThreadAndTellsOfEachReportOnce)
{
    test::FakeMailTransport transport;
    transport.script({true, {}});
    transport.script({false, "refused"});
    transport.hold(true);
    std::atomic<int> calls{0};
    MailDispatcher dispatcher(transport, [&](const ReportOutcome&) { ++calls; });
    EXPECT_FALSE(dispatcher.submit(ReportPlan{}));  // nothing to send: no notification
    const auto first = dispatcher.submit(planTo({"a@example.com"}));
    const auto second = dispatcher.submit(planTo({"b@example.com", "c@example.com"}));
    // Submitting never waits for the server.
    transport.waitForSends(1);
    EXPECT_FALSE(dispatcher.idle());
    EXPECT_TRUE(dispatcher.takeFinished().empty());

    transport.hold(false);
    const auto outcomes = waitForOutcomes(dispatcher, 2);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].report, *first);
    EXPECT_EQ(outcomes[0].status, ReportStatus::Sent);
    EXPECT_EQ(outcomes[1].report, *second);
    EXPECT_EQ(outcomes[1].status, ReportStatus::Failed);
    EXPECT_EQ(outcomes[1].deliveries.size(), 2u);
    EXPECT_EQ(calls.load(), 2);
    EXPECT_TRUE(dispatcher.idle());
    const auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].to, "a@example.com");
    EXPECT_EQ(sent[2].to, "c@example.com");
}

// Closing the window must not wait for a server that never answers: the test ends.
TEST(MailDispatcher, ClosingStopsADeliveryThatHangs)
{
    test::FakeMailTransport transport;
    transport.hold(true);
    std::atomic<int> calls{0};
    {
        MailDispatcher dispatcher(transport, [&](const ReportOutcome&) { ++calls; });
        dispatcher.submit(planTo({"a@example.com"}));
        dispatcher.submit(planTo({"b@example.com"}));
        transport.waitForSends(1);
    }
    EXPECT_EQ(transport.sent().size(), 1u);
    EXPECT_EQ(calls.load(), 0);
}

}  // namespace
}  // namespace miv
