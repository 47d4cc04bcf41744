#include "channel/ChannelSimulator.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace miv {

namespace {

using ComplexD = std::complex<double>;

constexpr double kSampleRate = 48000;
constexpr double kNoiseBandwidth = 2500;

// In-place radix-2 transforms of one size; inverse without the 1/n scale. The twiddle
// factors of every stage are computed once, as the stage would compute them.
class Fft {
public:
    explicit Fft(std::size_t n) : n_(n)
    {
        for (std::size_t len = 2; len <= n; len <<= 1) {
            for (const bool inverse : {false, true}) {
                const double angle = (inverse ? 2 : -2) * std::numbers::pi / static_cast<double>(len);
                auto& table = inverse ? inverse_ : forward_;
                for (std::size_t k = 0; k < len / 2; ++k)
                    table.push_back(std::polar(1.0, angle * static_cast<double>(k)));
            }
        }
    }

    void transform(std::vector<ComplexD>& x, bool inverse) const
    {
        for (std::size_t i = 1, j = 0; i < n_; ++i) {
            std::size_t bit = n_ >> 1;
            for (; (j & bit) != 0; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j)
                std::swap(x[i], x[j]);
        }
        const ComplexD* twiddle = (inverse ? inverse_ : forward_).data();
        for (std::size_t len = 2; len <= n_; len <<= 1) {
            const std::size_t half = len / 2;
            for (std::size_t start = 0; start < n_; start += len) {
                for (std::size_t k = 0; k < half; ++k) {
                    ComplexD& a = x[start + k];
                    ComplexD& b = x[start + k + half];
                    // The product of finite values, without the library's NaN recovery.
                    const ComplexD t{b.real() * twiddle[k].real() - b.imag() * twiddle[k].imag(),
                                     b.real() * twiddle[k].imag() + b.imag() * twiddle[k].real()};
                    b = a - t;
                    a += t;
                }
            }
            twiddle += half;
        }
    }

private:
    std::size_t n_;
    std::vector<ComplexD> forward_;
    std::vector<ComplexD> inverse_;
};

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
    const Fft fft(kSize);
    for (std::size_t first = 0; first < segments; ++first) {
        const std::size_t start = first * kHop;
        for (std::size_t i = 0; i < kSize; ++i) {
            const std::size_t at = start + i;  // position in the input, shifted by kHop
            const bool inside = at >= kHop && at - kHop < length;
            segment[i] = inside ? window[i] * input[at - kHop] : 0.0;
        }
        fft.transform(segment, false);
        for (std::size_t k = 1; k < kSize / 2; ++k)
            segment[k] *= 2;
        for (std::size_t k = kSize / 2 + 1; k < kSize; ++k)
            segment[k] = 0;
        fft.transform(segment, true);
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

ChannelSimulator::ChannelSimulator(const std::vector<std::int16_t>& input, double frequencyOffsetHz,
                                   double delaySeconds)
{
    const auto first = std::find_if(input.begin(), input.end(), [](std::int16_t s) { return s != 0; });
    if (first == input.end())
        return;
    const auto last = std::find_if(input.rbegin(), input.rend(), [](std::int16_t s) { return s != 0; });
    signalStart_ = static_cast<std::size_t>(first - input.begin());
    signalEnd_ = input.size() - static_cast<std::size_t>(last - input.rbegin());
    double energy = 0;
    for (std::size_t i = signalStart_; i < signalEnd_; ++i)
        energy += static_cast<double>(input[i]) * input[i];
    signalPower_ = energy / static_cast<double>(signalEnd_ - signalStart_);

    if (frequencyOffsetHz != 0)
        shifted_ = shiftFrequency(input, frequencyOffsetHz);
    else
        shifted_.assign(input.begin(), input.end());
    for (double v : shifted_)
        peak_ = std::max(peak_, std::fabs(v));
    delay_ = static_cast<std::size_t>(std::llround(std::max(0.0, delaySeconds) * kSampleRate));
}

ChannelResult ChannelSimulator::addNoise(double snrDb, std::uint64_t seed) const
{
    ChannelResult result;
    if (!hasSignal())
        return result;
    result.signalStart = signalStart_;
    result.signalEnd = signalEnd_;
    result.signalPower = signalPower_;
    const double noiseIn2500 = signalPower_ / std::pow(10.0, snrDb / 10);
    result.noiseSigma = std::sqrt(noiseIn2500 * (kSampleRate / 2) / kNoiseBandwidth);

    constexpr double kFullScale = 32767;
    constexpr double kNoiseHeadroom = 5;  // standard deviations
    result.gain = std::min(1.0, kFullScale / (peak_ + kNoiseHeadroom * result.noiseSigma));

    GaussianNoise noise(seed);
    result.samples.resize(delay_ + shifted_.size());
    for (std::size_t n = 0; n < result.samples.size(); ++n) {
        const double clean = n < delay_ ? 0.0 : shifted_[n - delay_];
        const double v = std::nearbyint(result.gain * (clean + result.noiseSigma * noise.next()));
        if (v > 32767 || v < -32768)
            ++result.clipped;
        result.samples[n] = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
    return result;
}

ChannelResult simulateChannel(const std::vector<std::int16_t>& input, const ChannelSettings& settings)
{
    return ChannelSimulator(input, settings.frequencyOffsetHz, settings.delaySeconds)
        .addNoise(settings.snrDb, settings.seed);
}

}  // namespace miv
