#include "rx/CaptureRing.h"

namespace miv {

namespace {

constexpr const char* kErrorTitle = "SoundCard Error";
constexpr const char* kInputMissing = "Device input not avaiable";

}  // namespace

void CaptureRing::OpenCapture()
{
    CloseCapture();
    open_ = source_.open(kSlots);
    failureTold_ = false;
    if (!open_)
        messages_.critical(kErrorTitle, kInputMissing);
    // Every open starts a fresh queue at slot 0, so nothing from before the opening
    // is ever delivered.
    nextSlot_ = 0;
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
    if (!CaptureBlockDone(nextSlot_ + 1)) {
        if (open_ && !failureTold_ && source_.failed()) {
            failureTold_ = true;
            messages_.critical(kErrorTitle, kInputMissing);
        }
        return false;
    }
    source_.read(nextSlot_, out);
    source_.requeue(nextSlot_);
    nextSlot_ = (nextSlot_ + 1) % kSlots;
    return true;
}

}  // namespace miv
