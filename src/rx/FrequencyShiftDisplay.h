#pragma once

#include "rx/ReceiveState.h"

namespace miv {

class ModeSwitches;
class ReceiverObserver;

// The frequency-shift gauge: the offset of `StartBin` from the centre of the search
// range while locked, the last one measured otherwise.
class FrequencyShiftDisplay {
public:
    FrequencyShiftDisplay(const ReceiveState& state, const ModeSwitches& switches, ReceiverObserver& observer)
        : state_(state),
          switches_(switches),
          observer_(observer)
    {
    }

    // Shows the shift and returns it in Hz.
    float ShowFrequencyShift() { return show(state_.LockFlag); }
    // At a lock, before `LockFlag` is set: the shift of the `StartBin` just locked.
    float ShowLockedShift() { return show(true); }

private:
    float show(bool locked);

    const ReceiveState& state_;
    const ModeSwitches& switches_;
    ReceiverObserver& observer_;
    float storedShift_ = 0;
};

}  // namespace miv
