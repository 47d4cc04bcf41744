#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/MailTransport.h"

namespace miv::test {

// Records what it is asked to send and answers from a script (accepted when the script
// runs out). While held, a send waits until released or stopped.
class FakeMailTransport final : public MailTransport {
public:
    DeliveryResult send(const OutgoingMail& mail, std::stop_token stop) override
    {
        std::unique_lock lock(mutex_);
        sent_.push_back(mail);
        changed_.notify_all();
        changed_.wait(lock, stop, [this] { return !held_; });
        if (stop.stop_requested())
            return {false, "stopped"};
        if (results_.empty())
            return {true, {}};
        const DeliveryResult result = results_.front();
        results_.pop_front();
        return result;
    }

    void script(DeliveryResult result)
    {
        const std::lock_guard lock(mutex_);
        results_.push_back(std::move(result));
    }
    void hold(bool held)
    {
        {
            const std::lock_guard lock(mutex_);
            held_ = held;
        }
        changed_.notify_all();
    }
    // Waits until `count` sends have begun.
    void waitForSends(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return sent_.size() >= count; });
    }
    std::vector<OutgoingMail> sent() const
    {
        const std::lock_guard lock(mutex_);
        return sent_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<OutgoingMail> sent_;
    std::deque<DeliveryResult> results_;
    bool held_ = false;
};

}  // namespace miv::test
