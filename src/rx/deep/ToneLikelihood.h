#pragma once

#include <cmath>

namespace miv {

// ln I0(x), the logarithm of the modified Bessel function of order 0, for x >= 0.
float logBesselI0(float x);

// How likely each of the 16 tones of a symbol is to be the one sent, from their
// energies over the noise power (e) and the signal's energy per symbol over the noise
// power (Es/N0): for a tone of unknown phase in white Gaussian noise the likelihood
// ratio is I0(2·sqrt(Es/N0 · e)) · exp(−Es/N0), the same for every tone but the I0 term.
inline float toneLogLikelihood(float energy, float esOverN0)
{
    return logBesselI0(2.0f * std::sqrt(esOverN0 * energy));
}

}  // namespace miv
