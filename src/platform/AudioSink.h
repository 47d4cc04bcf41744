#pragma once

#include "platform/AudioBlock.h"

namespace miv {

// Where transmitted audio goes: a ring of numbered slots that the device plays in the
// order they were queued and marks done when played. The transmitter polls the done
// flags, so the device's clock sets the pace.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    // Opens the output with `slots` slots, each initially done. False when the
    // device is not available.
    virtual bool open(int slots) = 0;
    virtual void queue(int slot, const AudioBlock& block) = 0;
    virtual bool slotDone(int slot) const = 0;
    // Drops whatever is still queued.
    virtual void close() = 0;
    // True once an opened device has stopped playing (it went away); its slots may still
    // come done, at the device's pace, but nothing is heard. Only a new `open` can bring
    // it back.
    virtual bool failed() const { return false; }
};

}  // namespace miv
