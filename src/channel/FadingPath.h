#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "channel/GaussianNoise.h"

namespace miv {

// The tap gain of one Rayleigh-fading path at 48 kHz: complex white Gaussian noise,
// low-pass filtered to a Gaussian Doppler spectrum at a slow rate and interpolated
// linearly between. E|g|² = 1/2, so two such paths keep the mean power unchanged.
class FadingPath {
public:
    using Complex = std::complex<double>;

    FadingPath(double spreadHz, std::uint64_t seed);
    Complex next();

private:
    Complex whiteSample();
    Complex nextSlowGain();

    GaussianNoise noise_;
    std::vector<double> taps_;
    std::vector<Complex> history_;  // white noise, a ring as long as the filter
    std::size_t newest_ = 0;
    int decimation_ = 1;
    int phase_ = 0;
    Complex from_;
    Complex to_;
};

}  // namespace miv
