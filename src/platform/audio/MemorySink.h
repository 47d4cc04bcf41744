#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/AudioSink.h"

namespace miv {

// An output that keeps every queued block, for tests. Normally a queued slot is done at
// once; a stalled sink holds its slots until they are played one by one or resumed,
// as a sound card that falls behind would. An unavailable sink refuses to open.
class MemorySink final : public AudioSink {
public:
    bool open(int slots) override;
    void queue(int slot, const AudioBlock& block) override;
    bool slotDone(int slot) const override;
    void close() override;

    bool failed() const override { return failed_; }

    void setAvailable(bool available) { available_ = available; }
    // The device goes away while open: slots still come done, nothing is heard.
    void fail() { failed_ = true; }
    void stall() { stalled_ = true; }
    // Marks every waiting slot done and stops stalling.
    void resume();
    // Marks the oldest waiting slot done; false when none waits.
    bool playOne();

    bool isOpen() const { return open_; }
    int queuedBlocks() const { return static_cast<int>(samples_.size()) / kBlockSamples; }
    // Everything queued since the last open, in queue order.
    const std::vector<std::int16_t>& samples() const { return samples_; }

private:
    bool available_ = true;
    bool failed_ = false;
    bool stalled_ = false;
    bool open_ = false;
    std::vector<bool> done_;
    std::deque<int> waiting_;  // slots queued while stalled, oldest first
    std::vector<std::int16_t> samples_;
};

}  // namespace miv
