#include "channel/ClockResampler.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace miv {

namespace {

constexpr int kHalfWidth = 16;  // input samples each side of the point

double windowedSinc(double x)
{
    if (std::fabs(x) >= kHalfWidth)
        return 0;
    const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * x / kHalfWidth);
    return x == 0 ? 1 : window * std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

}  // namespace

ClockResampler::ClockResampler(double ppm) : ppm_(ppm), step_(1 / (1 + ppm * 1e-6))
{
}

std::size_t ClockResampler::outputLength(std::size_t inputLength, double ppm)
{
    return static_cast<std::size_t>(std::llround(static_cast<double>(inputLength) * (1 + ppm * 1e-6)));
}

void ClockResampler::push(const std::vector<double>& input, std::vector<double>& out)
{
    buffer_.insert(buffer_.end(), input.begin(), input.end());
    received_ += input.size();
    produce(received_, SIZE_MAX, out);
}

void ClockResampler::finish(std::vector<double>& out)
{
    const std::size_t total = outputLength(received_, ppm_);
    if (produced_ >= total)
        return;
    // Past the end the input is silence.
    const auto last = static_cast<std::size_t>(std::floor(static_cast<double>(total - 1) * step_));
    const std::size_t needed = last + kHalfWidth + 1;
    if (needed > base_ + buffer_.size())
        buffer_.resize(needed - base_, 0.0);
    produce(needed, total, out);
}

void ClockResampler::produce(std::size_t available, std::size_t limit, std::vector<double>& out)
{
    for (; produced_ < limit; ++produced_) {
        const double position = static_cast<double>(produced_) * step_;
        const auto right = static_cast<std::size_t>(std::floor(position)) + kHalfWidth;
        if (right >= available)
            break;
        out.push_back(interpolate(position));
    }
    // Keep only what later outputs still reach.
    const auto oldest = static_cast<std::size_t>(std::floor(static_cast<double>(produced_) * step_));
    const std::size_t keepFrom = oldest > kHalfWidth ? oldest - kHalfWidth : 0;
    if (keepFrom > base_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(keepFrom - base_));
        base_ = keepFrom;
    }
}

double ClockResampler::interpolate(double position) const
{
    const auto centre = static_cast<long long>(std::floor(position));
    double sum = 0;
    for (long long k = centre - kHalfWidth + 1; k <= centre + kHalfWidth; ++k) {
        if (k < static_cast<long long>(base_))
            continue;  // before the first sample: silence
        sum += buffer_[static_cast<std::size_t>(k) - base_] * windowedSinc(position - static_cast<double>(k));
    }
    return sum;
}

}  // namespace miv
