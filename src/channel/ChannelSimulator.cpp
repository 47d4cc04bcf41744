#include "channel/ChannelSimulator.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace miv {

namespace {

constexpr double kSampleRate = 48000;
constexpr double kNoiseBandwidth = 2500;
constexpr std::size_t kBlock = 65536;

ChannelSettings shiftAndDelay(double frequencyOffsetHz, double delaySeconds)
{
    ChannelSettings settings;
    settings.frequencyOffsetHz = frequencyOffsetHz;
    settings.delaySeconds = delaySeconds;
    return settings;
}

std::size_t delaySamples(double delaySeconds)
{
    return static_cast<std::size_t>(std::llround(std::max(0.0, delaySeconds) * kSampleRate));
}

// The delay is silence that the noise fills, in blocks.
void mixSilence(std::size_t count, NoiseMixer& mixer, std::vector<std::int16_t>& out,
                const std::function<void()>& afterBlock)
{
    const std::vector<double> silence(std::min(count, kBlock), 0.0);
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(silence.size(), count - done);
        mixer.mix(std::span(silence).first(n), out);
        done += n;
        afterBlock();
    }
}

}  // namespace

void SignalSurvey::addInput(std::span<const std::int16_t> input)
{
    for (const std::int16_t sample : input) {
        if (sample != 0) {
            if (!hasSignal())
                signalStart_ = inputLength_;
            signalEnd_ = inputLength_ + 1;
        }
        // Zeros after the start add exactly nothing, so this is the sum over the signal.
        if (hasSignal())
            energy_ += static_cast<double>(sample) * sample;
        ++inputLength_;
    }
}

void SignalSurvey::addPathOutput(std::span<const double> output)
{
    for (const double v : output)
        peak_ = std::max(peak_, std::fabs(v));
    pathLength_ += output.size();
}

ChannelResult SignalSurvey::levels(double snrDb) const
{
    ChannelResult result;
    if (!hasSignal())
        return result;
    result.signalStart = signalStart_;
    result.signalEnd = signalEnd_;
    result.signalPower = energy_ / static_cast<double>(signalEnd_ - signalStart_);
    const double noiseIn2500 = result.signalPower / std::pow(10.0, snrDb / 10);
    result.noiseSigma = std::sqrt(noiseIn2500 * (kSampleRate / 2) / kNoiseBandwidth);

    constexpr double kFullScale = 32767;
    constexpr double kNoiseHeadroom = 5;  // standard deviations
    result.gain = std::min(1.0, kFullScale / (peak_ + kNoiseHeadroom * result.noiseSigma));
    return result;
}

NoiseMixer::NoiseMixer(const ChannelResult& levels, std::uint64_t seed)
    : noise_(seed),
      sigma_(levels.noiseSigma),
      gain_(levels.gain)
{
}

void NoiseMixer::mix(std::span<const double> clean, std::vector<std::int16_t>& out)
{
    for (const double c : clean) {
        const double v = std::nearbyint(gain_ * (c + sigma_ * noise_.next()));
        if (v > 32767 || v < -32768)
            ++clipped_;
        out.push_back(static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0)));
    }
}

ChannelSimulator::ChannelSimulator(const std::vector<std::int16_t>& input, const ChannelSettings& settings)
    : delay_(delaySamples(settings.delaySeconds))
{
    survey_.addInput(input);
    if (!survey_.hasSignal())
        return;
    SignalPath path(settings);
    path_.reserve(SignalPath::outputLength(input.size(), settings));
    path.push(input, path_);
    path.finish(path_);
    survey_.addPathOutput(path_);
}

ChannelSimulator::ChannelSimulator(const std::vector<std::int16_t>& input, double frequencyOffsetHz,
                                   double delaySeconds)
    : ChannelSimulator(input, shiftAndDelay(frequencyOffsetHz, delaySeconds))
{
}

ChannelResult ChannelSimulator::addNoise(double snrDb, std::uint64_t seed) const
{
    ChannelResult result = survey_.levels(snrDb);
    if (!hasSignal())
        return result;
    NoiseMixer mixer(result, seed);
    result.samples.reserve(delay_ + path_.size());
    mixSilence(delay_, mixer, result.samples, [] {});
    mixer.mix(path_, result.samples);
    result.clipped = mixer.clipped();
    result.length = result.samples.size();
    return result;
}

ChannelResult simulateChannel(const std::vector<std::int16_t>& input, const ChannelSettings& settings)
{
    return ChannelSimulator(input, settings).addNoise(settings.snrDb, settings.seed);
}

ChannelResult streamChannel(const ChannelSettings& settings, const ChannelStreamIo& io)
{
    std::vector<std::int16_t> input(kBlock);
    std::vector<double> clean;
    SignalSurvey survey;
    {
        SignalPath path(settings);
        if (!io.rewind())
            return {};
        for (std::size_t n = 0; (n = io.read(input)) > 0;) {
            const std::span block = std::span(input).first(n);
            survey.addInput(block);
            clean.clear();
            path.push(block, clean);
            survey.addPathOutput(clean);
        }
        clean.clear();
        path.finish(clean);
        survey.addPathOutput(clean);
    }
    ChannelResult result = survey.levels(settings.snrDb);
    if (!survey.hasSignal() || !io.rewind())
        return result;

    NoiseMixer mixer(result, settings.seed);
    std::vector<std::int16_t> out;
    bool writing = true;
    const auto flush = [&](std::vector<std::int16_t>& samples) {
        writing = writing && io.write(samples);
        result.length += samples.size();
        samples.clear();
    };
    mixSilence(delaySamples(settings.delaySeconds), mixer, out, [&] { flush(out); });
    SignalPath path(settings);
    for (std::size_t n = 0; writing && (n = io.read(input)) > 0;) {
        clean.clear();
        path.push(std::span(input).first(n), clean);
        mixer.mix(clean, out);
        flush(out);
    }
    clean.clear();
    path.finish(clean);
    mixer.mix(clean, out);
    flush(out);
    result.clipped = mixer.clipped();
    return result;
}

std::optional<Fading> parseFading(const std::string& text)
{
    if (text == "moderate")
        return Fading::moderate();
    if (text == "disturbed")
        return Fading::disturbed();
    Fading fading;
    std::istringstream in(text);
    char comma = 0;
    if (!(in >> fading.spreadHz >> comma >> fading.pathDelayMs) || comma != ',' || !(in >> std::ws).eof())
        return std::nullopt;
    const bool valid = std::isfinite(fading.spreadHz) && std::isfinite(fading.pathDelayMs) && fading.spreadHz >= 0.01 &&
                       fading.spreadHz <= 50 && fading.pathDelayMs >= 0 && fading.pathDelayMs <= 20;
    return valid ? std::optional<Fading>(fading) : std::nullopt;
}

}  // namespace miv
