#include "station/NeedleGeometry.h"

#include <gtest/gtest.h>

#include <tuple>

namespace miv {
namespace {

// A 120 x 70 picture: pivot (60, 68), dial radius 55, needle 55 - round(5.5) = 49; a
// half-circle from the left over the top to the right, and below the horizontal beyond.
TEST(NeedleGeometry, HalfCircleFromLeftOverTopToRight)
{
    const std::tuple<float, double, double> tips[] = {
        {0, 11, 68}, {25, 60 - 49 * 0.70710678, 68 - 49 * 0.70710678}, {50, 60, 19}, {100, 109, 68}};
    for (const auto& [percent, x, y] : tips) {
        const NeedleGeometry g = needleGeometry(120, 70, percent);
        EXPECT_EQ(g.length, 49);
        EXPECT_NEAR(g.tipX, x, 1e-6) << percent;
        EXPECT_NEAR(g.tipY, y, 1e-6) << percent;
    }
    EXPECT_GT(needleGeometry(120, 70, -10.0f).tipY, 68.0);
    EXPECT_GT(needleGeometry(120, 70, 116.0f).tipY, 68.0);
}

TEST(NeedleGeometry, ConversionsRoundHalvesToEven)
{
    EXPECT_EQ(needleGeometry(101, 70, 0.0f).pivotX, 50);  // 50.5
    EXPECT_EQ(needleGeometry(103, 70, 0.0f).pivotX, 52);  // 51.5
    EXPECT_EQ(needleGeometry(60, 32, 0.0f).length, 23);   // radius 25, hub round(2.5) = 2
    EXPECT_EQ(needleGeometry(80, 42, 0.0f).length, 31);   // radius 35, hub round(3.5) = 4
}

}  // namespace
}  // namespace miv
