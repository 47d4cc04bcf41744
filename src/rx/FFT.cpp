#include "rx/FFT.h"

#include <array>
#include <cmath>
#include <utility>

namespace miv {

namespace {

// Written out so that the products and sums stay single-precision operations.
inline Complex multiply(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

}  // namespace

void FFT(Complex* x, int n)
{
    constexpr float kPi = 3.1415927f;
    const int m = static_cast<int>(std::lround(std::log2(n)));

    int j = n / 2;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < j)
            std::swap(x[i], x[j]);
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }

    // The twiddle factors of a stage are the recurrence's values, worked out once per
    // stage; the butterflies then run block by block, which keeps memory access local
    // without changing a single operation.
    std::array<Complex, kMaxFftSize / 2> twiddle;
    for (int stage = 1; stage <= m; ++stage) {
        const int le = 1 << stage;
        const int le2 = le / 2;
        const float angle = kPi / static_cast<float>(le2);
        const Complex s{static_cast<float>(std::cos(static_cast<double>(angle))),
                        -static_cast<float>(std::sin(static_cast<double>(angle)))};
        Complex u{1.0f, 0.0f};
        for (int jj = 0; jj < le2; ++jj) {
            twiddle[static_cast<std::size_t>(jj)] = u;
            u = multiply(u, s);
        }
        for (int block = 0; block < n; block += le) {
            for (int jj = 0; jj < le2; ++jj) {
                const int i = block + jj;
                const int ip = i + le2;
                const Complex t = multiply(x[ip], twiddle[static_cast<std::size_t>(jj)]);
                x[ip] = {x[i].real() - t.real(), x[i].imag() - t.imag()};
                x[i] = {x[i].real() + t.real(), x[i].imag() + t.imag()};
            }
        }
    }
}

}  // namespace miv
