#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AlarmPlayer.h"
#include "platform/AudioDevices.h"

namespace miv {

// An output device as the sound server knows it.
struct OutputDevice {
    std::string name;         // the server's identifier
    std::string description;  // what device lists show the operator
};

// Whether the alarm may play on the default output: only when that output is known and
// is not the transmitter's. The transmitter's device matches by name or description,
// also when a device list shortened it or told it from an alike device by a suffix;
// "" means the transmitter plays on the default.
// Any doubt answers no, since a tone on the transmitter's output goes on the air.
bool alarmMayUseDefaultOutput(const std::optional<OutputDevice>& defaultOutput, std::string_view transmitDevice);

inline constexpr int kAlarmSampleRate = 48000;

// The tones one after the other as 16-bit mono samples at kAlarmSampleRate, each with
// short ramps so the steps do not click.
std::vector<std::int16_t> renderAlarm(std::span<const AlarmTone> tones);

}  // namespace miv
