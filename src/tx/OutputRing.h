#pragma once

#include "platform/AudioBlock.h"
#include "platform/AudioSink.h"

namespace miv {

// The ten output slots the transmitter fills in turn. A block is queued only into a
// slot the device has finished playing, so the device's clock paces the transmitter and
// at most 0.64 s of audio waits ahead of what is heard.
class OutputRing {
public:
    static constexpr int kSlots = 10;

    explicit OutputRing(AudioSink& sink) : sink_(sink) {}

    // OpenAudioOutput: opens the device and queues ten silent blocks (the lead-in).
    // False when it cannot open; the caller unkeys, then says so.
    bool OpenAudioOutput();
    // WriteBlock(block, True): the next block goes to slot 0.
    void resetIndex() { ringIndex_ = 0; }
    // WriteBlock(block, False): queues the block if the slot at the ring index has
    // finished playing; false (and nothing done) otherwise or when the device is closed.
    bool WriteBlock(const AudioBlock& block);
    // CloseAudioOutput: audio still queued is dropped.
    void CloseAudioOutput();

    // The device opened and is not yet closed.
    bool isOpen() const { return open_; }
    // The device went away while open.
    bool failed() const { return open_ && sink_.failed(); }

private:
    AudioSink& sink_;
    bool open_ = false;
    int ringIndex_ = 0;
};

}  // namespace miv
