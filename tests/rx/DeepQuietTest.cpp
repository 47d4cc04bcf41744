// The deep path shows nothing that was not sent: not on noise, not on a carrier, not on
// another station's signal of the other rate.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "channel/ChannelSimulator.h"
#include "rx/RxTestSupport.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

std::vector<std::int16_t> gaussianNoise(double seconds, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::normal_distribution<double> normal(0, 3000);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * kSampleRate));
    for (auto& s : samples)
        s = static_cast<std::int16_t>(std::lround(normal(random)));
    return samples;
}

StepSettings deep(StepSettings settings)
{
    settings.decoder = Decoder::Deep;
    return settings;
}

// Switches: bandwidth 2250, EME, 16 baud, Auto, AFC wide.
TEST(DeepQuiet, NoiseAloneShowsNothingInAnyReceiveStep)
{
    const std::vector<std::int16_t> noise = gaussianNoise(60, 1);
    for (const StepSettings step :
         {StepSettings{1, 0, 1, 1, 1}, StepSettings{0, 0, 0, 0, 0}, StepSettings{1, 1, 0, 0, 1}}) {
        const Decoded rx = decodeSamples(noise, deep(step));
        EXPECT_EQ(rx.window, "");
        EXPECT_TRUE(rx.reports.empty());
    }
}

TEST(DeepQuiet, AStrongCarrierInTheNoiseShowsNothing)
{
    std::vector<std::int16_t> carrier(60 * kSampleRate);
    for (std::size_t t = 0; t < carrier.size(); ++t)
        carrier[t] = static_cast<std::int16_t>(
            std::lround(8000 * std::sin(2 * std::numbers::pi * 1234.5 * static_cast<double>(t) / kSampleRate)));
    ChannelSettings channel;
    channel.snrDb = 10;
    for (const StepSettings step : {StepSettings{1, 0, 1, 1, 1}, StepSettings{1, 1, 0, 0, 1}}) {
        const Decoded rx = decodeSamples(simulateChannel(carrier, channel).samples, deep(step));
        EXPECT_EQ(rx.window, "");
    }
}

// A 16-baud station sending data while the operator listens at 1 baud: its tones match
// any preamble symbol by chance only.
TEST(DeepQuiet, ASixteenBaudStationIsNotReadAtOneBaud)
{
    const RenderedTransmission tx = renderTransmission(
        {}, "a sixteen baud station sends a long text nearby, and keeps on sending it for a while to come");
    ChannelSettings channel;
    channel.snrDb = 0;
    channel.frequencyOffsetHz = 150;
    const Decoded rx = decodeSamples(simulateChannel(tx.samples, channel).samples, deep({1, 0, 0, 0, 1}));
    EXPECT_EQ(rx.window, "");
}

}  // namespace
}  // namespace miv::test
