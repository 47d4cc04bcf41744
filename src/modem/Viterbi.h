#pragma once

#include <array>
#include <cstdint>

#include "modem/Convolutional.h"

namespace miv {

// Soft-decision Viterbi decoder working on the 16 tone magnitudes of each received
// symbol: one trellis step per symbol, two data bits out per step with a fixed
// decision delay of 16 steps. Path metrics are kept as the sum of the latest 16
// branch metrics of each survivor, so they never need rescaling.
class ViterbiDecoder {
public:
    static constexpr int kDepth = 16;
    static constexpr int kColumns = kDepth + 1;

    struct Decision {
        std::uint8_t firstBit;
        std::uint8_t secondBit;
        std::uint8_t symbol;  // branch symbol value the decided path took at that step
    };

    ViterbiDecoder() { ViterbiInit(); }

    // Clears the survivor memory and the path metrics; the ring position stays.
    void ViterbiInit();
    // toneMetric[t]: magnitude of tone t less its reference. The decision returned
    // belongs to the symbol given 16 calls earlier.
    Decision ViterbiStep(const std::array<float, 16>& toneMetric);

private:
    struct Survivor {
        float branchMetric;
        std::uint8_t predecessor;
        std::uint8_t symbol;
    };

    // Follows the survivor pointers back 16 steps from (column, state).
    void traceBack(int& column, int& state) const;

    std::array<std::array<Survivor, 64>, kColumns> survivors_{};
    std::array<std::array<float, 64>, kColumns> pathMetric_{};
    int trellisColumn_ = 0;
};

}  // namespace miv
