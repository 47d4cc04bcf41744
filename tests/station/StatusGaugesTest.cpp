#include "station/StatusGauges.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

class StatusGaugesTest : public testing::Test {
protected:
    const GaugeDisplay& show(Gauge gauge) const { return gauges_.display(gauge); }

    ModeSwitches switches_;  // HF, 2250 Hz, 16 baud, wide range
    StatusGauges gauges_{switches_};
};

TEST_F(StatusGaugesTest, AResetLeavesTheShiftAndCpuCaptionsAndTakesTheMetricFloorOfTheMode)
{
    gauges_.startUp();
    gauges_.showFrequencyShift(62.5f, AfcRange::HfWide);
    gauges_.refreshCpu(90);
    switches_.selectSymbolRate(false);
    EXPECT_FALSE(gauges_.resetAll().contains(Gauge::FrequencyShift));
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 62.5 Hz");
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 90 %");
    EXPECT_EQ(show(Gauge::Cpu).needle, 0.0f);
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -30 dB");
}

TEST_F(StatusGaugesTest, EdgesOfTheVolumeMetricErrorAndCpuGauges)
{
    // Silence, the filter's overshoot beyond full scale, a level below the dial.
    for (const auto& [peak, caption, needle] :
         {std::tuple{0.0f, "Volume: -20 dB", 0.0f}, std::tuple{40000.0f, "Volume: 0 dB", 100.0f},
          std::tuple{100.0f, "Volume: -25 dB", 0.0f}}) {
        gauges_.refreshVolume(peak);
        EXPECT_EQ(show(Gauge::Volume).caption, caption);
        EXPECT_EQ(show(Gauge::Volume).needle, needle) << caption;
    }

    EXPECT_TRUE(gauges_.refreshMetricAndErrors(-40, 27).contains(Gauge::Errors));
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -40 dB");  // captioned before it is held at the floor
    EXPECT_EQ(show(Gauge::Metric).needle, 0.0f);
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 27/50");
    EXPECT_FLOAT_EQ(show(Gauge::Errors).needle, 100);
    EXPECT_FALSE(gauges_.refreshMetricAndErrors(-40, 27).contains(Gauge::Errors));  // unchanged: not redrawn
    switches_.selectChannel(true);
    gauges_.refreshMetricAndErrors(-15, 40);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 50);  // half way to the EME floor
    EXPECT_FLOAT_EQ(show(Gauge::Errors).needle, 100);

    gauges_.refreshCpu(87.5f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::Red);
    gauges_.refreshCpu(87.49f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::White);
}

TEST_F(StatusGaugesTest, AcquisitionsAreColouredByTheirCountsAndHeld)
{
    for (const auto& [frame, final, colour] : {std::tuple{14, 8, Colour::Red}, std::tuple{15, 9, Colour::Yellow},
                                               std::tuple{17, 12, Colour::Yellow}, std::tuple{18, 13, Colour::Green}}) {
        gauges_.frameAcquired(frame);
        gauges_.finalAcquired(final);
        EXPECT_EQ(show(Gauge::FrameAcquisition).background, colour) << frame;
        EXPECT_EQ(show(Gauge::FinalAcquisition).background, colour) << final;
    }
    EXPECT_TRUE(gauges_.refreshFrameAcquisition(9).empty());  // held: the caller keeps its count
    gauges_.frameHoldExpired();
    EXPECT_EQ(show(Gauge::FrameAcquisition).background, Colour::White);
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 18/20");
    EXPECT_TRUE(gauges_.refreshFrameAcquisition(9).contains(Gauge::FrameAcquisition));

    EXPECT_TRUE(gauges_.refreshFinalAcquisition(3, true).empty());
    gauges_.finalHoldExpired();
    EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: 0/16");
    // The final count shows only while a message is received, and only when it changed.
    EXPECT_TRUE(gauges_.refreshFinalAcquisition(5, false).empty());
    EXPECT_TRUE(gauges_.refreshFinalAcquisition(5, true).contains(Gauge::FinalAcquisition));
    EXPECT_TRUE(gauges_.refreshFinalAcquisition(5, true).empty());

    gauges_.frameAcquired(18);
    gauges_.finalAcquired(13);
    gauges_.resetAll();  // a transmission ends the holds
    EXPECT_FALSE(gauges_.frameHoldActive() || gauges_.finalHoldActive());
    EXPECT_EQ(show(Gauge::FinalAcquisition).background, Colour::White);
}

TEST_F(StatusGaugesTest, TheShiftTurnsRedBeyondTheLimitOfItsRangeAndTheNeedleStopsAtTheEnd)
{
    const std::tuple<float, AfcRange, Colour> cases[] = {
        {78.125f, AfcRange::HfNarrow, Colour::White}, {-78.2f, AfcRange::HfNarrow, Colour::Red},
        {1299.9f, AfcRange::EmeWide, Colour::White},  {1300, AfcRange::EmeWide, Colour::Red},  // its limit counts
        {203.2f, AfcRange::HfWide, Colour::Red},      {609.4f, AfcRange::EmeNarrow, Colour::Red}};
    for (const auto& [hz, range, colour] : cases) {
        gauges_.showFrequencyShift(hz, range);
        EXPECT_EQ(show(Gauge::FrequencyShift).background, colour) << hz;
    }
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 100.0f);
    gauges_.showFrequencyShift(-500, AfcRange::HfWide);
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: -500.0 Hz");
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 0.0f);
}

// The report quotes the last metric and CPU load shown and the volume shown at the lock.
TEST_F(StatusGaugesTest, ReadingsForTheReport)
{
    gauges_.refreshVolume(3276.7f);
    gauges_.frameAcquired(20);
    gauges_.refreshVolume(0);
    gauges_.refreshMetricAndErrors(-7.5f, 0);
    gauges_.refreshCpu(12);
    const GaugeReadings r = gauges_.readings();
    EXPECT_NEAR(r.volumeAtLockDb, -10, 1e-4);
    EXPECT_EQ(std::pair(r.metricDb, r.cpuPercent), std::pair(-7.5f, 12.0f));
}

}  // namespace
}  // namespace miv
