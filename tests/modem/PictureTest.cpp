#include <gtest/gtest.h>

#include "modem/Picture.h"

namespace miv {
namespace {

TEST(Picture, WholeNumbers)
{
    EXPECT_EQ(formatPicture(-20, "0"), "-20");
    EXPECT_EQ(formatPicture(0, "0"), "0");
    EXPECT_EQ(formatPicture(-0.4, "0"), "0");
    EXPECT_EQ(formatPicture(62.5, "0"), "63");
    EXPECT_EQ(formatPicture(-2.5, "0"), "-3");
    EXPECT_EQ(formatPicture(9, "00"), "09");
    EXPECT_EQ(formatPicture(14, "00"), "14");
    EXPECT_EQ(formatPicture(-20, "###"), "-20");
    EXPECT_EQ(formatPicture(0, "###"), "");
}

TEST(Picture, OneDecimal)
{
    // Halves go away from zero, as the frequency shift -31.25 Hz shows "-31.3".
    EXPECT_EQ(formatPicture(-31.25, "0.0"), "-31.3");
    EXPECT_EQ(formatPicture(23.4375, "0.0"), "23.4");
    EXPECT_EQ(formatPicture(0, "0.0"), "0.0");
    EXPECT_EQ(formatPicture(209.9609375, "0.0"), "210.0");
    EXPECT_EQ(formatPicture(62.5, "######0.0"), "62.5");
    EXPECT_EQ(formatPicture(0, "######0.0"), "0.0");
    EXPECT_EQ(formatPicture(-1300, "######0.0"), "-1300.0");
    // No digit before the point for zero.
    EXPECT_EQ(formatPicture(0, "#######.0"), ".0");
    EXPECT_EQ(formatPicture(0.3, "#######.0"), ".3");
    EXPECT_EQ(formatPicture(-1500, "#######.0"), "-1500.0");
    EXPECT_EQ(formatPicture(3000, "#######.0"), "3000.0");
}

}  // namespace
}  // namespace miv
