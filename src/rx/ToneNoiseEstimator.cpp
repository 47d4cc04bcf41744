#include "rx/ToneNoiseEstimator.h"

#include "modem/Frame.h"

namespace miv {

void ToneNoiseEstimator::EstimateToneNoise(int row, int startBin, int& symbolNumber)
{
    constexpr int kEarlierSymbols = 8;
    constexpr int kRowsPerSymbol = 8;
    // Fixed by the format; not the number of rows in the hop table.
    constexpr float kDivisor = 287;

    std::array<float, 16> sums{};
    if (symbolNumber > kHopRows)
        symbolNumber -= kHopRows;
    const int group = HopTable.group(symbolNumber, state_.HopColumn);
    int count = 0;
    for (int k = 1; k <= kEarlierSymbols; ++k) {
        int m = symbolNumber - k;
        if (m < 1)
            m += kHopRows;
        if (HopTable.group(m, state_.HopColumn) == group)
            continue;
        ++count;
        const int r = rowBefore(row, kRowsPerSymbol * k);
        for (int j = 0; j < 16; ++j)
            sums[static_cast<std::size_t>(j)] += history_(r, startBin + j * state_.ToneStep, state_.SpectrumPlane);
    }
    // Every window of nine hop rows holds another group in each column, so count > 0.
    auto& out = reference_[static_cast<std::size_t>(row - 1)];
    for (std::size_t j = 0; j < 16; ++j)
        out[j] = sums[j] / kDivisor / static_cast<float>(count);
}

}  // namespace miv
