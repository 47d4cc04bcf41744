#include "station/Alarm.h"

namespace miv {

std::optional<int> armAlarm(const ModeSwitches& switches)
{
    if (!switches.alarmOn())
        return std::nullopt;
    const ModemMode& mode = switches.mode();
    return !mode.eme && mode.baud16 ? 96 : 1536;
}

}  // namespace miv
