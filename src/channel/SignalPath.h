#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "channel/AnalyticStream.h"
#include "channel/ChannelSettings.h"
#include "channel/ClockResampler.h"
#include "channel/FadingPath.h"

namespace miv {

// What the channel does to the signal before the noise, as a stream: fading, frequency
// offset and drift (on the analytic signal), then the receiver's clock error. Without
// any of them the samples pass unchanged.
class SignalPath {
public:
    explicit SignalPath(const ChannelSettings& settings);

    // How many samples come out for `inputLength` in.
    static std::size_t outputLength(std::size_t inputLength, const ChannelSettings& settings);

    // Appends to `out` what is ready of the output for the input so far.
    void push(std::span<const std::int16_t> input, std::vector<double>& out);
    // Appends the rest once the input has ended.
    void finish(std::vector<double>& out);

private:
    void shiftAndFade(std::vector<double>& out);
    void emit(std::vector<double>& out);

    double offsetHz_;
    double driftHzPerSecond_;
    std::unique_ptr<AnalyticStream> analytic_;  // only when the signal is shifted or faded
    std::unique_ptr<FadingPath> firstPath_;
    std::unique_ptr<FadingPath> secondPath_;
    std::unique_ptr<ClockResampler> clock_;
    std::vector<AnalyticStream::Complex> history_;  // ring of the last analytic samples, for the second path
    std::size_t pathDelay_ = 0;
    std::vector<AnalyticStream::Complex> analyticBlock_;
    std::vector<double> block_;
    std::size_t index_ = 0;  // of the next analytic sample
};

}  // namespace miv
