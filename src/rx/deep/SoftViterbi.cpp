#include "rx/deep/SoftViterbi.h"

#include <algorithm>

#include "modem/Convolutional.h"

namespace miv {

namespace {

// Path metric of the states a cleared encoder cannot be in.
constexpr float kUnreachable = -1e30f;

}  // namespace

SoftViterbi::SoftViterbi(int delay) : delay_(delay), columns_(delay + 1), choice_(static_cast<std::size_t>(delay + 1))
{
    reset();
}

void SoftViterbi::reset()
{
    metric_.fill(kUnreachable);
    metric_[0] = 0;
    steps_ = 0;
    released_ = 0;
}

int SoftViterbi::traceBack(int state, int fromStep, int toStep) const
{
    for (int i = fromStep; i > toStep; --i) {
        const auto& choices = choice_[static_cast<std::size_t>(i % columns_)];
        state = TrellisTable[static_cast<std::size_t>(state)].predecessor[choices[static_cast<std::size_t>(state)]];
    }
    return state;
}

std::uint8_t SoftViterbi::symbolInto(int state, int step) const
{
    const auto& choices = choice_[static_cast<std::size_t>(step % columns_)];
    return TrellisTable[static_cast<std::size_t>(state)].branchSymbol[choices[static_cast<std::size_t>(state)]];
}

bool SoftViterbi::step(const std::array<float, 16>& toneLikelihood, std::array<std::uint8_t, 2>& bits)
{
    std::array<float, 64> next{};
    auto& choices = choice_[static_cast<std::size_t>(steps_ % columns_)];
    float best = kUnreachable;
    int bestState = 0;
    for (std::size_t s = 0; s < 64; ++s) {
        const TrellisState& t = TrellisTable[s];
        float kept = metric_[t.predecessor[0]] + toneLikelihood[GrayTone[t.branchSymbol[0]]];
        std::uint8_t keptJ = 0;
        for (std::uint8_t j = 1; j < 4; ++j) {
            const float candidate = metric_[t.predecessor[j]] + toneLikelihood[GrayTone[t.branchSymbol[j]]];
            if (candidate > kept) {
                kept = candidate;
                keptJ = j;
            }
        }
        next[s] = kept;
        choices[s] = keptJ;
        if (kept > best) {
            best = kept;
            bestState = static_cast<int>(s);
        }
    }
    for (std::size_t s = 0; s < 64; ++s)
        metric_[s] = std::max(next[s] - best, kUnreachable);
    const int current = steps_++;
    if (steps_ <= delay_)
        return false;
    const int released = current - delay_;
    const int state = traceBack(bestState, current, released);
    bits = {TrellisTable[static_cast<std::size_t>(state)].firstBit,
            TrellisTable[static_cast<std::size_t>(state)].secondBit};
    releasedSymbol_ = symbolInto(state, released);
    released_ = released + 1;
    return true;
}

std::vector<std::array<std::uint8_t, 2>> SoftViterbi::finish(int endState, int lastStep)
{
    std::vector<std::array<std::uint8_t, 2>> out;
    lastStep = std::min(lastStep, steps_ - 1);
    if (lastStep < released_) {
        released_ = steps_;
        return out;
    }
    int state = endState;
    if (state < 0) {
        state = static_cast<int>(std::max_element(metric_.begin(), metric_.end()) - metric_.begin());
        state = traceBack(state, steps_ - 1, lastStep);
    }
    std::vector<int> states(static_cast<std::size_t>(lastStep - released_ + 1));
    for (int i = lastStep; i >= released_; --i) {
        states[static_cast<std::size_t>(i - released_)] = state;
        state = traceBack(state, i, i - 1);
    }
    for (int st : states)
        out.push_back({TrellisTable[static_cast<std::size_t>(st)].firstBit,
                       TrellisTable[static_cast<std::size_t>(st)].secondBit});
    released_ = steps_;
    return out;
}

std::vector<std::uint8_t> SoftViterbi::bestPath(int count) const
{
    count = std::min({count, steps_, delay_});
    std::vector<std::uint8_t> path(static_cast<std::size_t>(count));
    int state = static_cast<int>(std::max_element(metric_.begin(), metric_.end()) - metric_.begin());
    for (int i = steps_ - 1; i >= steps_ - count; --i) {
        path[static_cast<std::size_t>(i - (steps_ - count))] = symbolInto(state, i);
        state = traceBack(state, i, i - 1);
    }
    return path;
}

std::uint8_t SoftViterbi::bestPathSymbol(int back) const
{
    const int state = static_cast<int>(std::max_element(metric_.begin(), metric_.end()) - metric_.begin());
    const int step = steps_ - 1 - back;
    return symbolInto(traceBack(state, steps_ - 1, step), step);
}

}  // namespace miv
