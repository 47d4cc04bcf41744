#include "channel/AnalyticStream.h"

#include <algorithm>
#include <cmath>

namespace miv {

namespace {

constexpr std::size_t kSize = 65536;
constexpr std::size_t kHop = kSize / 2;

}  // namespace

AnalyticStream::AnalyticStream() : fft_(kSize), window_(kSize), sum_(kSize), segment_(kSize)
{
    for (std::size_t i = 0; i < kSize; ++i)
        window_[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kSize);
    // Segments start half a window before the input so every sample gets full weight.
    pending_.assign(kHop, 0.0);
    pending_.reserve(kSize);
}

void AnalyticStream::push(std::span<const std::int16_t> input, std::vector<Complex>& out)
{
    for (const std::int16_t sample : input) {
        pending_.push_back(sample);
        ++received_;
        if (pending_.size() == kSize)
            transformSegment(out);
    }
}

void AnalyticStream::finish(std::vector<Complex>& out)
{
    while (emitted_ < received_) {
        pending_.resize(kSize, 0.0);
        transformSegment(out);
    }
}

void AnalyticStream::transformSegment(std::vector<Complex>& out)
{
    for (std::size_t i = 0; i < kSize; ++i)
        segment_[i] = window_[i] * pending_[i];
    fft_.transform(segment_, false);
    for (std::size_t k = 1; k < kSize / 2; ++k)
        segment_[k] *= 2;
    for (std::size_t k = kSize / 2 + 1; k < kSize; ++k)
        segment_[k] = 0;
    fft_.transform(segment_, true);
    for (std::size_t i = 0; i < kSize; ++i)
        sum_[i] += segment_[i] / static_cast<double>(kSize);

    // The first half now holds both segments that cover it; the very first one covers
    // only the lead-in before the input.
    if (!firstSegment_) {
        const std::size_t count = std::min(kHop, received_ - emitted_);
        out.insert(out.end(), sum_.begin(), sum_.begin() + static_cast<std::ptrdiff_t>(count));
        emitted_ += count;
    }
    firstSegment_ = false;
    std::copy(sum_.begin() + kHop, sum_.end(), sum_.begin());
    std::fill(sum_.begin() + kHop, sum_.end(), Complex{});
    pending_.erase(pending_.begin(), pending_.begin() + kHop);
}

}  // namespace miv
