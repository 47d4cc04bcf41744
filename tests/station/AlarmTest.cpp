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

TEST(Alarm, ThreeTones)
{
    ASSERT_EQ(kAlarmTones.size(), 3u);
    EXPECT_EQ(kAlarmTones[0].frequencyHz, 440);
    EXPECT_EQ(kAlarmTones[0].durationMs, 100);
    EXPECT_EQ(kAlarmTones[1].frequencyHz, 880);
    EXPECT_EQ(kAlarmTones[1].durationMs, 300);
    EXPECT_EQ(kAlarmTones[2].frequencyHz, 440);
    EXPECT_EQ(kAlarmTones[2].durationMs, 100);
}

}  // namespace
}  // namespace miv
