#pragma once

#include <array>
#include <cstdint>

namespace miv {

struct ReceiveMode;

// The decoder metric: at each decision the decided row's strongest tone against the
// input's peak level, and, for the gauge, the mean of the latest 64 such samples in dB
// against the mode's reference.
class MetricMeter {
public:
    // peakLevel: the largest filter output since the previous decision.
    void RecordMetricSample(float rowPeak, float peakLevel);
    // At a lock: twenty samples of the preamble's mean magnitude, so that the gauge
    // does not start from the floor.
    void prime(float preambleSum);
    float metricDb(const ReceiveMode& mode) const;

private:
    void Metric(float sample);

    std::array<float, 64> samples_{};  // oldest first; never-written entries count as 0
    float lastPeakLevel_ = 0;          // the peak level at the latest decision
};

// Symbol errors the Viterbi decoder corrected among the last 50 symbols: the hard
// decision of each symbol compared with the branch the decoder chose for it.
class ViterbiErrorCounter {
public:
    // At a decision: the hard tone just decided on de-interleaver branch 0..3, the
    // symbol the decoder has just decided on, and the decision's number since the lock.
    int CountViterbiErrors(int branch, std::uint8_t hardTone, std::uint8_t viterbiSymbol, int decision);
    int count() const { return count_; }

private:
    static constexpr int kRing = 23;  // kHardDecisionSpan + 1 hard decisions
    static constexpr int kWindow = 50;

    std::array<std::uint8_t, kRing> hardTones_{};
    int newest_ = kRing - 1;
    std::array<std::uint8_t, kWindow> errors_{};
    int windowPosition_ = kWindow - 1;
    int count_ = 0;
};

}  // namespace miv
