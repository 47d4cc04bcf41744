#include "station/Waterfall.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace miv {
namespace {

struct RecordingCanvas final : WaterfallCanvas {
    void drawLine(const WaterfallLine& line) override
    {
        lines.push_back(line);
        events.push_back('L');
    }
    void scrollDown() override { events.push_back('S'); }

    std::vector<WaterfallLine> lines;
    std::string events;
};

class WaterfallTest : public ::testing::Test {
protected:
    void feed(int count, float amplitude = 0.0f, double hz = 0.0)
    {
        for (int i = 0; i < count; ++i, ++t)
            waterfall.DrawWaterfall(static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t / 8000.0)));
    }

    ModeSwitches switches;
    RecordingCanvas canvas;
    Waterfall waterfall{switches, canvas};
    long t = 0;
};

constexpr std::uint32_t kWhite = 0xFFFFFF;

TEST_F(WaterfallTest, SilenceDrawsAWhiteLineWithTwoRedMarks)
{
    feed(kWaterfallLength);
    ASSERT_EQ(canvas.lines.size(), 1u);
    const WaterfallLine& line = canvas.lines[0];
    for (int x = 0; x < kWaterfallBins; ++x) {
        const bool mark = x == 333 || x == 436;
        EXPECT_EQ(line[static_cast<std::size_t>(x)], mark ? kWaterfallMark : kWhite) << x;
    }
}

TEST_F(WaterfallTest, MarksFollowBandwidthAndRangeAtEachLine)
{
    const struct {
        bool bw2250;
        bool wide;
        int low;
        int high;
    } cases[] = {{true, true, 333, 436}, {true, false, 365, 404}, {false, true, 205, 308}, {false, false, 236, 276}};
    for (const auto& c : cases) {
        switches.selectBandwidth(c.bw2250);
        switches.setAfcWide(c.wide);
        feed(kWaterfallLength);
        const WaterfallLine& line = canvas.lines.back();
        int marks = 0;
        for (std::uint32_t colour : line)
            marks += colour == kWaterfallMark;
        EXPECT_EQ(marks, 2);
        EXPECT_EQ(line[static_cast<std::size_t>(c.low)], kWaterfallMark) << c.low;
        EXPECT_EQ(line[static_cast<std::size_t>(c.high)], kWaterfallMark) << c.high;
    }
}

TEST_F(WaterfallTest, StrongToneAt1500HzIsBlackAtBin384BetweenTheMarks)
{
    // 1024 * amplitude in the bin, far beyond the 255 * 3500 that reaches black.
    feed(kWaterfallLength, 10000.0f, 1500.0);
    ASSERT_EQ(canvas.lines.size(), 1u);
    const WaterfallLine& line = canvas.lines[0];
    EXPECT_EQ(line[384], 0u);
    EXPECT_EQ(line[100], kWhite);
    EXPECT_EQ(line[700], kWhite);
}

TEST_F(WaterfallTest, WeakToneIsGrey)
{
    // 1024 * 600 / 3500 = 175.5 grey steps below white.
    feed(kWaterfallLength, 600.0f, 1000.0);
    const std::uint32_t grey = canvas.lines[0][256];
    const std::uint32_t g = grey & 0xFF;
    EXPECT_EQ(grey, g << 16 | g << 8 | g);
    EXPECT_NEAR(static_cast<int>(g), 255 - 176, 1);
}

TEST(WaterfallGrey, ScaleAndRoundingHalvesToEven)
{
    EXPECT_EQ(Waterfall::greyLevel({0.0f, 0.0f}), 255);
    EXPECT_EQ(Waterfall::greyLevel({1750.0f, 0.0f}), 254);   // 254.5
    EXPECT_EQ(Waterfall::greyLevel({0.0f, -5250.0f}), 254);  // 253.5
    EXPECT_EQ(Waterfall::greyLevel({3500.0f * 255.0f, 0.0f}), 0);
    EXPECT_EQ(Waterfall::greyLevel({3500.0f * 256.0f, 0.0f}), 0);
    EXPECT_EQ(Waterfall::greyLevel({3000.0f * 35.0f, 4000.0f * 35.0f}), 205);  // |m| = 5000 * 35
}

TEST_F(WaterfallTest, ScrollsEvery1023SamplesAndDrawsEvery2048)
{
    feed(kWaterfallLength);
    EXPECT_EQ(canvas.events, "SSL");
    // Stopping and resuming the feed carries on where it stopped.
    feed(1000);
    feed(3 * kWaterfallLength - 1000);
    EXPECT_EQ(canvas.lines.size(), 4u);
    int scrolls = 0;
    for (char e : canvas.events)
        scrolls += e == 'S';
    EXPECT_EQ(scrolls, 4 * kWaterfallLength / kWaterfallScrollSamples);
}

}  // namespace
}  // namespace miv
