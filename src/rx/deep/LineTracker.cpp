#include "rx/deep/LineTracker.h"

#include <cmath>

namespace miv {

namespace {

// Each measurement's weight fades by this factor per symbol, so the line follows a
// drift that is only nearly linear.
constexpr double kForgetting = 0.999;

}  // namespace

void LineTracker::start(double symbol, double value, double valueSpread, double slope, double slopeSpread)
{
    symbol_ = symbol;
    value_ = value;
    slope_ = slope;
    p00_ = valueSpread * valueSpread;
    p01_ = 0;
    p11_ = slopeSpread * slopeSpread;
}

void LineTracker::moveTo(double symbol)
{
    const double d = symbol - symbol_;
    if (d == 0)
        return;
    value_ += slope_ * d;
    // Covariance of (value + d·slope, slope), widened for the measurements' ageing.
    const double p00 = p00_ + 2 * d * p01_ + d * d * p11_;
    const double p01 = p01_ + d * p11_;
    const double fade = d > 0 ? std::pow(kForgetting, -d) : 1.0;
    p00_ = p00 * fade;
    p01_ = p01 * fade;
    p11_ *= fade;
    symbol_ = symbol;
}

void LineTracker::measure(double symbol, double value, double spread)
{
    moveTo(symbol);
    const double r = spread * spread;
    const double s = p00_ + r;
    const double k0 = p00_ / s;
    const double k1 = p01_ / s;
    const double innovation = value - value_;
    value_ += k0 * innovation;
    slope_ += k1 * innovation;
    const double p00 = (1 - k0) * p00_;
    const double p01 = (1 - k0) * p01_;
    const double p11 = p11_ - k1 * p01_;
    p00_ = p00;
    p01_ = p01;
    p11_ = p11;
}

}  // namespace miv
