#pragma once

#include <array>

#include "rx/FourierAnalyser.h"

namespace miv {

struct ReceiveMode;

// Background level at the 16 tone positions of a symbol, measured in the earlier
// symbols that the hopping sent in another group, where those positions held no signal.
class ToneNoiseEstimator {
public:
    explicit ToneNoiseEstimator(const SpectrumHistory& history) : history_(history) {}

    // Writes the reference of `row` for the group starting at `groupStart`, the symbol
    // there having hop row `hopRow` (a value above 288 counts from 1 again).
    void EstimateToneNoise(const ReceiveMode& mode, int row, int groupStart, int hopRow);

    // Reference of tone 0..15 in row 1..208.
    float toneReference(int tone, int row) const
    {
        return references_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(tone)];
    }

private:
    const SpectrumHistory& history_;
    std::array<std::array<float, 16>, SpectrumHistory::kRows> references_{};
};

}  // namespace miv
