#pragma once

#include <complex>
#include <cstddef>
#include <numbers>
#include <utility>
#include <vector>

namespace miv {

// In-place radix-2 transforms of one size; inverse without the 1/n scale. The twiddle
// factors of every stage are computed once, as the stage would compute them.
class Fft {
public:
    using Complex = std::complex<double>;

    explicit Fft(std::size_t n) : n_(n)
    {
        for (std::size_t len = 2; len <= n; len <<= 1) {
            for (const bool inverse : {false, true}) {
                const double angle = (inverse ? 2 : -2) * std::numbers::pi / static_cast<double>(len);
                auto& table = inverse ? inverse_ : forward_;
                for (std::size_t k = 0; k < len / 2; ++k)
                    table.push_back(std::polar(1.0, angle * static_cast<double>(k)));
            }
        }
    }

    void transform(std::vector<Complex>& x, bool inverse) const
    {
        for (std::size_t i = 1, j = 0; i < n_; ++i) {
            std::size_t bit = n_ >> 1;
            for (; (j & bit) != 0; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j)
                std::swap(x[i], x[j]);
        }
        const Complex* twiddle = (inverse ? inverse_ : forward_).data();
        for (std::size_t len = 2; len <= n_; len <<= 1) {
            const std::size_t half = len / 2;
            for (std::size_t start = 0; start < n_; start += len) {
                for (std::size_t k = 0; k < half; ++k) {
                    Complex& a = x[start + k];
                    Complex& b = x[start + k + half];
                    // The product of finite values, without the library's NaN recovery.
                    const Complex t{b.real() * twiddle[k].real() - b.imag() * twiddle[k].imag(),
                                    b.real() * twiddle[k].imag() + b.imag() * twiddle[k].real()};
                    b = a - t;
                    a += t;
                }
            }
            twiddle += half;
        }
    }

private:
    std::size_t n_;
    std::vector<Complex> forward_;
    std::vector<Complex> inverse_;
};

}  // namespace miv
