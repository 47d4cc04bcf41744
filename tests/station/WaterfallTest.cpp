#include "station/Waterfall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace miv {
namespace {

struct RecordingCanvas final : WaterfallCanvas {
    void drawLine(const WaterfallLine& line) override
    {
        lines.push_back(line);
        events += 'L';
    }
    void scrollDown() override { events += 'S'; }

    std::vector<WaterfallLine> lines;
    std::string events;
};

class WaterfallTest : public ::testing::Test {
protected:
    // `count` samples of tones of the given amplitudes at 1500 and 1000 Hz.
    void feed(int count, float at1500 = 0.0f, float at1000 = 0.0f)
    {
        for (int i = 0; i < count; ++i, ++t_) {
            const double phase = 2.0 * std::numbers::pi * static_cast<double>(t_) / 8000.0;
            waterfall_.DrawWaterfall(
                static_cast<float>(at1500 * std::sin(1500 * phase) + at1000 * std::sin(1000 * phase)));
        }
    }

    ModeSwitches switches_;
    RecordingCanvas canvas_;
    Waterfall waterfall_{switches_, canvas_};
    long t_ = 0;
};

constexpr std::uint32_t kWhite = 0xFFFFFF;

TEST_F(WaterfallTest, SilenceIsWhiteWithRedMarksWhereTheRangeEnds)
{
    for (const auto& [bw2250, wide, low, high] :
         {std::tuple{true, true, 333, 436}, std::tuple{true, false, 365, 404}, std::tuple{false, true, 205, 308},
          std::tuple{false, false, 236, 276}}) {
        switches_.selectBandwidth(bw2250);
        switches_.setAfcWide(wide);
        feed(kWaterfallLength);
        const WaterfallLine& line = canvas_.lines.back();
        for (int x = 0; x < kWaterfallBins; ++x)
            ASSERT_EQ(line[static_cast<std::size_t>(x)], x == low || x == high ? kWaterfallMark : kWhite) << x;
    }
}

// A bin is 255 grey steps below white at 255 * 3500 of magnitude: 1024 * 10000 is far
// beyond, 1024 * 600 / 3500 = 175.5 steps rounds to 176.
TEST_F(WaterfallTest, StrongTonesAreBlackWeakOnesGrey)
{
    feed(kWaterfallLength, 10000.0f, 600.0f);
    const WaterfallLine& line = canvas_.lines.at(0);
    EXPECT_EQ(line[384], 0u);
    EXPECT_EQ(line[256], 0x4F4F4Fu);  // 255 - 176 = 79
    EXPECT_EQ(line[100], kWhite);
    EXPECT_EQ(Waterfall::greyLevel({1750.0f, 0.0f}), 254);   // 254.5: halves to even
    EXPECT_EQ(Waterfall::greyLevel({0.0f, -5250.0f}), 254);  // 253.5
    EXPECT_EQ(Waterfall::greyLevel({3000.0f * 35.0f, 4000.0f * 35.0f}), 205);
}

TEST_F(WaterfallTest, ScrollsEvery1023SamplesDrawsEvery2048AndResumesWhereItStopped)
{
    feed(kWaterfallLength);
    EXPECT_EQ(canvas_.events, "SSL");
    feed(1000);
    feed(3 * kWaterfallLength - 1000);
    EXPECT_EQ(canvas_.lines.size(), 4u);
    EXPECT_EQ(std::count(canvas_.events.begin(), canvas_.events.end(), 'S'), 4 * kWaterfallLength / 1023);
}

}  // namespace
}  // namespace miv
