#include "platform/audio/AlarmRoute.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace miv {

namespace {

constexpr double kAmplitude = 0.4 * 32767;  // 8 dB below full scale
constexpr int kSamplesPerMs = kAlarmSampleRate / 1000;
constexpr int kRampSamples = 5 * kSamplesPerMs;

// A listed name may be shortened, or carry the suffix that tells alike devices apart;
// a device of the same description may then be the one meant.
bool sameDevice(std::string_view listed, std::string_view known)
{
    return !known.empty() && (known.starts_with(listed) || known.starts_with(describedAs(listed)));
}

}  // namespace

bool alarmMayUseDefaultOutput(const std::optional<OutputDevice>& defaultOutput, std::string_view transmitDevice)
{
    if (!defaultOutput || defaultOutput->name.empty() || transmitDevice.empty())
        return false;
    return !sameDevice(transmitDevice, defaultOutput->name) && !sameDevice(transmitDevice, defaultOutput->description);
}

std::vector<std::int16_t> renderAlarm(std::span<const AlarmTone> tones)
{
    std::vector<std::int16_t> samples;
    for (const AlarmTone& tone : tones) {
        const int count = kSamplesPerMs * tone.durationMs;
        const double step = 2.0 * std::numbers::pi * tone.frequencyHz / kAlarmSampleRate;
        for (int n = 0; n < count; ++n) {
            const int edge = std::min(n, count - 1 - n);
            const double ramp =
                edge < kRampSamples ? 0.5 - 0.5 * std::cos(std::numbers::pi * edge / kRampSamples) : 1.0;
            samples.push_back(static_cast<std::int16_t>(std::lround(kAmplitude * ramp * std::sin(step * n))));
        }
    }
    return samples;
}

}  // namespace miv
