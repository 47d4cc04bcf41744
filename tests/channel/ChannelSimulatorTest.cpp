#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "channel/ChannelSimulator.h"

namespace miv::test {
namespace {

std::vector<std::int16_t> toneWithSilence(double frequency, double amplitude, std::size_t silence, std::size_t length)
{
    std::vector<std::int16_t> v(silence + length + silence, 0);
    for (std::size_t i = 0; i < length; ++i)
        v[silence + i] = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / 48000)));
    return v;
}

// Amplitude of the component at `frequency` over a stretch of samples (Hann window,
// so a tone 37.5 Hz away does not leak into the reading).
double amplitudeAt(const std::vector<std::int16_t>& v, std::size_t from, std::size_t count, double frequency)
{
    std::complex<double> sum;
    double weights = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double w =
            0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(count));
        weights += w;
        sum += w * static_cast<double>(v[from + i]) *
               std::polar(1.0, -2 * std::numbers::pi * frequency * static_cast<double>(i) / 48000);
    }
    return 2 * std::abs(sum) / weights;
}

TEST(GaussianNoise, IsTheSameForASeedOnEveryMachine)
{
    // Box–Muller over the standard's 64-bit Mersenne Twister, whose output is fixed.
    GaussianNoise g(1);
    EXPECT_NEAR(g.next(), 0.35099249780849107, 1e-12);
    EXPECT_NEAR(g.next(), 0.40529019332161598, 1e-12);
    EXPECT_NEAR(g.next(), 1.0859449105047105, 1e-12);
    GaussianNoise h(42);
    EXPECT_NEAR(h.next(), -1.0771745442782885, 1e-12);
}

TEST(GaussianNoise, HasZeroMeanAndUnitVariance)
{
    GaussianNoise g(7);
    double sum = 0;
    double squares = 0;
    constexpr int kCount = 200000;
    for (int i = 0; i < kCount; ++i) {
        const double x = g.next();
        sum += x;
        squares += x * x;
    }
    EXPECT_NEAR(sum / kCount, 0, 0.01);
    EXPECT_NEAR(squares / kCount, 1, 0.015);
}

TEST(ChannelSimulator, TheSameSeedGivesTheSameOutputAnotherSeedAnother)
{
    const auto input = toneWithSilence(1000, 10000, 100, 20000);
    ChannelSettings settings;
    settings.snrDb = 3;
    settings.frequencyOffsetHz = 12.5;
    settings.seed = 5;
    const auto a = simulateChannel(input, settings);
    EXPECT_EQ(a.samples, simulateChannel(input, settings).samples);
    settings.seed = 6;
    EXPECT_NE(a.samples, simulateChannel(input, settings).samples);
}

TEST(ChannelSimulator, NoiseIsSetAgainstTheSignalPowerIn2500Hertz)
{
    // A tone of amplitude A has power A²/2; the silence around it does not count.
    const auto input = toneWithSilence(1000, 10000, 48000, 48000);
    ChannelSettings settings;
    settings.snrDb = -10;
    settings.delaySeconds = 0.5;
    const auto result = simulateChannel(input, settings);
    EXPECT_EQ(result.signalStart, 48001u);  // the tone starts at phase 0
    EXPECT_NEAR(result.signalPower, 5e7, 5e7 * 1e-3);
    const double expectedSigma = std::sqrt(5e7 * 10 * 24000 / 2500);
    EXPECT_NEAR(result.noiseSigma, expectedSigma, expectedSigma * 1e-3);
    ASSERT_EQ(result.samples.size(), input.size() + 24000);
    EXPECT_EQ(result.clipped, 0u);

    // Measured in the delay, where there is only noise.
    double squares = 0;
    for (std::size_t i = 0; i < 24000; ++i)
        squares += static_cast<double>(result.samples[i]) * result.samples[i];
    EXPECT_NEAR(std::sqrt(squares / 24000), result.gain * expectedSigma, result.gain * expectedSigma * 0.02);
}

TEST(ChannelSimulator, ShiftsTheFrequencyExactlyWithoutAnImage)
{
    const auto input = toneWithSilence(1000, 10000, 0, 96000);
    ChannelSettings settings;
    settings.snrDb = 120;
    settings.frequencyOffsetHz = 37.5;
    const auto result = simulateChannel(input, settings);
    const double wanted = amplitudeAt(result.samples, 24000, 48000, 1037.5);
    EXPECT_NEAR(wanted, 10000 * result.gain, 10000 * result.gain * 0.01);
    EXPECT_LT(amplitudeAt(result.samples, 24000, 48000, 962.5), wanted * 1e-3);
    EXPECT_LT(amplitudeAt(result.samples, 24000, 48000, 1000), wanted * 1e-3);

    settings.frequencyOffsetHz = -210;
    const auto down = simulateChannel(input, settings);
    EXPECT_NEAR(amplitudeAt(down.samples, 24000, 48000, 790), 10000 * down.gain, 10000 * down.gain * 0.01);
}

TEST(ChannelSimulator, ASilentInputHasNoSignalToMeasure)
{
    EXPECT_TRUE(simulateChannel(std::vector<std::int16_t>(1000, 0), {}).samples.empty());
}

}  // namespace
}  // namespace miv::test
