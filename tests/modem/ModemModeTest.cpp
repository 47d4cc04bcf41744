#include "modem/ModemMode.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

struct Guard : ModeGuard, ModeListener {
    bool transmitting() const override { return sending; }
    bool receiverLocked() const override { return locked; }
    void bandwidthChanged() override { events += 'b'; }
    void symbolRateChanged() override { events += 'r'; }
    void channelChanged() override { events += 'c'; }
    void afcRangeChanged() override { events += 'a'; }
    void detectedRateShown() override { events += 'd'; }

    bool sending = false;
    bool locked = false;
    std::string events;
};

TEST(ModeSwitches, ModeClicksWaitForAnIdleStationAcceptedOnesSwapThePair)
{
    Guard guard;
    ModeSwitches switches;
    switches.setGuard(&guard);
    switches.addListener(&guard);
    for (bool* busy : {&guard.sending, &guard.locked}) {
        *busy = true;
        EXPECT_FALSE(switches.clickBandwidth() || switches.clickChannel() || switches.clickSymbolRate());
        *busy = false;
    }
    EXPECT_EQ(switches.mode(), ModemMode{});
    // Neither the AFC range on HF nor the rate a lock detects waits.
    guard.locked = true;
    EXPECT_TRUE(switches.clickAfcRange());
    switches.showDetectedRate(false);
    guard.locked = false;
    EXPECT_TRUE(switches.clickBandwidth() && switches.clickChannel());
    EXPECT_TRUE(switches.selectChannel(true));  // already shown: nothing happens
    EXPECT_EQ(switches.mode(), (ModemMode{false, true, false, true}));
    EXPECT_EQ(guard.events, "adbc");
}

TEST(ModeSwitches, InEmeTheAfcRangeWaitsForAnIdleStation)
{
    Guard guard;
    ModeSwitches switches;
    switches.setGuard(&guard);
    switches.clickChannel();
    for (bool* busy : {&guard.sending, &guard.locked}) {
        *busy = true;
        EXPECT_FALSE(switches.clickAfcRange());
        *busy = false;
    }
    EXPECT_EQ(switches.afcRange(), AfcRange::EmeWide);
    EXPECT_TRUE(switches.clickAfcRange());
    EXPECT_EQ(switches.afcRange(), AfcRange::EmeNarrow);
}

}  // namespace
}  // namespace miv
