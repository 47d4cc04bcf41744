#include "rx/FFT.h"

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

    for (int stage = 1; stage <= m; ++stage) {
        const int le = 1 << stage;
        const int le2 = le / 2;
        const float angle = kPi / static_cast<float>(le2);
        const Complex s{static_cast<float>(std::cos(static_cast<double>(angle))),
                        -static_cast<float>(std::sin(static_cast<double>(angle)))};
        Complex u{1.0f, 0.0f};
        for (int jj = 1; jj <= le2; ++jj) {
            for (int i = jj - 1; i <= n - 1; i += le) {
                const int ip = i + le2;
                const Complex t = multiply(x[ip], u);
                x[ip] = {x[i].real() - t.real(), x[i].imag() - t.imag()};
                x[i] = {x[i].real() + t.real(), x[i].imag() + t.imag()};
            }
            u = multiply(u, s);
        }
    }
}

}  // namespace miv
