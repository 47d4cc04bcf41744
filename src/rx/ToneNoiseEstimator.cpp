#include "rx/ToneNoiseEstimator.h"

#include "modem/Frame.h"
#include "rx/ReceiveModes.h"

namespace miv {

void ToneNoiseEstimator::EstimateToneNoise(const ReceiveMode& mode, int row, int groupStart, int hopRow)
{
    constexpr int kEarlierSymbols = 8;
    // Fixed by the format; not the number of rows in the hop table.
    constexpr float kDivisor = 287;

    std::array<float, 16> sums{};
    if (hopRow > kHopRows)
        hopRow -= kHopRows;
    const int group = HopTable.group(hopRow, mode.hopColumn);
    int count = 0;
    for (int k = 1; k <= kEarlierSymbols; ++k) {
        int earlier = hopRow - k;
        if (earlier < 1)
            earlier += kHopRows;
        if (HopTable.group(earlier, mode.hopColumn) == group)
            continue;
        ++count;
        const int r = symbolRowBefore(row, k);
        for (int j = 0; j < 16; ++j)
            sums[static_cast<std::size_t>(j)] += history_(r, groupStart + j * mode.toneStep, mode.plane);
    }
    // Every window of eight hop rows holds another group in each column, so count > 0.
    auto& out = references_[static_cast<std::size_t>(row - 1)];
    for (std::size_t j = 0; j < 16; ++j)
        out[j] = sums[j] / kDivisor / static_cast<float>(count);
}

}  // namespace miv
