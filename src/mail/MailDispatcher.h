#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "mail/ReportDelivery.h"

namespace miv {

// Delivers reports on a worker thread of its own, one delivery at a time and in the
// order submitted, so the window never waits for a mail server. The window learns the
// outcome of each report when all its deliveries are done, either by polling
// `takeFinished` on a timer or through the callback, which runs on the worker thread
// (hand it over to the window's thread before touching any widget).
class MailDispatcher {
public:
    using FinishedCallback = std::function<void(const ReportOutcome&)>;

    explicit MailDispatcher(MailTransport& transport, FinishedCallback onFinished = {});
    // Stops the delivery in progress, drops the queued reports and waits for the worker;
    // the callback is not called for what was stopped.
    ~MailDispatcher();
    MailDispatcher(const MailDispatcher&) = delete;  // owns a thread
    MailDispatcher& operator=(const MailDispatcher&) = delete;

    // Queues the deliveries of a report and returns its number; nothing when the plan has
    // no delivery (no notification is due).
    std::optional<std::uint64_t> submit(ReportPlan plan);
    // The outcomes finished since the last call, oldest first.
    std::vector<ReportOutcome> takeFinished();
    // No report queued or being delivered.
    bool idle() const;
    // Waits at most `bound` for idle(); false when reports were still queued or on their way.
    bool waitIdle(std::chrono::milliseconds bound);
    // What the destructor does, earlier: no report is delivered or finished afterwards.
    void stop();

private:
    struct Job {
        std::uint64_t report = 0;
        ReportPlan plan;
    };

    void run(std::stop_token stop);

    MailTransport& transport_;
    FinishedCallback onFinished_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable idleChanged_;
    std::deque<Job> queue_;
    std::vector<ReportOutcome> finished_;
    std::uint64_t nextReport_ = 1;
    bool delivering_ = false;
    std::jthread worker_;  // last, so it starts after and stops before everything it uses
};

}  // namespace miv
