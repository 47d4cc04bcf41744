#include "mail/MailDispatcher.h"

#include <utility>

namespace miv {

MailDispatcher::MailDispatcher(MailTransport& transport, FinishedCallback onFinished)
    : transport_(transport),
      onFinished_(std::move(onFinished)),
      worker_([this](std::stop_token stop) { run(stop); })
{
}

MailDispatcher::~MailDispatcher()
{
    stop();
}

void MailDispatcher::stop()
{
    worker_.request_stop();
    if (worker_.joinable())
        worker_.join();
}

std::optional<std::uint64_t> MailDispatcher::submit(ReportPlan plan)
{
    if (plan.deliveries.empty())
        return std::nullopt;
    std::uint64_t report = 0;
    {
        const std::lock_guard lock(mutex_);
        report = nextReport_++;
        queue_.push_back({report, std::move(plan)});
    }
    wake_.notify_one();
    return report;
}

std::vector<ReportOutcome> MailDispatcher::takeFinished()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(finished_, {});
}

bool MailDispatcher::idle() const
{
    const std::lock_guard lock(mutex_);
    return queue_.empty() && !delivering_;
}

bool MailDispatcher::waitIdle(std::chrono::milliseconds bound)
{
    std::unique_lock lock(mutex_);
    return idleChanged_.wait_for(lock, bound, [this] { return queue_.empty() && !delivering_; });
}

void MailDispatcher::run(std::stop_token stop)
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !queue_.empty(); }))
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
            delivering_ = true;
        }
        ReportOutcome outcome = deliverReport(job.plan, transport_, stop);
        outcome.report = job.report;
        if (stop.stop_requested())
            return;
        {
            const std::lock_guard lock(mutex_);
            finished_.push_back(outcome);
            delivering_ = false;
        }
        idleChanged_.notify_all();
        if (onFinished_)
            onFinished_(outcome);
    }
}

}  // namespace miv
