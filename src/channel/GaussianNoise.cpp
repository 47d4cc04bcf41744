#include "channel/GaussianNoise.h"

#include <cmath>
#include <numbers>

namespace miv {

double GaussianNoise::uniform()
{
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double GaussianNoise::next()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    const double u1 = 1.0 - uniform();  // (0, 1], so the logarithm is finite
    const double u2 = uniform();
    const double r = std::sqrt(-2 * std::log(u1));
    spare_ = r * std::sin(2 * std::numbers::pi * u2);
    haveSpare_ = true;
    return r * std::cos(2 * std::numbers::pi * u2);
}

}  // namespace miv
