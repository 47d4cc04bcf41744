#include "rx/ToneNoiseEstimator.h"

#include "modem/Frame.h"
#include "rx/ReceiveModes.h"

namespace miv {

namespace {

constexpr int kEarlierSymbols = 8;

// Whether every hop row has, among the symbols just before it, one sent in another
// group in every column: the estimate averages over those and divides by their count.
constexpr bool everyHopRowHasEarlierSymbolsInOtherGroups()
{
    for (int column = 1; column <= 3; ++column) {
        for (int row = 1; row <= kHopRows; ++row) {
            bool found = false;
            for (int k = 1; k <= kEarlierSymbols; ++k)
                found = found || HopTable.group(row - k < 1 ? row - k + kHopRows : row - k, column) !=
                                     HopTable.group(row, column);
            if (!found)
                return false;
        }
    }
    return true;
}

static_assert(everyHopRowHasEarlierSymbolsInOtherGroups());

}  // namespace

void ToneNoiseEstimator::EstimateToneNoise(const ReceiveMode& mode, int row, int groupStart, int hopRow)
{
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
    // count > 0, as the static_assert above makes sure.
    auto& out = references_[static_cast<std::size_t>(row - 1)];
    for (std::size_t j = 0; j < 16; ++j)
        out[j] = sums[j] / kDivisor / static_cast<float>(count);
}

}  // namespace miv
