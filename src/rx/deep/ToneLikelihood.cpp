#include "rx/deep/ToneLikelihood.h"

#include <cmath>

namespace miv {

float logBesselI0(float x)
{
    // Polynomial approximations of I0 (error below 2e-7 relative), the second for
    // exp(−x)·sqrt(x)·I0(x) so that large arguments do not overflow.
    if (x < 3.75f) {
        const float t = (x / 3.75f) * (x / 3.75f);
        const float i0 =
            1.0f + t * (3.5156229f +
                        t * (3.0899424f + t * (1.2067492f + t * (0.2659732f + t * (0.0360768f + t * 0.0045813f)))));
        return std::log(i0);
    }
    const float t = 3.75f / x;
    const float p =
        0.39894228f +
        t * (0.01328592f +
             t * (0.00225319f +
                  t * (-0.00157565f +
                       t * (0.00916281f +
                            t * (-0.02057706f + t * (0.02635537f + t * (-0.01647633f + t * 0.00392377f)))))));
    return x - 0.5f * std::log(x) + std::log(p);
}

}  // namespace miv
