#include "platform/audio/BlockRings.h"

namespace miv {

void SlotQueue::reset(int slots)
{
    slots_.assign(static_cast<std::size_t>(slots), 0);
    queued_.assign(static_cast<std::size_t>(slots), 0);
    head_ = 0;
    count_ = 0;
}

bool SlotQueue::push(int slot)
{
    const auto size = static_cast<int>(slots_.size());
    if (slot < 0 || slot >= size || queued_[static_cast<std::size_t>(slot)])
        return false;
    slots_[static_cast<std::size_t>((head_ + count_) % size)] = slot;
    queued_[static_cast<std::size_t>(slot)] = 1;
    ++count_;
    return true;
}

std::optional<int> SlotQueue::pop()
{
    if (count_ == 0)
        return std::nullopt;
    const int slot = slots_[static_cast<std::size_t>(head_)];
    head_ = (head_ + 1) % static_cast<int>(slots_.size());
    --count_;
    queued_[static_cast<std::size_t>(slot)] = 0;
    return slot;
}

void CaptureBlockRing::open(int slots)
{
    std::lock_guard lock(mutex_);
    const auto size = static_cast<std::size_t>(slots > 0 ? slots : 0);
    blocks_.assign(size, AudioBlock{});
    done_.assign(size, 0);
    waiting_.reset(static_cast<int>(size));
    for (int slot = 0; slot < static_cast<int>(size); ++slot)
        waiting_.push(slot);
    lost_ = 0;
}

void CaptureBlockRing::close()
{
    std::lock_guard lock(mutex_);
    done_.assign(done_.size(), 0);
    waiting_.reset(static_cast<int>(done_.size()));
}

bool CaptureBlockRing::deliver(const AudioBlock& block)
{
    std::lock_guard lock(mutex_);
    const auto slot = waiting_.pop();
    if (!slot) {
        ++lost_;
        return false;
    }
    blocks_[static_cast<std::size_t>(*slot)] = block;
    done_[static_cast<std::size_t>(*slot)] = 1;
    return true;
}

bool CaptureBlockRing::slotDone(int slot) const
{
    std::lock_guard lock(mutex_);
    return valid(slot) && done_[static_cast<std::size_t>(slot)];
}

void CaptureBlockRing::read(int slot, AudioBlock& out) const
{
    std::lock_guard lock(mutex_);
    if (valid(slot))
        out = blocks_[static_cast<std::size_t>(slot)];
}

void CaptureBlockRing::requeue(int slot)
{
    std::lock_guard lock(mutex_);
    if (valid(slot) && waiting_.push(slot))
        done_[static_cast<std::size_t>(slot)] = 0;
}

long CaptureBlockRing::lostBlocks() const
{
    std::lock_guard lock(mutex_);
    return lost_;
}

void PlaybackBlockRing::open(int slots)
{
    std::lock_guard lock(mutex_);
    const auto size = static_cast<std::size_t>(slots > 0 ? slots : 0);
    blocks_.assign(size, AudioBlock{});
    done_.assign(size, 1);
    playing_.reset(static_cast<int>(size));
    open_ = true;
}

void PlaybackBlockRing::close()
{
    {
        std::lock_guard lock(mutex_);
        open_ = false;
        while (const auto slot = playing_.pop())
            done_[static_cast<std::size_t>(*slot)] = 1;
    }
    queued_.notify_all();
}

bool PlaybackBlockRing::queue(int slot, const AudioBlock& block)
{
    {
        std::lock_guard lock(mutex_);
        if (!open_ || !valid(slot) || !done_[static_cast<std::size_t>(slot)])
            return false;
        blocks_[static_cast<std::size_t>(slot)] = block;
        done_[static_cast<std::size_t>(slot)] = 0;
        playing_.push(slot);
    }
    queued_.notify_one();
    return true;
}

bool PlaybackBlockRing::slotDone(int slot) const
{
    std::lock_guard lock(mutex_);
    return valid(slot) && done_[static_cast<std::size_t>(slot)];
}

std::optional<int> PlaybackBlockRing::waitNext(AudioBlock& out)
{
    std::unique_lock lock(mutex_);
    queued_.wait(lock, [this] { return !open_ || !playing_.empty(); });
    if (!open_)
        return std::nullopt;
    const auto slot = playing_.pop();
    out = blocks_[static_cast<std::size_t>(*slot)];
    return slot;
}

void PlaybackBlockRing::markDone(int slot)
{
    std::lock_guard lock(mutex_);
    if (valid(slot))
        done_[static_cast<std::size_t>(slot)] = 1;
}

}  // namespace miv
