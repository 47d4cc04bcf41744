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

// The frequency of a tone near `nominal` from the phase it gains between the two halves of
// `count` samples from `from` (unambiguous within 48000 / count Hz).
double frequencyNear(const std::vector<std::int16_t>& v, std::size_t from, std::size_t count, double nominal)
{
    std::complex<double> halves[2];
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / 48000;
        halves[2 * i / count] +=
            static_cast<double>(v[from + i]) * std::polar(1.0, -2 * std::numbers::pi * nominal * t);
    }
    const double seconds = static_cast<double>(count / 2) / 48000;
    return nominal + std::arg(halves[1] * std::conj(halves[0])) / (2 * std::numbers::pi * seconds);
}

std::uint64_t fingerprint(const std::vector<std::int16_t>& samples)
{
    std::uint64_t h = 14695981039346656037ULL;  // FNV-1a over the little-endian bytes
    for (const std::int16_t x : samples) {
        for (int b = 0; b < 2; ++b) {
            h ^= (static_cast<std::uint16_t>(x) >> (8 * b)) & 0xFF;
            h *= 1099511628211ULL;
        }
    }
    return h;
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

TEST(ChannelSimulator, StreamsInBlocksTheSameSamplesAsEver)
{
    // Two tones and a chirp over several analysis segments, silence around them. The
    // fingerprints are those of the channel when it still held the whole recording.
    std::vector<std::int16_t> input(150000, 0);
    for (std::size_t i = 1000; i < 149000; ++i) {
        const double t = static_cast<double>(i) / 48000;
        input[i] = static_cast<std::int16_t>(std::lround(6000 * std::sin(2 * std::numbers::pi * 900 * t) +
                                                         4000 * std::sin(2 * std::numbers::pi * (1500 + 300 * t) * t)));
    }
    ChannelSettings settings;
    settings.snrDb = 3;
    settings.frequencyOffsetHz = -123.4;
    settings.delaySeconds = 0.25;
    settings.seed = 77;
    EXPECT_EQ(fingerprint(simulateChannel(input, settings).samples), 0xe309a2de8a770d70ULL);
    settings.frequencyOffsetHz = 0;
    EXPECT_EQ(fingerprint(simulateChannel(input, settings).samples), 0x3d72a23f8ffae0e7ULL);

    // Streamed in blocks of any size, with every impairment, the output is the same.
    settings.frequencyOffsetHz = 40;
    settings.driftHzPerMinute = -12;
    settings.clockPpm = 300;
    settings.fading = Fading::disturbed();
    const ChannelResult whole = simulateChannel(input, settings);
    std::size_t at = 0;
    int passes = 0;
    std::vector<std::int16_t> streamed;
    const ChannelStreamIo io{[&] { return at = 0, ++passes, true; },
                             [&](std::span<std::int16_t> block) {
                                 const std::size_t n = std::min({block.size(), std::size_t{7777}, input.size() - at});
                                 std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), n, block.begin());
                                 at += n;
                                 return n;
                             },
                             [&](std::span<const std::int16_t> s) {
                                 streamed.insert(streamed.end(), s.begin(), s.end());
                                 return true;
                             }};
    const ChannelResult summary = streamChannel(settings, io);
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(summary.length, whole.samples.size());
    EXPECT_EQ(summary.gain, whole.gain);
    EXPECT_TRUE(streamed == whole.samples);
}

TEST(ChannelSimulator, FadingKeepsTheMeanPowerAndSpreadsACarrierAsAsked)
{
    // 40 s of carrier through two paths of 6 Hz spread: the Doppler spectrum is a
    // Gaussian of standard deviation 3 Hz, and the power is kept on average.
    const auto input = toneWithSilence(1000, 0, 40 * 48000);
    ChannelSettings settings;
    settings.snrDb = 200;
    settings.fading = {6, 1};
    const ChannelResult result = simulateChannel(input, settings);
    ASSERT_EQ(result.samples.size(), input.size());

    double power = 0;
    for (const std::int16_t s : result.samples)
        power += static_cast<double>(s) * s;
    power /= static_cast<double>(result.samples.size()) * result.gain * result.gain;
    EXPECT_NEAR(power, result.signalPower, 0.1 * result.signalPower);

    // The carrier's complex envelope at 100 Hz (means over 10 ms, which null the image
    // at 2000 Hz), then Welch's estimate over 2 s Hann windows in 0.5 Hz bins.
    std::vector<std::complex<double>> envelope(result.samples.size() / 480);
    for (std::size_t i = 0; i < envelope.size() * 480; ++i)
        envelope[i / 480] += static_cast<double>(result.samples[i]) *
                             std::polar(1.0, -2 * std::numbers::pi * 1000 * static_cast<double>(i) / 48000);
    constexpr std::size_t kWindow = 200;
    double total = 0;
    double moment = 0;
    for (int bin = -40; bin <= 40; ++bin) {
        const double hz = 0.5 * bin;
        for (std::size_t from = 0; from + kWindow <= envelope.size(); from += kWindow / 2) {
            std::complex<double> sum;
            for (std::size_t i = 0; i < kWindow; ++i) {
                const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kWindow);
                sum +=
                    w * envelope[from + i] * std::polar(1.0, -2 * std::numbers::pi * hz * static_cast<double>(i) / 100);
            }
            total += std::norm(sum);
            moment += std::norm(sum) * hz * hz;
        }
    }
    EXPECT_NEAR(std::sqrt(moment / total), 3.0, 0.5);
}

TEST(ChannelSimulator, ClockErrorAndDriftMoveTheToneAsASoundCardAndARigWould)
{
    const auto input = toneWithSilence(1000, 0, 4 * 48000);
    ChannelSettings settings;
    settings.snrDb = 120;
    settings.clockPpm = 500;  // more samples per second: the tone sounds lower
    ChannelResult result = simulateChannel(input, settings);
    EXPECT_EQ(result.samples.size(), 192096u);
    EXPECT_NEAR(frequencyNear(result.samples, 48000, 48000, 1000), 1000 / 1.0005, 0.01);

    settings.clockPpm = 0;
    settings.frequencyOffsetHz = 20;
    settings.driftHzPerMinute = 30;  // 0.5 Hz a second
    result = simulateChannel(input, settings);
    EXPECT_NEAR(frequencyNear(result.samples, 96000, 48000, 1021), 1021.25, 0.01);
}

}  // namespace
}  // namespace miv::test
