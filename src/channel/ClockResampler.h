#pragma once

#include <cstddef>
#include <vector>

namespace miv {

// A sound card whose sample clock is off by `ppm`: the stream is resampled so that a
// clock fast by 100 ppm records 1 000 100 samples where the signal lasted a million.
// Band-limited interpolation (a windowed sinc) keeps the audio band clean.
class ClockResampler {
public:
    explicit ClockResampler(double ppm);

    static std::size_t outputLength(std::size_t inputLength, double ppm);

    void push(const std::vector<double>& input, std::vector<double>& out);
    void finish(std::vector<double>& out);

private:
    // Outputs, up to `limit` in all, whose neighbourhood lies within `available` input samples.
    void produce(std::size_t available, std::size_t limit, std::vector<double>& out);
    double interpolate(double position) const;

    double ppm_;
    double step_;                 // input samples per output sample
    std::vector<double> buffer_;  // input from `base_` on
    std::size_t base_ = 0;
    std::size_t received_ = 0;
    std::size_t produced_ = 0;
};

}  // namespace miv
