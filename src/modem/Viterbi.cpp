#include "modem/Viterbi.h"

namespace miv {

void ViterbiDecoder::ViterbiInit()
{
    survivors_ = {};
    pathMetric_ = {};
}

void ViterbiDecoder::traceBack(int& column, int& state) const
{
    for (int k = 0; k < kDepth; ++k) {
        state = survivors_[static_cast<std::size_t>(column)][static_cast<std::size_t>(state)].predecessor;
        column = column == 0 ? kColumns - 1 : column - 1;
    }
}

ViterbiDecoder::Decision ViterbiDecoder::ViterbiStep(const std::array<float, 16>& toneMetric)
{
    std::array<float, 16> branchMetric{};
    for (std::size_t i = 0; i < 16; ++i)
        branchMetric[i] = toneMetric[GrayTone[i]];

    const int n = trellisColumn_ + 1 > kDepth ? 0 : trellisColumn_ + 1;
    const auto& previous = pathMetric_[static_cast<std::size_t>(trellisColumn_)];
    auto& current = pathMetric_[static_cast<std::size_t>(n)];
    auto& column = survivors_[static_cast<std::size_t>(n)];

    for (int s = 0; s < 64; ++s) {
        const TrellisState& t = TrellisTable[static_cast<std::size_t>(s)];
        std::size_t chosen = 0;
        float best = previous[t.predecessor[0]] + branchMetric[t.branchSymbol[0]];
        for (std::size_t j = 1; j < 4; ++j) {
            const float candidate = previous[t.predecessor[j]] + branchMetric[t.branchSymbol[j]];
            if (candidate > best) {
                best = candidate;
                chosen = j;
            }
        }
        column[static_cast<std::size_t>(s)] = {branchMetric[t.branchSymbol[chosen]], t.predecessor[chosen],
                                               t.branchSymbol[chosen]};
        int oldestColumn = n;
        int oldestState = s;
        traceBack(oldestColumn, oldestState);
        current[static_cast<std::size_t>(s)] =
            best -
            survivors_[static_cast<std::size_t>(oldestColumn)][static_cast<std::size_t>(oldestState)].branchMetric;
    }

    int bestState = 0;
    for (int s = 1; s < 64; ++s)
        if (current[static_cast<std::size_t>(s)] > current[static_cast<std::size_t>(bestState)])
            bestState = s;
    int decidedColumn = n;
    int decidedState = bestState;
    traceBack(decidedColumn, decidedState);
    trellisColumn_ = n;

    const TrellisState& decided = TrellisTable[static_cast<std::size_t>(decidedState)];
    return {decided.firstBit, decided.secondBit,
            survivors_[static_cast<std::size_t>(decidedColumn)][static_cast<std::size_t>(decidedState)].symbol};
}

}  // namespace miv
