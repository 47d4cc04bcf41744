#include "station/StatusGauges.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

class StatusGaugesTest : public ::testing::Test {
protected:
    const GaugeDisplay& show(Gauge gauge) const { return gauges.display(gauge); }

    ModeSwitches switches;  // HF, 2250 Hz, 16 baud, wide range
    StatusGauges gauges{switches};
};

TEST_F(StatusGaugesTest, StartUpPutsEveryGaugeAtRest)
{
    const GaugeSet changed = gauges.startUp();
    for (int g = 1; g <= kGaugeCount; ++g)
        EXPECT_TRUE(changed.contains(static_cast<Gauge>(g))) << g;

    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 0 Hz");
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: 0");
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -18 dB");
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 0/50");
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 0/20");
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 0 %");
    EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: 0/16");
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: -20 dB");

    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 50.0f);
    EXPECT_EQ(show(Gauge::SymbolSynchronization).needle, 50.0f);
    for (int g = 3; g <= kGaugeCount; ++g) {
        EXPECT_EQ(show(static_cast<Gauge>(g)).needle, 0.0f) << g;
        EXPECT_EQ(show(static_cast<Gauge>(g)).background, Colour::White) << g;
    }
}

TEST_F(StatusGaugesTest, ResetLeavesFrequencyShiftAndCpuCaptionsAlone)
{
    gauges.startUp();
    gauges.showFrequencyShift(62.5f);
    gauges.refreshCpu(90.0f);
    const GaugeSet changed = gauges.resetAll();

    EXPECT_FALSE(changed.contains(Gauge::FrequencyShift));
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 62.5 Hz");
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 90 %");
    EXPECT_EQ(show(Gauge::Cpu).needle, 0.0f);
}

TEST_F(StatusGaugesTest, MetricFloorFollowsTheMode)
{
    gauges.resetAll();
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -18 dB");
    switches.selectSymbolRate(false);
    gauges.resetAll();
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -30 dB");
    switches.selectSymbolRate(true);
    switches.selectChannel(true);
    gauges.resetAll();
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -30 dB");
}

TEST_F(StatusGaugesTest, VolumeFromSilenceToFullScale)
{
    gauges.refreshVolume(0.0f);
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: -20 dB");
    EXPECT_EQ(show(Gauge::Volume).needle, 0.0f);
    EXPECT_EQ(gauges.volumeReading(), -20.0f);

    gauges.refreshVolume(32767.0f);
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: 0 dB");
    EXPECT_FLOAT_EQ(show(Gauge::Volume).needle, 100.0f);

    gauges.refreshVolume(3276.7f);  // a tenth of full scale
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: -10 dB");
    EXPECT_NEAR(show(Gauge::Volume).needle, 50.0f, 1e-3f);

    gauges.refreshVolume(40000.0f);  // filter overshoot beyond full scale reads 0 dB
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: 0 dB");
    EXPECT_FLOAT_EQ(show(Gauge::Volume).needle, 100.0f);

    gauges.refreshVolume(100.0f);  // -25.2 dB, below the dial
    EXPECT_EQ(show(Gauge::Volume).caption, "Volume: -25 dB");
    EXPECT_EQ(show(Gauge::Volume).needle, 0.0f);
    EXPECT_NEAR(gauges.volumeReading(), -25.15f, 0.01f);
}

TEST_F(StatusGaugesTest, MetricBelowTheFloorIsCaptionedBeforeItIsHeld)
{
    GaugeSet changed = gauges.refreshMetricAndErrors(-40.0f, 0);
    EXPECT_TRUE(changed.contains(Gauge::Metric));
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -40 dB");
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 0.0f);
    EXPECT_EQ(gauges.lastMetric(), -40.0f);

    gauges.refreshMetricAndErrors(-9.0f, 0);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 50.0f);
    gauges.refreshMetricAndErrors(0.0f, 0);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 100.0f);
    gauges.refreshMetricAndErrors(3.0f, 0);  // above 0 dB the needle passes full scale
    EXPECT_NEAR(show(Gauge::Metric).needle, 116.67f, 0.01f);

    switches.selectChannel(true);
    gauges.refreshMetricAndErrors(-15.0f, 0);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 50.0f);
    gauges.refreshMetricAndErrors(-40.0f, 0);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 0.0f);
}

TEST_F(StatusGaugesTest, ErrorsPinTheNeedleFrom27AndRedrawOnlyOnChange)
{
    GaugeSet changed = gauges.refreshMetricAndErrors(-10.0f, 27);
    EXPECT_TRUE(changed.contains(Gauge::Errors));
    EXPECT_FLOAT_EQ(show(Gauge::Errors).needle, 100.0f);
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 27/50");

    gauges.refreshMetricAndErrors(-10.0f, 40);
    EXPECT_FLOAT_EQ(show(Gauge::Errors).needle, 100.0f);
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 40/50");

    gauges.refreshMetricAndErrors(-10.0f, 13);
    EXPECT_NEAR(show(Gauge::Errors).needle, 48.148f, 1e-3f);

    changed = gauges.refreshMetricAndErrors(-10.0f, 13);
    EXPECT_FALSE(changed.contains(Gauge::Errors));
    EXPECT_TRUE(changed.contains(Gauge::Metric));
}

TEST_F(StatusGaugesTest, CpuCaptionTurnsRedAtEightySevenAndAHalfPercent)
{
    gauges.refreshCpu(87.5f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::Red);
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 88 %");
    EXPECT_EQ(show(Gauge::Cpu).needle, 87.5f);
    EXPECT_EQ(gauges.lastCpuUsage(), 87.5f);

    gauges.refreshCpu(87.49f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::White);
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 87 %");
}

TEST_F(StatusGaugesTest, FrameAcquisitionColoursByMatches)
{
    const std::pair<int, Colour> cases[] = {
        {14, Colour::Red}, {15, Colour::Yellow}, {17, Colour::Yellow}, {18, Colour::Green}, {20, Colour::Green},
    };
    for (const auto& [matches, colour] : cases) {
        gauges.frameAcquired(matches);
        EXPECT_EQ(show(Gauge::FrameAcquisition).background, colour) << matches;
        EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: " + std::to_string(matches) + "/20");
        EXPECT_FLOAT_EQ(show(Gauge::FrameAcquisition).needle, matches * 5.0f);
    }
}

TEST_F(StatusGaugesTest, FinalAcquisitionColoursByMatches)
{
    const std::pair<int, Colour> cases[] = {
        {8, Colour::Red}, {9, Colour::Yellow}, {12, Colour::Yellow}, {13, Colour::Green}, {16, Colour::Green},
    };
    for (const auto& [matches, colour] : cases) {
        gauges.finalAcquired(matches);
        EXPECT_EQ(show(Gauge::FinalAcquisition).background, colour) << matches;
        EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: " + std::to_string(matches) + "/16");
        EXPECT_FLOAT_EQ(show(Gauge::FinalAcquisition).needle, matches * 6.25f);
    }
}

TEST_F(StatusGaugesTest, FrameAcquisitionHoldsItsReadingUntilTheHoldExpires)
{
    gauges.startUp();
    gauges.refreshMetricAndErrors(-5.0f, 6);
    const GaugeSet changed = gauges.frameAcquired(16);
    EXPECT_TRUE(changed.contains(Gauge::Errors));
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 0/50");
    EXPECT_EQ(show(Gauge::Errors).needle, 0.0f);
    EXPECT_TRUE(gauges.frameHoldActive());

    // The refresh shows nothing during the hold, so the caller keeps its count.
    EXPECT_TRUE(gauges.refreshFrameAcquisition(9).empty());
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 16/20");

    gauges.frameHoldExpired();
    EXPECT_FALSE(gauges.frameHoldActive());
    EXPECT_EQ(show(Gauge::FrameAcquisition).background, Colour::White);
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 16/20");

    EXPECT_TRUE(gauges.refreshFrameAcquisition(9).contains(Gauge::FrameAcquisition));
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 9/20");
    EXPECT_FLOAT_EQ(show(Gauge::FrameAcquisition).needle, 45.0f);
}

TEST_F(StatusGaugesTest, FinalAcquisitionHoldEndsAtZero)
{
    gauges.finalAcquired(10);
    EXPECT_TRUE(gauges.refreshFinalAcquisition(3, true).empty());
    gauges.finalHoldExpired();
    EXPECT_EQ(show(Gauge::FinalAcquisition).background, Colour::White);
    EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: 0/16");
    EXPECT_EQ(show(Gauge::FinalAcquisition).needle, 0.0f);
}

TEST_F(StatusGaugesTest, FinalAcquisitionRefreshesOnlyWhileLockedAndChanged)
{
    EXPECT_TRUE(gauges.refreshFinalAcquisition(5, false).empty());
    EXPECT_TRUE(gauges.refreshFinalAcquisition(5, true).contains(Gauge::FinalAcquisition));
    EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: 5/16");
    EXPECT_FLOAT_EQ(show(Gauge::FinalAcquisition).needle, 31.25f);
    EXPECT_TRUE(gauges.refreshFinalAcquisition(5, true).empty());
    EXPECT_TRUE(gauges.refreshFinalAcquisition(0, true).contains(Gauge::FinalAcquisition));
}

TEST_F(StatusGaugesTest, ResetEndsTheHoldsAndWhitensTheCaptions)
{
    gauges.frameAcquired(18);
    gauges.finalAcquired(13);
    gauges.resetAll();
    EXPECT_FALSE(gauges.frameHoldActive());
    EXPECT_FALSE(gauges.finalHoldActive());
    EXPECT_EQ(show(Gauge::FrameAcquisition).background, Colour::White);
    EXPECT_EQ(show(Gauge::FinalAcquisition).background, Colour::White);
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 0/20");
}

TEST_F(StatusGaugesTest, FrequencyShiftCaptionNeedleAndLimits)
{
    gauges.showFrequencyShift(62.5f);
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 62.5 Hz");
    EXPECT_NEAR(show(Gauge::FrequencyShift).needle, 65.385f, 1e-3f);
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::White);

    gauges.showFrequencyShift(0.0f);
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 0.0 Hz");
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 50.0f);

    gauges.showFrequencyShift(-500.0f);
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: -500.0 Hz");
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 0.0f);
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::Red);

    switches.setAfcWide(false);
    gauges.showFrequencyShift(78.125f);
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::White);
    gauges.showFrequencyShift(-78.2f);
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::Red);

    switches.selectChannel(true);
    switches.setAfcWide(true);
    gauges.showFrequencyShift(1299.9f);
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::White);
    gauges.showFrequencyShift(1300.0f);  // the EME wide limit counts as beyond
    EXPECT_EQ(show(Gauge::FrequencyShift).background, Colour::Red);
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 100.0f);
}

TEST_F(StatusGaugesTest, SymbolSynchronizationMovesTwelveAndAHalfPerRow)
{
    gauges.showSymbolSynchronization(-1);
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: -1");
    EXPECT_EQ(show(Gauge::SymbolSynchronization).needle, 37.5f);
    gauges.showSymbolSynchronization(4);
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: 4");
    EXPECT_EQ(show(Gauge::SymbolSynchronization).needle, 100.0f);
    gauges.showSymbolSynchronization(0);
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: 0");
    EXPECT_EQ(show(Gauge::SymbolSynchronization).needle, 50.0f);
}

}  // namespace
}  // namespace miv
