#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "channel/ChannelSettings.h"
#include "channel/GaussianNoise.h"
#include "channel/SignalPath.h"

namespace miv {

struct ChannelResult {
    std::vector<std::int16_t> samples;
    double signalPower = 0;  // mean square over the part that carries signal, 16-bit units
    std::size_t signalStart = 0;
    std::size_t signalEnd = 0;  // one past the last non-zero input sample
    double noiseSigma = 0;      // per sample, over the whole 24 kHz band, before the gain
    double gain = 1;            // applied to signal and noise alike so the sum fits 16 bits
    std::size_t clipped = 0;
    std::size_t length = 0;  // samples out, also when they were streamed rather than kept
};

// The input's power and extent, and the peak of what the signal path makes of it: all
// the noise and the gain depend on.
class SignalSurvey {
public:
    void addInput(std::span<const std::int16_t> input);
    void addPathOutput(std::span<const double> output);

    bool hasSignal() const { return signalEnd_ > signalStart_; }
    // The noise and gain for `snrDb`, without samples; empty when there is no signal.
    ChannelResult levels(double snrDb) const;

private:
    std::size_t inputLength_ = 0;
    std::size_t signalStart_ = 0;
    std::size_t signalEnd_ = 0;
    double energy_ = 0;
    double peak_ = 0;
    std::size_t pathLength_ = 0;
};

// Adds the noise and applies the gain that `levels` set, sample by sample.
class NoiseMixer {
public:
    NoiseMixer(const ChannelResult& levels, std::uint64_t seed);
    void mix(std::span<const double> clean, std::vector<std::int16_t>& out);
    std::size_t clipped() const { return clipped_; }

private:
    GaussianNoise noise_;
    double sigma_;
    double gain_;
    std::size_t clipped_ = 0;
};

// A radio channel at 48 kHz: fades the input (Watterson's two paths), shifts it by an
// exact frequency offset that may drift, resamples it for a receiving clock error,
// delays it, and adds white Gaussian noise at the SNR the amateur convention uses: noise
// measured in 2500 Hz, spread evenly over 0..24 kHz, against the input's mean power (so
// an SNR means the same with and without fading). Signal and noise are then scaled
// together so that the signal's peak plus five standard deviations of noise stays within
// 16 bits (so practically nothing clips).
//
// The signal path is worked out once, so the same transmission can be heard at many SNRs
// and noise seeds; the shift is the costly part. For recordings too long to hold, see
// streamChannel.
class ChannelSimulator {
public:
    // `settings.seed` sets the fading; the SNR and the noise come with addNoise().
    ChannelSimulator(const std::vector<std::int16_t>& input, const ChannelSettings& settings);
    ChannelSimulator(const std::vector<std::int16_t>& input, double frequencyOffsetHz, double delaySeconds);

    // False when the input is silent: there is no signal to set the SNR against.
    bool hasSignal() const { return survey_.hasSignal(); }
    // No samples when there is no signal.
    ChannelResult addNoise(double snrDb, std::uint64_t seed) const;

private:
    SignalSurvey survey_;
    std::vector<double> path_;
    std::size_t delay_ = 0;
};

// One pass through the channel.
ChannelResult simulateChannel(const std::vector<std::int16_t>& input, const ChannelSettings& settings);

// The same channel over a recording of any length in bounded memory: `readInput` is
// called for one pass to survey the signal and again for a second to make the output,
// returning up to `block.size()` samples, 0 at the end (`rewind` false when it cannot
// start a pass); `write` gets the output in blocks, and false from it stops the run.
// Bit for bit what simulateChannel gives.
// Returns the levels and counts without samples; no output when there is no signal.
struct ChannelStreamIo {
    std::function<bool()> rewind;
    std::function<std::size_t(std::span<std::int16_t> block)> read;
    std::function<bool(std::span<const std::int16_t> samples)> write;
};
ChannelResult streamChannel(const ChannelSettings& settings, const ChannelStreamIo& io);

}  // namespace miv
