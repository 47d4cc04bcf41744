#include "rx/CaptureRing.h"

namespace miv {

void CaptureRing::OpenCapture()
{
    CloseCapture();
    open_ = source_.open(kSlots);
    if (!open_)
        messages_.critical("SoundCard Error", "Device input not avaiable");
    // Every open starts a fresh queue at slot 0, so nothing from before the opening
    // is ever delivered.
    CapturePointer = 0;
}

void CaptureRing::CloseCapture()
{
    if (open_)
        source_.close();
    open_ = false;
}

bool CaptureRing::CaptureBlockDone(int k)
{
    return open_ && k >= 1 && k <= kSlots && source_.slotDone(k - 1);
}

bool CaptureRing::TakeCaptureBlock(AudioBlock& out)
{
    if (!CaptureBlockDone(CapturePointer + 1))
        return false;
    source_.read(CapturePointer, out);
    source_.requeue(CapturePointer);
    CapturePointer = (CapturePointer + 1) % kSlots;
    return true;
}

}  // namespace miv
