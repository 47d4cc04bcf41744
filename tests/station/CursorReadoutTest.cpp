#include "station/CursorReadout.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(CursorReadout, FrequencyAndShiftUnderThePointer)
{
    // The picture "#######.0" prints no digit before the point for zero.
    EXPECT_EQ(cursorReadout(0, 10, 769, 150, true), "Frec: .0 Hz @ Shift: -1500.0 Hz");
    EXPECT_EQ(cursorReadout(769, 150, 769, 150, false), "Frec: 3000.0 Hz @ Shift: 2000.0 Hz");
    EXPECT_EQ(cursorReadout(333, 75, 769, 150, true), "Frec: 1299.1 Hz @ Shift: -200.9 Hz");
    for (const auto& [x, y] : {std::pair{-1, 10}, std::pair{770, 10}, std::pair{10, -1}, std::pair{10, 151}})
        EXPECT_EQ(cursorReadout(x, y, 769, 150, true), "") << x << ", " << y;
    EXPECT_EQ(cursorReadout(0, 0, 0, 0, true), "");
}

}  // namespace
}  // namespace miv
