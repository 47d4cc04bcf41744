#include "app/cli/ChannelSimulator.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace miv::cli {

namespace {

using ComplexD = std::complex<double>;

constexpr double kSampleRate = 48000;
constexpr double kNoiseBandwidth = 2500;

// In-place radix-2 transform; inverse without the 1/n scale.
void fft(std::vector<ComplexD>& x, bool inverse)
{
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = (inverse ? 2 : -2) * std::numbers::pi / static_cast<double>(len);
        for (std::size_t k = 0; k < len / 2; ++k) {
            const ComplexD w = std::polar(1.0, angle * static_cast<double>(k));
            for (std::size_t i = k; i < n; i += len) {
                const ComplexD t = x[i + len / 2] * w;
                x[i + len / 2] = x[i] - t;
                x[i] += t;
            }
        }
    }
}

// Shifts a real signal by `offset` Hz: the analytic signal, made segment by segment
// (Hann windows overlapping by half, which sum to one), times a complex exponential.
std::vector<double> shiftFrequency(const std::vector<std::int16_t>& input, double offset)
{
    constexpr std::size_t kSize = 65536;
    constexpr std::size_t kHop = kSize / 2;
    const std::size_t length = input.size();
    std::vector<double> window(kSize);
    for (std::size_t i = 0; i < kSize; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kSize);

    // Segments start half a window before the input so every sample gets full weight.
    const std::size_t segments = length / kHop + 2;
    std::vector<ComplexD> analytic((segments + 1) * kHop, ComplexD{});
    std::vector<ComplexD> segment(kSize);
    for (std::size_t first = 0; first < segments; ++first) {
        const std::size_t start = first * kHop;
        for (std::size_t i = 0; i < kSize; ++i) {
            const std::size_t at = start + i;  // position in the input, shifted by kHop
            const bool inside = at >= kHop && at - kHop < length;
            segment[i] = inside ? window[i] * input[at - kHop] : 0.0;
        }
        fft(segment, false);
        for (std::size_t k = 1; k < kSize / 2; ++k)
            segment[k] *= 2;
        for (std::size_t k = kSize / 2 + 1; k < kSize; ++k)
            segment[k] = 0;
        fft(segment, true);
        for (std::size_t i = 0; i < kSize; ++i)
            analytic[start + i] += segment[i] / static_cast<double>(kSize);
    }

    std::vector<double> out;
    out.reserve(length);
    for (std::size_t n = 0; n < length; ++n) {
        const double turns = std::fmod(offset * static_cast<double>(n) / kSampleRate, 1.0);
        out.push_back((analytic[n + kHop] * std::polar(1.0, 2 * std::numbers::pi * turns)).real());
    }
    return out;
}

}  // namespace

double GaussianNoise::uniform()
{
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double GaussianNoise::next()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    const double u1 = 1.0 - uniform();  // (0, 1], so the logarithm is finite
    const double u2 = uniform();
    const double r = std::sqrt(-2 * std::log(u1));
    spare_ = r * std::sin(2 * std::numbers::pi * u2);
    haveSpare_ = true;
    return r * std::cos(2 * std::numbers::pi * u2);
}

ChannelResult simulateChannel(const std::vector<std::int16_t>& input, const ChannelSettings& settings)
{
    ChannelResult result;
    const auto first = std::find_if(input.begin(), input.end(), [](std::int16_t s) { return s != 0; });
    if (first == input.end())
        return result;
    const auto last = std::find_if(input.rbegin(), input.rend(), [](std::int16_t s) { return s != 0; });
    result.signalStart = static_cast<std::size_t>(first - input.begin());
    result.signalEnd = input.size() - static_cast<std::size_t>(last - input.rbegin());
    double energy = 0;
    for (std::size_t i = result.signalStart; i < result.signalEnd; ++i)
        energy += static_cast<double>(input[i]) * input[i];
    result.signalPower = energy / static_cast<double>(result.signalEnd - result.signalStart);

    const double noiseIn2500 = result.signalPower / std::pow(10.0, settings.snrDb / 10);
    result.noiseSigma = std::sqrt(noiseIn2500 * (kSampleRate / 2) / kNoiseBandwidth);

    std::vector<double> shifted;
    if (settings.frequencyOffsetHz != 0)
        shifted = shiftFrequency(input, settings.frequencyOffsetHz);
    else
        shifted.assign(input.begin(), input.end());

    double peak = 0;
    for (double v : shifted)
        peak = std::max(peak, std::fabs(v));
    constexpr double kFullScale = 32767;
    constexpr double kNoiseHeadroom = 5;  // standard deviations
    result.gain = std::min(1.0, kFullScale / (peak + kNoiseHeadroom * result.noiseSigma));

    const auto delay = static_cast<std::size_t>(std::llround(std::max(0.0, settings.delaySeconds) * kSampleRate));
    GaussianNoise noise(settings.seed);
    result.samples.resize(delay + input.size());
    for (std::size_t n = 0; n < result.samples.size(); ++n) {
        const double clean = n < delay ? 0.0 : shifted[n - delay];
        const double v = std::nearbyint(result.gain * (clean + result.noiseSigma * noise.next()));
        if (v > 32767 || v < -32768)
            ++result.clipped;
        result.samples[n] = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
    return result;
}

}  // namespace miv::cli
