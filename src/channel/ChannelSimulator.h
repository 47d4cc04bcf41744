#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace miv {

// Standard normal deviates from a seeded 64-bit Mersenne Twister by the Box–Muller
// method, so the same seed gives the same noise with every standard library.
class GaussianNoise {
public:
    explicit GaussianNoise(std::uint64_t seed) : engine_(seed) {}
    double next();

private:
    double uniform();  // [0, 1) with 53 random bits

    std::mt19937_64 engine_;
    double spare_ = 0;
    bool haveSpare_ = false;
};

struct ChannelSettings {
    double snrDb = 0;  // signal power over noise power in 2500 Hz
    double frequencyOffsetHz = 0;
    double delaySeconds = 0;  // silence (with noise) before the input
    std::uint64_t seed = 1;
};

struct ChannelResult {
    std::vector<std::int16_t> samples;
    double signalPower = 0;  // mean square over the part that carries signal, 16-bit units
    std::size_t signalStart = 0;
    std::size_t signalEnd = 0;  // one past the last non-zero input sample
    double noiseSigma = 0;      // per sample, over the whole 24 kHz band, before the gain
    double gain = 1;            // applied to signal and noise alike so the sum fits 16 bits
    std::size_t clipped = 0;
};

// A radio channel at 48 kHz: shifts the input by an exact frequency offset (through
// its analytic signal), delays it, and adds white Gaussian noise at the SNR the
// amateur convention uses: noise measured in 2500 Hz, spread evenly over 0..24 kHz.
// Signal and noise are then scaled together so that the signal's peak plus five
// standard deviations of noise stays within 16 bits (so practically nothing clips).
//
// The signal path (power, shift) is worked out once, so the same transmission can be
// heard at many SNRs and noise seeds; the shift is the costly part.
class ChannelSimulator {
public:
    ChannelSimulator(const std::vector<std::int16_t>& input, double frequencyOffsetHz, double delaySeconds);

    // False when the input is silent: there is no signal to set the SNR against.
    bool hasSignal() const { return signalEnd_ > signalStart_; }
    // No samples when there is no signal.
    ChannelResult addNoise(double snrDb, std::uint64_t seed) const;

private:
    std::vector<double> shifted_;
    double signalPower_ = 0;
    double peak_ = 0;
    std::size_t signalStart_ = 0;
    std::size_t signalEnd_ = 0;
    std::size_t delay_ = 0;
};

// One pass through the channel.
ChannelResult simulateChannel(const std::vector<std::int16_t>& input, const ChannelSettings& settings);

}  // namespace miv
