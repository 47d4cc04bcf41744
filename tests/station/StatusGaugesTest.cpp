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

TEST_F(StatusGaugesTest, AtRestAfterStartUpAndAResetLeavesTheShiftAndCpuCaptions)
{
    const GaugeSet changed = gauges_.startUp();
    for (int g = 1; g <= kGaugeCount; ++g) {
        const auto gauge = static_cast<Gauge>(g);
        EXPECT_TRUE(changed.contains(gauge));
        EXPECT_EQ(show(gauge).needle, gauge <= Gauge::SymbolSynchronization ? 50.0f : 0.0f) << g;
    }
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: 0");
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 0/50");
    EXPECT_EQ(show(Gauge::FinalAcquisition).caption, "Final Acquisition: 0/16");
    gauges_.showFrequencyShift(62.5f, AfcRange::HfWide);
    gauges_.refreshCpu(90);
    switches_.selectSymbolRate(false);
    EXPECT_FALSE(gauges_.resetAll().contains(Gauge::FrequencyShift));
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: 62.5 Hz");
    EXPECT_EQ(show(Gauge::Cpu).caption, "CPU Usage: 90 %");
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -30 dB");  // the floor at 1 baud
}

TEST_F(StatusGaugesTest, VolumeFromSilenceToBeyondFullScale)
{
    const std::tuple<float, const char*, float> cases[] = {{0, "Volume: -20 dB", 0},
                                                           {32767, "Volume: 0 dB", 100},
                                                           {3276.7f, "Volume: -10 dB", 50},
                                                           {40000, "Volume: 0 dB", 100},
                                                           {100, "Volume: -25 dB", 0}};
    for (const auto& [peak, caption, needle] : cases) {
        gauges_.refreshVolume(peak);
        EXPECT_EQ(show(Gauge::Volume).caption, caption);
        EXPECT_NEAR(show(Gauge::Volume).needle, needle, 1e-3f) << caption;
    }
}

TEST_F(StatusGaugesTest, TheMetricIsCaptionedBeforeItIsHeldAtTheFloorErrorsPinFrom27)
{
    EXPECT_TRUE(gauges_.refreshMetricAndErrors(-40, 27).contains(Gauge::Errors));
    EXPECT_EQ(show(Gauge::Metric).caption, "Metric: -40 dB");
    EXPECT_EQ(show(Gauge::Metric).needle, 0.0f);
    EXPECT_EQ(show(Gauge::Errors).caption, "Errors by Viterbi: 27/50");
    EXPECT_FLOAT_EQ(show(Gauge::Errors).needle, 100);
    gauges_.refreshMetricAndErrors(3, 13);  // above 0 dB the needle passes full scale
    EXPECT_NEAR(show(Gauge::Metric).needle, 116.67f, 0.01f);
    EXPECT_NEAR(show(Gauge::Errors).needle, 48.148f, 1e-3f);
    EXPECT_FALSE(gauges_.refreshMetricAndErrors(3, 13).contains(Gauge::Errors));
    switches_.selectChannel(true);
    gauges_.refreshMetricAndErrors(-15, 13);
    EXPECT_FLOAT_EQ(show(Gauge::Metric).needle, 50);
    gauges_.refreshCpu(87.5f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::Red);
    gauges_.refreshCpu(87.49f);
    EXPECT_EQ(show(Gauge::Cpu).background, Colour::White);
}

TEST_F(StatusGaugesTest, AcquisitionsAreColouredByTheirCountsAndHeld)
{
    const std::tuple<int, Colour, int, Colour> cases[] = {{14, Colour::Red, 8, Colour::Red},
                                                          {15, Colour::Yellow, 9, Colour::Yellow},
                                                          {17, Colour::Yellow, 12, Colour::Yellow},
                                                          {18, Colour::Green, 13, Colour::Green}};
    for (const auto& [frame, frameColour, final, finalColour] : cases) {
        gauges_.frameAcquired(frame);
        gauges_.finalAcquired(final);
        EXPECT_EQ(show(Gauge::FrameAcquisition).background, frameColour) << frame;
        EXPECT_EQ(show(Gauge::FinalAcquisition).background, finalColour) << final;
    }
    EXPECT_EQ(show(Gauge::FrameAcquisition).caption, "Frame Acquisition: 18/20");
    EXPECT_FLOAT_EQ(show(Gauge::FinalAcquisition).needle, 81.25f);
    EXPECT_TRUE(gauges_.refreshFrameAcquisition(9).empty());  // held: the caller keeps its count
    gauges_.frameHoldExpired();
    EXPECT_EQ(show(Gauge::FrameAcquisition).background, Colour::White);
    EXPECT_TRUE(gauges_.refreshFrameAcquisition(9).contains(Gauge::FrameAcquisition));
    EXPECT_FLOAT_EQ(show(Gauge::FrameAcquisition).needle, 45);

    EXPECT_TRUE(gauges_.refreshFinalAcquisition(3, true).empty());
    gauges_.finalHoldExpired();
    EXPECT_EQ(show(Gauge::FinalAcquisition).needle, 0.0f);
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

TEST_F(StatusGaugesTest, TheShiftTurnsRedBeyondTheLimitOfItsRange)
{
    gauges_.showFrequencyShift(62.5f, AfcRange::HfWide);
    EXPECT_NEAR(show(Gauge::FrequencyShift).needle, 65.385f, 1e-3f);
    gauges_.showFrequencyShift(-500, AfcRange::HfWide);
    EXPECT_EQ(show(Gauge::FrequencyShift).caption, "Frequency Shift: -500.0 Hz");
    EXPECT_EQ(show(Gauge::FrequencyShift).needle, 0.0f);
    const std::tuple<float, AfcRange, Colour> cases[] = {
        {203.125f, AfcRange::HfWide, Colour::White},     {78.125f, AfcRange::HfNarrow, Colour::White},
        {-78.2f, AfcRange::HfNarrow, Colour::Red},       {1299.9f, AfcRange::EmeWide, Colour::White},
        {1300, AfcRange::EmeWide, Colour::Red},  // EME wide counts its limit as beyond
        {-609.375f, AfcRange::EmeNarrow, Colour::White}, {609.4f, AfcRange::EmeNarrow, Colour::Red}};
    for (const auto& [hz, range, colour] : cases) {
        gauges_.showFrequencyShift(hz, range);
        EXPECT_EQ(show(Gauge::FrequencyShift).background, colour) << hz;
    }
    gauges_.showSymbolSynchronization(-1);
    EXPECT_EQ(show(Gauge::SymbolSynchronization).caption, "Symbol Synchronization: -1");
    EXPECT_EQ(show(Gauge::SymbolSynchronization).needle, 37.5f);
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
    EXPECT_EQ(r.metricDb, -7.5f);
    EXPECT_EQ(r.cpuPercent, 12);
}

}  // namespace
}  // namespace miv
