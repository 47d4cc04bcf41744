#include "tx/OutputRing.h"

namespace miv {

bool OutputRing::OpenAudioOutput()
{
    if (open_)
        sink_.close();
    open_ = sink_.open(kSlots);
    if (!open_)
        return false;
    const AudioBlock silence{};
    for (int slot = 0; slot < kSlots; ++slot)
        sink_.queue(slot, silence);
    ringIndex_ = 0;
    return true;
}

bool OutputRing::WriteBlock(const AudioBlock& block)
{
    if (!open_ || !sink_.slotDone(ringIndex_))
        return false;
    sink_.queue(ringIndex_, block);
    ringIndex_ = (ringIndex_ + 1) % kSlots;
    return true;
}

void OutputRing::CloseAudioOutput()
{
    if (!open_)
        return;
    sink_.close();
    open_ = false;
}

}  // namespace miv
