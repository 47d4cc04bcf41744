#pragma once

#include <array>

#include "rx/FourierAnalyser.h"
#include "rx/ReceiveState.h"

namespace miv {

// Background level at the 16 tone positions of a symbol, measured in the earlier
// symbols that the hopping sent in another group, where those positions held no signal.
class ToneNoiseEstimator {
public:
    ToneNoiseEstimator(const ReceiveState& state, const SpectrumHistory& history) : state_(state), history_(history) {}

    // Writes the reference of `row` for the group starting at `startBin`; symbolNumber
    // is the hop row of the symbol (a value above 288 is reduced by 288 in place).
    void EstimateToneNoise(int row, int startBin, int& symbolNumber);

    // Reference of tone 0..15 in row 1..208.
    float ToneReference(int tone, int row) const
    {
        return reference_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(tone)];
    }

private:
    const ReceiveState& state_;
    const SpectrumHistory& history_;
    std::array<std::array<float, 16>, SpectrumHistory::kRows> reference_{};
};

}  // namespace miv
