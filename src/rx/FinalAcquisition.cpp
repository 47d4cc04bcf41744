#include "rx/FinalAcquisition.h"

#include "modem/Frame.h"
#include "rx/ReceiverObserver.h"

namespace miv {

void FinalAcquisition::reset()
{
    history_ = {};
    newest_ = kHistory - 1;
}

bool FinalAcquisition::add(std::uint8_t tone)
{
    static_assert(kHistory >= kEndMarkerCheckSpan);
    newest_ = newest_ == kHistory - 1 ? 0 : newest_ + 1;
    history_[static_cast<std::size_t>(newest_)] = tone;
    // The newest tone sits in slot 22 of the marker.
    int matches = 0;
    for (std::size_t k = 0; k < kEndMarkerCheckLength; ++k) {
        int i = newest_ - (kEndMarkerCheckSpan - kPreambleSlot[k]);
        if (i < 0)
            i += kHistory;
        matches += history_[static_cast<std::size_t>(i)] == ReceiverSequence[k];
    }
    if (matches > count_)
        count_ = matches;
    if (matches < kMatchesToEnd)
        return false;
    finalScore_ = matches;
    observer_.finalAcquired(matches);
    return true;
}

}  // namespace miv
