#pragma once

#include <complex>

namespace miv {

using Complex = std::complex<float>;

// Forward transform in place, radix 2, decimation in time, no scaling, in single
// precision with the twiddle factor advanced by recurrence, exactly as every station
// on this format computes it. n is a power of two, at most kMaxFftSize.
inline constexpr int kMaxFftSize = 16384;
void FFT(Complex* x, int n);

}  // namespace miv
