#pragma once

namespace miv {

// Where a gauge's needle goes in a picture of width x height pixels: pivot near the
// bottom centre, a half-circle dial from the left (0 %) over the top (50 %) to the
// right (100 %). Values beyond 0..100 % swing below the horizontal.
struct NeedleGeometry {
    int pivotX = 0;
    int pivotY = 0;
    int radius = 0;  // of the dial; below 1 the picture is too small to draw in
    int length = 0;  // of the needle, the radius less the hub
    double tipX = 0;
    double tipY = 0;
};

NeedleGeometry needleGeometry(int width, int height, float percent);

}  // namespace miv
