#include "rx/FinalAcquisition.h"

#include <string>

#include "modem/Frame.h"
#include "rx/ReceiverObserver.h"

namespace miv {

void FinalAcquisition::reset()
{
    history_ = {};
    index_ = kHistory;
}

bool FinalAcquisition::add(std::uint8_t tone)
{
    constexpr int kNewestSlot = 22;
    constexpr int kNeeded = 8;

    index_ = index_ == kHistory ? 1 : index_ + 1;
    history_[static_cast<std::size_t>(index_)] = tone;
    int matches = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        int i = index_ - (kNewestSlot - kPreambleSlot[k]);
        if (i < 1)
            i += kHistory;
        matches += history_[static_cast<std::size_t>(i)] == ReceiverSequence[k];
    }
    if (matches > count_)
        count_ = matches;
    if (matches < kNeeded)
        return false;
    finalScore_ = matches;
    const Colour background = matches == 8 ? Colour::Red : matches <= 12 ? Colour::Yellow : Colour::Green;
    observer_.finalAcquired({matches, "Final Acquisition: " + std::to_string(matches) + "/16", background,
                             static_cast<float>(matches * 100) / 16, 8000});
    return true;
}

}  // namespace miv
