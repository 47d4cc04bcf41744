#include "station/Alarm.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(Alarm, ArmsASymbolAndAHalfAheadUnlessSwitchedOff)
{
    ModeSwitches switches;
    EXPECT_EQ(armAlarm(switches), 96);
    switches.selectChannel(true);
    EXPECT_EQ(armAlarm(switches), 1536);
    switches.setAlarmOn(false);
    EXPECT_EQ(armAlarm(switches), std::nullopt);
}

}  // namespace
}  // namespace miv
