#pragma once

#include "platform/AudioBlock.h"
#include "platform/AudioSource.h"
#include "platform/OperatorMessages.h"

namespace miv {

// The capture side of the sound card: 50 blocks queued to the device, taken one per
// receive tick in the order the device filled them.
class CaptureRing {
public:
    static constexpr int kSlots = 50;

    CaptureRing(AudioSource& source, OperatorMessages& messages) : source_(source), messages_(messages) {}
    ~CaptureRing() { CloseCapture(); }
    CaptureRing(const CaptureRing&) = delete;
    CaptureRing& operator=(const CaptureRing&) = delete;

    // Opens the device and queues every block; tells the operator when it cannot.
    void OpenCapture();
    void CloseCapture();
    bool isOpen() const { return open_; }

    // The next block in capture order, when the device has filled it; false (and
    // `out` untouched) otherwise. A block is handed back to the device as it is taken.
    // A device that goes away while open is told to the operator once per opening.
    bool TakeCaptureBlock(AudioBlock& out);
    // Whether block k (1..50) is filled.
    bool CaptureBlockDone(int k);

private:
    AudioSource& source_;
    OperatorMessages& messages_;
    bool open_ = false;
    bool failureTold_ = false;
    int nextSlot_ = 0;  // slot the next take delivers, 0..49
};

}  // namespace miv
