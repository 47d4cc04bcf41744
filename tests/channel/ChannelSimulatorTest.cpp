#include "channel/ChannelSimulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace miv::test {
namespace {

std::vector<std::int16_t> toneWithSilence(double frequency, std::size_t silence, std::size_t length)
{
    std::vector<std::int16_t> v(silence + length + silence, 0);
    for (std::size_t i = 0; i < length; ++i)
        v[silence + i] = static_cast<std::int16_t>(
            std::lround(10000 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / 48000)));
    return v;
}

// Amplitude of the component at `frequency` over one second from `from` (Hann window, so
// a tone 37.5 Hz away does not leak into the reading).
double amplitudeAt(const std::vector<std::int16_t>& v, std::size_t from, double frequency)
{
    constexpr std::size_t kCount = 48000;
    std::complex<double> sum;
    double weights = 0;
    for (std::size_t i = 0; i < kCount; ++i) {
        const double t = static_cast<double>(i);
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / kCount);
        weights += w;
        sum += w * static_cast<double>(v[from + i]) * std::polar(1.0, -2 * std::numbers::pi * frequency * t / 48000);
    }
    return 2 * std::abs(sum) / weights;
}

TEST(GaussianNoise, IsTheSameForASeedOnEveryMachine)
{
    // Box–Muller over the standard's 64-bit Mersenne Twister, whose output is fixed.
    GaussianNoise g(1);
    EXPECT_NEAR(g.next(), 0.35099249780849107, 1e-12);
    EXPECT_NEAR(g.next(), 0.40529019332161598, 1e-12);
}

TEST(ChannelSimulator, NoiseIsSetAgainstTheSignalPowerIn2500HertzFromTheSeed)
{
    // A tone of amplitude A has power A²/2; the silence around it does not count.
    const auto input = toneWithSilence(1000, 48000, 48000);
    ChannelSettings settings;
    settings.snrDb = -10;
    settings.delaySeconds = 0.5;
    const auto result = simulateChannel(input, settings);
    EXPECT_EQ(result.signalStart, 48001u);  // the tone starts at phase 0
    EXPECT_NEAR(result.signalPower, 5e7, 5e7 * 1e-3);
    const double sigma = std::sqrt(5e7 * 10 * 24000 / 2500);
    EXPECT_NEAR(result.noiseSigma, sigma, sigma * 1e-3);
    ASSERT_EQ(result.samples.size(), input.size() + 24000);
    EXPECT_EQ(result.clipped, 0u);
    double squares = 0;  // in the delay, where there is only noise
    for (std::size_t i = 0; i < 24000; ++i)
        squares += static_cast<double>(result.samples[i]) * result.samples[i];
    EXPECT_NEAR(std::sqrt(squares / 24000), result.gain * sigma, result.gain * sigma * 0.02);

    EXPECT_EQ(simulateChannel(input, settings).samples, result.samples);
    settings.seed = 2;
    EXPECT_NE(simulateChannel(input, settings).samples, result.samples);
    // A silent input has no signal to set the noise against.
    EXPECT_TRUE(simulateChannel(std::vector<std::int16_t>(1000, 0), {}).samples.empty());
}

TEST(ChannelSimulator, ShiftsTheFrequencyExactlyWithoutAnImage)
{
    const auto input = toneWithSilence(1000, 0, 96000);
    ChannelSettings settings;
    settings.snrDb = 120;
    for (double offset : {37.5, -210.0}) {
        settings.frequencyOffsetHz = offset;
        const auto result = simulateChannel(input, settings);
        const double wanted = amplitudeAt(result.samples, 24000, 1000 + offset);
        EXPECT_NEAR(wanted, 10000 * result.gain, 10000 * result.gain * 0.01);
        EXPECT_LT(amplitudeAt(result.samples, 24000, 1000 - offset), wanted * 1e-3);
        EXPECT_LT(amplitudeAt(result.samples, 24000, 1000), wanted * 1e-3);
    }
}

}  // namespace
}  // namespace miv::test
