#include "channel/SignalPath.h"

#include <cmath>
#include <numbers>

namespace miv {

namespace {

constexpr double kSampleRate = 48000;

// Independent, reproducible streams for the two fading paths, apart from the noise.
std::uint64_t mixSeed(std::uint64_t seed, std::uint64_t stream)
{
    std::uint64_t z = seed + stream * 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

SignalPath::SignalPath(const ChannelSettings& settings)
    : offsetHz_(settings.frequencyOffsetHz),
      driftHzPerSecond_(settings.driftHzPerMinute / 60)
{
    if (settings.fading.enabled()) {
        firstPath_ = std::make_unique<FadingPath>(settings.fading.spreadHz, mixSeed(settings.seed, 1));
        secondPath_ = std::make_unique<FadingPath>(settings.fading.spreadHz, mixSeed(settings.seed, 2));
        pathDelay_ = static_cast<std::size_t>(std::llround(settings.fading.pathDelayMs * kSampleRate / 1000));
        history_.assign(pathDelay_ + 1, {});
    }
    if (offsetHz_ != 0 || driftHzPerSecond_ != 0 || firstPath_)
        analytic_ = std::make_unique<AnalyticStream>();
    if (settings.clockPpm != 0)
        clock_ = std::make_unique<ClockResampler>(settings.clockPpm);
}

std::size_t SignalPath::outputLength(std::size_t inputLength, const ChannelSettings& settings)
{
    return settings.clockPpm != 0 ? ClockResampler::outputLength(inputLength, settings.clockPpm) : inputLength;
}

void SignalPath::push(std::span<const std::int16_t> input, std::vector<double>& out)
{
    block_.clear();
    if (analytic_) {
        analyticBlock_.clear();
        analytic_->push(input, analyticBlock_);
        shiftAndFade(block_);
    } else {
        block_.assign(input.begin(), input.end());
    }
    emit(out);
}

void SignalPath::finish(std::vector<double>& out)
{
    block_.clear();
    if (analytic_) {
        analyticBlock_.clear();
        analytic_->finish(analyticBlock_);
        shiftAndFade(block_);
    }
    emit(out);
    if (clock_)
        clock_->finish(out);
}

void SignalPath::emit(std::vector<double>& out)
{
    if (clock_)
        clock_->push(block_, out);
    else
        out.insert(out.end(), block_.begin(), block_.end());
}

void SignalPath::shiftAndFade(std::vector<double>& out)
{
    for (AnalyticStream::Complex a : analyticBlock_) {
        const std::size_t n = index_++;
        if (firstPath_) {
            // The second path hears the signal `pathDelay_` samples late.
            history_[n % history_.size()] = a;
            const AnalyticStream::Complex late =
                n >= pathDelay_ ? history_[(n - pathDelay_) % history_.size()] : AnalyticStream::Complex{};
            a = firstPath_->next() * a + secondPath_->next() * late;
        }
        const double seconds = static_cast<double>(n) / kSampleRate;
        double turns = offsetHz_ * static_cast<double>(n) / kSampleRate;
        if (driftHzPerSecond_ != 0)
            turns += driftHzPerSecond_ * seconds * seconds / 2;
        turns = std::fmod(turns, 1.0);
        out.push_back((a * std::polar(1.0, 2 * std::numbers::pi * turns)).real());
    }
}

}  // namespace miv
