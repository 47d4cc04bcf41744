#include "platform/audio/MemorySink.h"

#include <stdexcept>

namespace miv {

bool MemorySink::open(int slots)
{
    if (!available_)
        return false;
    open_ = true;
    failed_ = false;
    done_.assign(static_cast<std::size_t>(slots), true);
    waiting_.clear();
    samples_.clear();
    return true;
}

void MemorySink::queue(int slot, const AudioBlock& block)
{
    // Queueing a slot that is still playing would overwrite audio not yet heard.
    if (!open_ || !done_.at(static_cast<std::size_t>(slot)))
        throw std::logic_error("MemorySink: slot queued while closed or busy");
    samples_.insert(samples_.end(), block.begin(), block.end());
    if (stalled_) {
        done_[static_cast<std::size_t>(slot)] = false;
        waiting_.push_back(slot);
    }
}

bool MemorySink::slotDone(int slot) const
{
    return open_ && done_.at(static_cast<std::size_t>(slot));
}

void MemorySink::close()
{
    open_ = false;
}

void MemorySink::resume()
{
    while (playOne()) {
    }
    stalled_ = false;
}

bool MemorySink::playOne()
{
    if (waiting_.empty())
        return false;
    done_[static_cast<std::size_t>(waiting_.front())] = true;
    waiting_.pop_front();
    return true;
}

}  // namespace miv
