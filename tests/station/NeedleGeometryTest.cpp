#include "station/NeedleGeometry.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

// A 120 x 70 picture: pivot (60, 68), dial radius 55, needle 55 - round(5.5) = 49.
TEST(NeedleGeometry, HalfCircleFromLeftOverTopToRight)
{
    const NeedleGeometry left = needleGeometry(120, 70, 0.0f);
    EXPECT_EQ(left.pivotX, 60);
    EXPECT_EQ(left.pivotY, 68);
    EXPECT_EQ(left.radius, 55);
    EXPECT_EQ(left.length, 49);
    EXPECT_NEAR(left.tipX, 11.0, 1e-6);
    EXPECT_NEAR(left.tipY, 68.0, 1e-6);

    const NeedleGeometry up = needleGeometry(120, 70, 50.0f);
    EXPECT_NEAR(up.tipX, 60.0, 1e-6);
    EXPECT_NEAR(up.tipY, 19.0, 1e-6);

    const NeedleGeometry right = needleGeometry(120, 70, 100.0f);
    EXPECT_NEAR(right.tipX, 109.0, 1e-6);
    EXPECT_NEAR(right.tipY, 68.0, 1e-6);

    const NeedleGeometry quarter = needleGeometry(120, 70, 25.0f);
    EXPECT_NEAR(quarter.tipX, 60.0 - 49.0 * 0.70710678, 1e-6);
    EXPECT_NEAR(quarter.tipY, 68.0 - 49.0 * 0.70710678, 1e-6);
}

TEST(NeedleGeometry, ConversionsRoundHalvesToEven)
{
    EXPECT_EQ(needleGeometry(101, 70, 0.0f).pivotX, 50);  // 50.5
    EXPECT_EQ(needleGeometry(103, 70, 0.0f).pivotX, 52);  // 51.5
    // Radius 25 in a 60 x 32 picture: the hub is round(2.5) = 2, not 3.
    const NeedleGeometry small = needleGeometry(60, 32, 0.0f);
    EXPECT_EQ(small.radius, 25);
    EXPECT_EQ(small.length, 23);
    // Radius 35: round(3.5) = 4.
    EXPECT_EQ(needleGeometry(80, 42, 0.0f).length, 31);
}

TEST(NeedleGeometry, ValuesBeyondTheScaleSwingBelowTheHorizontal)
{
    const NeedleGeometry under = needleGeometry(120, 70, -10.0f);
    EXPECT_GT(under.tipY, 68.0);
    EXPECT_LT(under.tipX, 60.0);
    const NeedleGeometry over = needleGeometry(120, 70, 116.0f);
    EXPECT_GT(over.tipY, 68.0);
    EXPECT_GT(over.tipX, 60.0);
}

}  // namespace
}  // namespace miv
