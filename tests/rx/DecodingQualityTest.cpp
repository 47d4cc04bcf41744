#include "rx/DecodingQuality.h"

#include <gtest/gtest.h>

#include "rx/ReceiveModes.h"

namespace miv::test {
namespace {

TEST(MetricMeter, TheMeanSampleAgainstTheModesReferenceInDecibels)
{
    ModeSwitches switches;  // HF at 16 baud: reference 128, floor -18 dB
    MetricMeter meter;
    auto metricOf = [&](float rowPeak, float peakLevel) {
        for (int i = 0; i < 64; ++i)
            meter.RecordMetricSample(rowPeak, peakLevel);
        return meter.metricDb(receiveMode(switches));
    };
    EXPECT_FLOAT_EQ(metricOf(0, 1), -18);
    EXPECT_FLOAT_EQ(metricOf(128, 1), 0);
    EXPECT_FLOAT_EQ(metricOf(1000, 1), 0);
    EXPECT_NEAR(metricOf(12.8f * 16383.5f, 16383.5f), -20, 1e-4);
    EXPECT_NEAR(metricOf(12.8f * 40000, 20000), -20, 1e-4);  // above half scale the peak counts double
    metricOf(0, 1000);
    meter.prime(20 * 1000 * 204.8f);  // 20 samples of 204.8 among 64: half the reference
    EXPECT_NEAR(meter.metricDb(receiveMode(switches)), -6.0206f, 1e-4);
    switches.clickChannel();               // EME: reference 2048, floor -30 dB
    EXPECT_FLOAT_EQ(metricOf(7, 0), -30);  // no peak level: samples of 0
    EXPECT_NEAR(metricOf(204.8f, 1), -20, 1e-5);
}

TEST(ViterbiErrorCounter, CountsMismatchesOverTheLastFiftySymbolsOfTheMessage)
{
    ViterbiErrorCounter counter;
    // Tone 0 is symbol value 0: a decoded symbol 1 disagrees with it.
    for (int decision = 1; decision <= 22; ++decision)
        EXPECT_EQ(counter.CountViterbiErrors(3, 0, 1, decision), 0);
    for (int i = 1; i <= 60; ++i)
        EXPECT_EQ(counter.CountViterbiErrors(i % 4, 0, 1, 23), std::min(i, 50));
    for (int i = 1; i <= 10; ++i)
        counter.CountViterbiErrors(0, 0, 0, 23);
    EXPECT_EQ(counter.count(), 40);
    // A new message keeps the count up to its 21st decision and starts afresh at the 22nd.
    EXPECT_EQ(counter.CountViterbiErrors(3, 0, 1, 21), 40);
    EXPECT_EQ(counter.CountViterbiErrors(3, 0, 1, 22), 0);
}

}  // namespace
}  // namespace miv::test
