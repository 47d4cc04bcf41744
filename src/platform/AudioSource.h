#pragma once

#include "platform/AudioBlock.h"

namespace miv {

// Where received audio comes from: a ring of numbered slots that the device fills in
// the order they were queued and marks done when full. After `open` every slot is
// queued in order 0, 1, 2, ...; a slot taken by the receiver is handed back with
// `requeue` and goes to the end of the queue.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    // False when the device is not available.
    virtual bool open(int slots) = 0;
    virtual bool slotDone(int slot) = 0;
    virtual void read(int slot, AudioBlock& out) const = 0;
    virtual void requeue(int slot) = 0;
    virtual void close() = 0;
    // True once an opened device has stopped delivering (it went away); only a new
    // `open` can bring it back.
    virtual bool failed() const { return false; }
};

}  // namespace miv
