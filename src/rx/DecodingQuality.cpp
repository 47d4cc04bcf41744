#include "rx/DecodingQuality.h"

#include <cmath>

#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "modem/MessageSchedule.h"
#include "rx/ReceiveModes.h"

namespace miv {

namespace {

// A peak level above half the 16-bit full scale counts double.
float peakDivisor(float peakLevel)
{
    constexpr float kHalfScale = 16383.5f;
    return peakLevel > kHalfScale ? 2 * peakLevel : peakLevel;
}

}  // namespace

void MetricMeter::RecordMetricSample(float rowPeak, float peakLevel)
{
    Metric(peakLevel > 0 ? rowPeak / peakDivisor(peakLevel) : 0);
    lastPeakLevel_ = peakLevel;
}

void MetricMeter::prime(float preambleSum)
{
    if (lastPeakLevel_ == 0)
        return;
    const float sample = preambleSum / (kPreambleSymbolCount * peakDivisor(lastPeakLevel_));
    for (int i = 0; i < kPreambleSymbolCount; ++i)
        Metric(sample);
}

void MetricMeter::Metric(float sample)
{
    for (std::size_t i = 1; i < samples_.size(); ++i)
        samples_[i - 1] = samples_[i];
    samples_.back() = sample;
}

float MetricMeter::metricDb(const ReceiveMode& mode) const
{
    float sum = 0;
    for (float v : samples_)
        sum += v;
    const float mean = sum / static_cast<float>(samples_.size());
    if (mean > mode.metricReference)
        return 0;
    if (mean == 0)
        return mode.metricFloorDb;
    const double ratio = static_cast<double>(mode.metricReference) / static_cast<double>(mean);
    // log10 of the gauges: 0 for a ratio that is not positive.
    return ratio > 0 ? static_cast<float>(-20 * std::log10(ratio)) : 0.0f;
}

int ViterbiErrorCounter::CountViterbiErrors(int branch, std::uint8_t hardTone, std::uint8_t viterbiSymbol, int decision)
{
    static_assert(kRing == kHardDecisionSpan + 1);
    newest_ = newest_ == kRing - 1 ? 0 : newest_ + 1;
    hardTones_[static_cast<std::size_t>(newest_)] = hardTone;
    // The hard decision of the symbol the decoder has just decided: its reading delay
    // plus the decoder's own delay back.
    int compared = newest_ - kDeinterleaveDelay[static_cast<std::size_t>(branch)] - ViterbiDecoder::kDepth;
    if (compared < 0)
        compared += kRing;

    if (decision == kHardDecisionSpan) {
        errors_ = {};
        windowPosition_ = kWindow - 1;
        count_ = 0;
    }
    if (decision < kFirstErrorCountDecision)
        return count_;
    windowPosition_ = windowPosition_ == kWindow - 1 ? 0 : windowPosition_ + 1;
    const std::uint8_t error = kInverseGrayTone[hardTones_[static_cast<std::size_t>(compared)]] != viterbiSymbol;
    auto& slot = errors_[static_cast<std::size_t>(windowPosition_)];
    count_ = count_ - slot + error;
    slot = error;
    return count_;
}

}  // namespace miv
