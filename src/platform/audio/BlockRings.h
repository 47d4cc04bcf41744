#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/AudioBlock.h"

namespace miv {

// Slot numbers waiting their turn, oldest first, in a fixed ring (no allocation once
// sized). A slot is in the queue at most once.
class SlotQueue {
public:
    void reset(int slots);
    bool push(int slot);
    std::optional<int> pop();
    bool empty() const { return count_ == 0; }

private:
    std::vector<int> slots_;
    std::vector<char> queued_;
    int head_ = 0;
    int count_ = 0;
};

// The capture slots shared by the thread that reads the device and the thread that
// takes the blocks: after `open` every slot waits for audio in order 0, 1, 2, ...; the
// device fills the oldest waiting slot and marks it done; a slot handed back with
// `requeue` waits again at the end. Audio that arrives while no slot waits is lost, as
// with a sound card whose queue ran dry.
class CaptureBlockRing {
public:
    void open(int slots);
    void close();

    // Device side: fills the oldest waiting slot; false when none waited.
    bool deliver(const AudioBlock& block);

    bool slotDone(int slot) const;
    void read(int slot, AudioBlock& out) const;
    void requeue(int slot);
    // Blocks lost since `open` because no slot was waiting.
    long lostBlocks() const;

private:
    bool valid(int slot) const { return slot >= 0 && slot < static_cast<int>(blocks_.size()); }

    mutable std::mutex mutex_;
    std::vector<AudioBlock> blocks_;
    std::vector<char> done_;
    SlotQueue waiting_;
    long lost_ = 0;
};

// The playback slots shared by the thread that queues blocks and the thread that plays
// them: after `open` every slot is done (free); a queued slot is played in queue order
// and done again once the device has taken it.
class PlaybackBlockRing {
public:
    void open(int slots);
    // Drops what is still queued and wakes the device side.
    void close();

    // False (and nothing queued) when the slot is not done or out of range.
    bool queue(int slot, const AudioBlock& block);
    bool slotDone(int slot) const;

    // Device side: waits for the oldest queued slot and copies its block out; empty
    // once the ring is closed.
    std::optional<int> waitNext(AudioBlock& out);
    void markDone(int slot);

private:
    bool valid(int slot) const { return slot >= 0 && slot < static_cast<int>(blocks_.size()); }

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::vector<AudioBlock> blocks_;
    std::vector<char> done_;
    SlotQueue playing_;
    bool open_ = false;
};

}  // namespace miv
