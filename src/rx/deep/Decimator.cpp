#include "rx/deep/Decimator.h"

#include <cmath>
#include <numbers>

namespace miv {

namespace {

// Windowed sinc: cut-off (−6 dB) at 4 kHz, Kaiser window with β = 6.5.
constexpr double kCutoff = 4000.0 / 48000.0;
constexpr double kBeta = 6.5;

}  // namespace

Decimator::Decimator()
{
    double sum = 0;
    std::array<double, kTaps> taps{};
    for (int i = 0; i < kTaps; ++i) {
        const double m = i - (kTaps - 1) / 2.0;
        const double x = 2 * kCutoff * m;
        const double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        const double r = 2.0 * i / (kTaps - 1) - 1;
        const double window = std::cyl_bessel_i(0.0, kBeta * std::sqrt(1 - r * r)) / std::cyl_bessel_i(0.0, kBeta);
        taps[static_cast<std::size_t>(i)] = sinc * window;
        sum += taps[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < kTaps; ++i)
        taps_[static_cast<std::size_t>(i)] = static_cast<float>(taps[static_cast<std::size_t>(i)] / sum);
}

bool Decimator::push(float sample, float& output)
{
    delay_[static_cast<std::size_t>(position_)] = sample;
    delay_[static_cast<std::size_t>(position_ + kTaps)] = sample;
    position_ = position_ == kTaps - 1 ? 0 : position_ + 1;
    if (++phase_ < kFactor)
        return false;
    phase_ = 0;
    // delay_[position_ .. position_ + kTaps) holds the latest kTaps samples, oldest first.
    const float* window = delay_.data() + position_;
    float sum = 0;
    for (int i = 0; i < kTaps; ++i)
        sum += window[i] * taps_[static_cast<std::size_t>(i)];
    output = sum;
    return true;
}

}  // namespace miv
