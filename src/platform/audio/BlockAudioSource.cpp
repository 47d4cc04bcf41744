#include "platform/audio/BlockAudioSource.h"

#include <algorithm>

namespace miv {

bool BlockAudioSource::open(int slots)
{
    close();
    if (!available() || slots <= 0)
        return false;
    data_.assign(static_cast<std::size_t>(slots), AudioBlock{});
    done_.assign(static_cast<std::size_t>(slots), 0);
    queue_.resize(static_cast<std::size_t>(slots));
    for (int i = 0; i < slots; ++i)
        queue_[static_cast<std::size_t>(i)] = i;
    head_ = 0;
    queued_ = slots;
    return true;
}

bool BlockAudioSource::fillNext()
{
    if (filled_ == queued_)
        return false;
    const int slot = queue_[static_cast<std::size_t>((head_ + filled_) % static_cast<int>(queue_.size()))];
    AudioBlock& block = data_[static_cast<std::size_t>(slot)];
    if (!dry_ && produce(block)) {
        ++produced_;
    } else {
        dry_ = true;
        if (silenceLeft_ == 0)
            return false;
        --silenceLeft_;
        block.fill(0);
    }
    done_[static_cast<std::size_t>(slot)] = 1;
    ++filled_;
    return true;
}

bool BlockAudioSource::slotDone(int slot)
{
    if (slot < 0 || slot >= static_cast<int>(done_.size()))
        return false;
    // The device fills in queue order, so a slot is done once everything queued
    // before it is.
    while (!done_[static_cast<std::size_t>(slot)])
        if (!fillNext())
            return false;
    return true;
}

void BlockAudioSource::read(int slot, AudioBlock& out) const
{
    if (slot >= 0 && slot < static_cast<int>(data_.size()))
        out = data_[static_cast<std::size_t>(slot)];
}

void BlockAudioSource::requeue(int slot)
{
    if (queued_ == 0 || slot < 0 || slot >= static_cast<int>(done_.size()))
        return;
    const int size = static_cast<int>(queue_.size());
    // Taken slots come off the front of the queue.
    if (queue_[static_cast<std::size_t>(head_)] != slot)
        return;
    if (done_[static_cast<std::size_t>(slot)]) {
        done_[static_cast<std::size_t>(slot)] = 0;
        --filled_;
    }
    ++taken_;
    head_ = (head_ + 1) % size;
    queue_[static_cast<std::size_t>((head_ + queued_ - 1) % size)] = slot;
}

void BlockAudioSource::close()
{
    data_.clear();
    done_.clear();
    queue_.clear();
    head_ = 0;
    queued_ = 0;
    filled_ = 0;
}

bool MemoryAudioSource::produce(AudioBlock& block)
{
    if (position_ >= samples_.size())
        return false;
    const std::size_t count = std::min(block.size(), samples_.size() - position_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(position_), count, block.begin());
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(count), block.end(), 0);
    position_ += count;
    return true;
}

}  // namespace miv
