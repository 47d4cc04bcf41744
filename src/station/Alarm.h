#pragma once

#include <array>
#include <optional>

#include "modem/ModemMode.h"
#include "platform/AlarmPlayer.h"

namespace miv {

// The alarm sounded once after a frame acquisition.
inline constexpr std::array<AlarmTone, 3> kAlarmTones{{{440, 100}, {880, 300}, {440, 100}}};

// Arming on a frame acquisition: the delay in ms after which the window sounds the
// alarm once (a symbol and a half of the mode), or nothing while the alarm is off.
std::optional<int> armAlarm(const ModeSwitches& switches);

}  // namespace miv
