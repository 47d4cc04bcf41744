#include "station/Alarm.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(Alarm, ArmsASymbolAndAHalfAheadByMode)
{
    ModeSwitches switches;
    EXPECT_EQ(armAlarm(switches), 96);
    switches.selectSymbolRate(false);
    EXPECT_EQ(armAlarm(switches), 1536);
    switches.selectSymbolRate(true);
    switches.selectChannel(true);
    EXPECT_EQ(armAlarm(switches), 1536);
}

TEST(Alarm, SwitchedOffItIsNotArmed)
{
    ModeSwitches switches;
    switches.setAlarmOn(false);
    EXPECT_EQ(armAlarm(switches), std::nullopt);
}

}  // namespace
}  // namespace miv
