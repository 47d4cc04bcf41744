#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace miv {

// Maximum-likelihood decoding of the rate-1/2, K = 7 code, one trellis step (two data
// bits, one symbol) at a time, with full path metrics and a fixed decision delay: the
// bits of a step are released `delay` steps later from the best survivor. The encoder
// starts cleared, so decoding starts in state 0; when the end of the data is known,
// `finish` releases the rest from the state the encoder is known to end in.
class SoftViterbi {
public:
    explicit SoftViterbi(int delay);

    // A new message: state 0, nothing pending.
    void reset();
    // One symbol: the log-likelihood of each of the 16 tones. Returns true and sets
    // `bits` when a step's bits are released.
    bool step(const std::array<float, 16>& toneLikelihood, std::array<std::uint8_t, 2>& bits);
    // Releases the bits of every pending step up to step `lastStep` (0-based), in order,
    // tracing back from `endState` after that step, or from the best state when it is
    // negative; later steps are dropped.
    std::vector<std::array<std::uint8_t, 2>> finish(int endState, int lastStep);
    // Symbol values of the best survivor over the latest `count` steps (at most the
    // delay), oldest first.
    std::vector<std::uint8_t> bestPath(int count) const;
    // Symbol value of the best survivor `back` steps before the latest (less than the
    // delay and the steps taken).
    std::uint8_t bestPathSymbol(int back) const;
    // Symbol value the best path chose `delay` steps ago (valid after a release).
    std::uint8_t releasedSymbol() const { return releasedSymbol_; }
    int steps() const { return steps_; }

private:
    // State after step `toStep` on the survivor through `state` after step `fromStep`.
    int traceBack(int state, int fromStep, int toStep) const;
    std::uint8_t symbolInto(int state, int step) const;

    int delay_;
    int columns_;
    std::array<float, 64> metric_{};
    std::vector<std::array<std::uint8_t, 64>> choice_;  // predecessor index j per state and step
    int steps_ = 0;
    int released_ = 0;  // steps whose bits have gone out
    std::uint8_t releasedSymbol_ = 0;
};

}  // namespace miv
