#include "station/NeedleGeometry.h"

#include <algorithm>
#include <cmath>

namespace miv {

namespace {

constexpr double kHubFraction = 0.1;
// Input 0..100 % maps to a scale of 0..30 units of 6 degrees each.
constexpr double kScalePerPercent = 30.0 / 100.0;
// Degrees to radians as the dial has always converted them, a little off exact pi/180.
constexpr double kRadiansPerDegree = 0.017453292522222223;

int roundHalfEven(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

}  // namespace

NeedleGeometry needleGeometry(int width, int height, float percent)
{
    NeedleGeometry g;
    g.pivotX = roundHalfEven(width / 2.0);
    g.pivotY = height - 2;
    g.radius = std::min(g.pivotX, g.pivotY) - 5;
    g.length = g.radius - roundHalfEven(g.radius * kHubFraction);
    const double scale = kScalePerPercent * percent;
    const double theta = (270.0 - 6.0 * scale) * kRadiansPerDegree;
    g.tipX = g.pivotX + std::sin(theta) * g.length;
    g.tipY = g.pivotY + std::cos(theta) * g.length;
    return g;
}

}  // namespace miv
