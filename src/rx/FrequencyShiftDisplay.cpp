#include "rx/FrequencyShiftDisplay.h"

#include <algorithm>
#include <cmath>

#include "modem/Picture.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"

namespace miv {

float FrequencyShiftDisplay::show(bool locked)
{
    if (locked) {
        const ShiftScale scale = shiftScale(switches_);
        storedShift_ = static_cast<float>(state_.StartBin - scale.centre) * scale.binWidth;
    }
    const float shift = storedShift_;
    const ShiftLimits limits = shiftLimits(switches_);
    const float size = std::fabs(shift);
    const bool beyond = limits.inclusive ? size >= limits.limit : size > limits.limit;
    observer_.frequencyShiftShown({shift, "Frequency Shift: " + formatPicture(shift, "######0.0") + " Hz",
                                   beyond ? Colour::Red : Colour::White,
                                   std::clamp(shift * 100 / limits.span + 50, 0.0f, 100.0f)});
    return shift;
}

}  // namespace miv
