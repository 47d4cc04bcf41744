#include "modem/Picture.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(Picture, DigitsShownAlwaysOrWhenSignificantHalvesAwayFromZero)
{
    EXPECT_EQ(formatPicture(-20, "0"), "-20");
    EXPECT_EQ(formatPicture(-0.4, "0"), "0");  // no sign on a zero
    EXPECT_EQ(formatPicture(-2.5, "0"), "-3");
    EXPECT_EQ(formatPicture(9, "00"), "09");
    EXPECT_EQ(formatPicture(0, "###"), "");
    EXPECT_EQ(formatPicture(-31.25, "0.0"), "-31.3");
    EXPECT_EQ(formatPicture(209.9609375, "0.0"), "210.0");
    EXPECT_EQ(formatPicture(0, "######0.0"), "0.0");
    EXPECT_EQ(formatPicture(0.3, "#######.0"), ".3");
    EXPECT_EQ(formatPicture(-1500, "#######.0"), "-1500.0");
}

}  // namespace
}  // namespace miv
