#include "channel/FadingPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace miv {

namespace {

constexpr double kSampleRate = 48000;

}  // namespace

FadingPath::FadingPath(double spreadHz, std::uint64_t seed) : noise_(seed)
{
    // The slow rate sits far enough above the spread that interpolating between
    // neighbouring gains, which are then almost equal, loses under 1% of the power.
    decimation_ = std::clamp(static_cast<int>(kSampleRate / (32 * spreadHz)), 1, 480);
    const double rate = kSampleRate / decimation_;
    // A spread of 2σ in frequency is a Gaussian impulse response of σt = 1 / (2π√2 σ).
    const double sigmaHz = spreadHz / 2;
    const double sigmaSeconds = 1 / (2 * std::numbers::pi * std::numbers::sqrt2 * sigmaHz);
    const int half = static_cast<int>(std::ceil(4 * sigmaSeconds * rate));
    double energy = 0;
    for (int k = -half; k <= half; ++k) {
        const double t = k / rate;
        taps_.push_back(std::exp(-t * t / (2 * sigmaSeconds * sigmaSeconds)));
        energy += taps_.back() * taps_.back();
    }
    for (double& tap : taps_)
        tap *= std::sqrt(0.5 / energy);

    // Fill the filter first so the fading is stationary from the first sample.
    history_.resize(taps_.size());
    for (std::size_t i = 0; i < history_.size(); ++i)
        history_[i] = whiteSample();
    newest_ = history_.size() - 1;
    from_ = nextSlowGain();
    to_ = nextSlowGain();
}

FadingPath::Complex FadingPath::whiteSample()
{
    // E|w|² = 1; the real part is drawn first on every compiler.
    const double re = noise_.next() * std::numbers::sqrt2 / 2;
    return {re, noise_.next() * std::numbers::sqrt2 / 2};
}

FadingPath::Complex FadingPath::nextSlowGain()
{
    newest_ = (newest_ + 1) % history_.size();
    history_[newest_] = whiteSample();
    Complex sum;
    std::size_t at = newest_;
    for (const double tap : taps_) {
        sum += tap * history_[at];
        at = at == 0 ? history_.size() - 1 : at - 1;
    }
    return sum;
}

FadingPath::Complex FadingPath::next()
{
    if (phase_ == decimation_) {
        from_ = to_;
        to_ = nextSlowGain();
        phase_ = 0;
    }
    const double fraction = static_cast<double>(phase_++) / decimation_;
    return from_ + (to_ - from_) * fraction;
}

}  // namespace miv
