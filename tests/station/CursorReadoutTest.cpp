#include "station/CursorReadout.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(CursorReadout, EdgesOfTheWaterfall)
{
    EXPECT_EQ(cursorReadout(0, 10, 769, 150, true), "Frec: .0 Hz @ Shift: -1500.0 Hz");
    EXPECT_EQ(cursorReadout(769, 10, 769, 150, true), "Frec: 3000.0 Hz @ Shift: 1500.0 Hz");
    EXPECT_EQ(cursorReadout(0, 0, 769, 150, false), "Frec: .0 Hz @ Shift: -1000.0 Hz");
    EXPECT_EQ(cursorReadout(769, 150, 769, 150, false), "Frec: 3000.0 Hz @ Shift: 2000.0 Hz");
}

TEST(CursorReadout, InsideShowsOneDecimal)
{
    EXPECT_EQ(cursorReadout(400, 75, 800, 150, true), "Frec: 1500.0 Hz @ Shift: .0 Hz");
    EXPECT_EQ(cursorReadout(333, 75, 769, 150, true), "Frec: 1299.1 Hz @ Shift: -200.9 Hz");
}

TEST(CursorReadout, EmptyOutsideThePicture)
{
    EXPECT_EQ(cursorReadout(-1, 10, 769, 150, true), "");
    EXPECT_EQ(cursorReadout(770, 10, 769, 150, true), "");
    EXPECT_EQ(cursorReadout(10, -1, 769, 150, true), "");
    EXPECT_EQ(cursorReadout(10, 151, 769, 150, true), "");
    EXPECT_EQ(cursorReadout(0, 0, 0, 0, true), "");
}

TEST(CursorReadout, RunsOnlyWhileTheWaterfallIsShown)
{
    ModeSwitches switches;
    EXPECT_TRUE(cursorReadoutRuns(switches, false));
    EXPECT_FALSE(cursorReadoutRuns(switches, true));
    switches.selectWaterfall(false);
    EXPECT_FALSE(cursorReadoutRuns(switches, false));
    switches.selectWaterfall(true);
    switches.selectChannel(true);
    EXPECT_FALSE(cursorReadoutRuns(switches, false));
}

}  // namespace
}  // namespace miv
