#include <gtest/gtest.h>

#include <cmath>

#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

class MessageOutputTest : public testing::Test {
protected:
    float metricOf(float sample)
    {
        for (int i = 0; i < 64; ++i)
            rig.output.Metric(sample);
        return rig.output.metricDb();
    }

    void sixBits(std::initializer_list<int> bits)
    {
        std::vector<int> b(bits);
        for (std::size_t i = 0; i < b.size(); i += 2)
            rig.output.decodeBits(static_cast<std::uint8_t>(b[i]), static_cast<std::uint8_t>(b[i + 1]));
    }

    DecoderRig rig;
};

TEST_F(MessageOutputTest, MetricIsTheMeanAgainstTheModesReferenceInDecibels)
{
    EXPECT_FLOAT_EQ(metricOf(0), -18);  // HF at 16 baud: the floor
    EXPECT_FLOAT_EQ(metricOf(128), 0);
    EXPECT_NEAR(metricOf(12.8f), -20, 1e-5);
    EXPECT_FLOAT_EQ(metricOf(1000), 0);
    rig.switches.clickChannel();
    EXPECT_FLOAT_EQ(metricOf(0), -30);
    EXPECT_NEAR(metricOf(204.8f), -20, 1e-5);
}

TEST_F(MessageOutputTest, MetricSamplesAreScaledByThePeakLevel)
{
    float peak = 20000;
    rig.output.RecordMetricSample(400, peak);
    EXPECT_EQ(peak, 0);
    EXPECT_FLOAT_EQ(rig.output.LastPeakLevel(), 20000);
    peak = 16383.5f;
    rig.output.RecordMetricSample(16383.5f, peak);
    peak = 0;
    rig.output.RecordMetricSample(5, peak);
    // 0.01 + 1 + 0 over 64 entries.
    EXPECT_NEAR(rig.output.metricDb(), 20 * std::log10(1.01 / 64 / 128), 1e-4);
}

TEST_F(MessageOutputTest, HeaderShowsTimeAndShiftInBlackBetweenBlueParts)
{
    rig.state.FrequencyShift = -12.5f;
    rig.state.AcquisitionEnabled = true;
    rig.output.WriteHeader();
    const std::string text = rig.window.text();
    EXPECT_EQ(text, "\r\nRX: <12:00 UTC> <-12.5 Hz.> ");
    EXPECT_EQ(rig.window.colourAt(2), Colour::Blue);
    EXPECT_EQ(rig.window.colourAt(static_cast<int>(text.find('<'))), Colour::Black);
    EXPECT_EQ(rig.window.insertColour(), Colour::Blue);
    EXPECT_FALSE(rig.state.AcquisitionEnabled);
}

TEST_F(MessageOutputTest, SixBitCharactersAndTheirBackspace)
{
    rig.switches.clickSymbolRate();
    rig.output.WriteHeader();
    rig.output.resetCharacterDecoders();
    const std::string header = rig.window.text();
    sixBits({0, 1, 1, 0, 1, 1});  // a backspace first removes nothing
    sixBits({1, 0, 0, 0, 0, 1});  // A
    sixBits({0, 0, 0, 0, 0, 0});  // idle
    sixBits({0, 0, 0, 1, 1, 1});  // space
    sixBits({0, 1, 1, 0, 1, 0});  // :
    EXPECT_EQ(rig.window.text(), header + "A :");
    sixBits({0, 1, 1, 0, 1, 1});
    EXPECT_EQ(rig.window.text(), header + "A ");
    EXPECT_EQ(rig.output.ReceivedText(), "A ");
    for (int i = 0; i < 4; ++i)
        sixBits({0, 1, 1, 0, 1, 1});
    EXPECT_EQ(rig.window.text(), header);
}

TEST_F(MessageOutputTest, StopEndsTheMessageAndReportsIt)
{
    rig.state.LockFlag = true;
    rig.state.FrameScore = 17;
    rig.state.FinalScore = 15;
    rig.state.FrequencyShift = 3.5f;
    rig.state.AcquisitionVolume = -6;
    rig.gauges.lastMetric = -9;
    rig.gauges.cpuUsage = 12;
    rig.output.WriteHeader();
    rig.output.endMessage();
    EXPECT_EQ(rig.window.text().substr(rig.window.text().size() - 7), " <STOP>");
    EXPECT_EQ(rig.window.colourAt(rig.window.length() - 1), Colour::Blue);
    EXPECT_FALSE(rig.state.LockFlag);
    EXPECT_TRUE(rig.state.AcquisitionEnabled);
    ASSERT_EQ(rig.reports.size(), 1u);
    const ReceptionReport& r = rig.reports[0];
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.frameScore, 17);
    EXPECT_EQ(r.finalScore, 15);
    EXPECT_FLOAT_EQ(r.frequencyShift, 3.5f);
    EXPECT_FLOAT_EQ(r.metric, -9);
    EXPECT_FLOAT_EQ(r.cpuUsage, 12);
    EXPECT_FLOAT_EQ(r.volume, -6);
    EXPECT_EQ(r.utcHour, 12);
}

TEST_F(MessageOutputTest, CancelActsOnlyOnAMessageInProgress)
{
    rig.output.CancelMessage();
    EXPECT_EQ(rig.window.text(), "");
    EXPECT_TRUE(rig.reports.empty());

    rig.state.LockFlag = true;
    rig.state.BestSum = 50;
    rig.output.CancelMessage();
    EXPECT_EQ(rig.window.text(), " <CANCEL>");
    EXPECT_EQ(rig.window.colourAt(1), Colour::Black);
    EXPECT_FALSE(rig.state.LockFlag);
    EXPECT_EQ(rig.state.BestSum, 0);
    ASSERT_EQ(rig.reports.size(), 1u);
    EXPECT_TRUE(rig.reports[0].cancelled);
    EXPECT_EQ(rig.reports[0].finalScore, 9);
}

TEST(ViterbiErrorCounter, CountsMismatchesOverTheLastFiftySymbols)
{
    ViterbiErrorCounter counter;
    int count = 0;
    for (int symbolCount = 1; symbolCount <= 22; ++symbolCount)
        count = counter.CountViterbiErrors(4, 0, 1, symbolCount);
    EXPECT_EQ(count, 0);
    // Tone 0 is symbol value 0: a decoder symbol of 1 disagrees with it.
    for (int i = 1; i <= 60; ++i) {
        count = counter.CountViterbiErrors(1 + i % 4, 0, 1, 23);
        EXPECT_EQ(count, std::min(i, 50));
    }
    for (int i = 1; i <= 10; ++i)
        count = counter.CountViterbiErrors(1, 0, 0, 23);
    EXPECT_EQ(count, 40);
    // A new message keeps the old count until its 22nd decision.
    EXPECT_EQ(counter.CountViterbiErrors(4, 0, 1, 5), 40);
    EXPECT_EQ(counter.CountViterbiErrors(4, 0, 1, 21), 40);
    EXPECT_EQ(counter.CountViterbiErrors(4, 0, 1, 22), 0);
}

}  // namespace
}  // namespace miv::test
