#include "station/Alarm.h"

namespace miv {

std::optional<int> armAlarm(const ModeSwitches& switches)
{
    if (!switches.alarmOn())
        return std::nullopt;
    constexpr int kSamplesPerMs = 48;
    return switches.mode().samplesPerSymbol() * 3 / 2 / kSamplesPerMs;
}

}  // namespace miv
