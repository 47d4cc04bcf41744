#include "rx/deep/ComplexTransform.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace miv {

namespace {

std::complex<float> unitRoot(int k, int size)
{
    const double angle = -2 * std::numbers::pi * k / size;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

}  // namespace

ComplexTransform::ComplexTransform(int size) : size_(size)
{
    if (size < 2 || (size & (size - 1)) != 0)
        throw std::invalid_argument("transform size must be a power of two");
    for (int half = 1; half < size; half *= 2) {
        for (int j = 0; j < half; ++j)
            twiddles_.push_back(unitRoot(j, 2 * half));
    }
    reversed_.resize(static_cast<std::size_t>(size));
    int bits = 0;
    while ((1 << bits) < size)
        ++bits;
    for (int i = 0; i < size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        reversed_[static_cast<std::size_t>(i)] = r;
    }
}

void ComplexTransform::forward(std::complex<float>* x) const
{
    for (int i = 0; i < size_; ++i) {
        const int r = reversed_[static_cast<std::size_t>(i)];
        if (i < r)
            std::swap(x[i], x[r]);
    }
    const std::complex<float>* stage = twiddles_.data();
    for (int half = 1; half < size_; half *= 2) {
        for (int block = 0; block < size_; block += 2 * half) {
            std::complex<float>* a = x + block;
            std::complex<float>* b = a + half;
            for (int j = 0; j < half; ++j) {
                const float wr = stage[j].real();
                const float wi = stage[j].imag();
                const float tr = b[j].real() * wr - b[j].imag() * wi;
                const float ti = b[j].real() * wi + b[j].imag() * wr;
                b[j] = {a[j].real() - tr, a[j].imag() - ti};
                a[j] = {a[j].real() + tr, a[j].imag() + ti};
            }
        }
        stage += half;
    }
}

RealTransform::RealTransform(int size) : size_(size), half_(size / 2), work_(static_cast<std::size_t>(size / 2))
{
    for (int k = 0; k <= size / 2; ++k)
        twiddles_.push_back(unitRoot(k, size));
}

void RealTransform::forward(const float* in, std::complex<float>* out)
{
    // Even samples as the real part, odd ones as the imaginary part; the two real
    // spectra are then separated by their symmetry and joined with one more butterfly.
    const int m = size_ / 2;
    for (int t = 0; t < m; ++t)
        work_[static_cast<std::size_t>(t)] = {in[2 * t], in[2 * t + 1]};
    half_.forward(work_.data());
    for (int k = 0; k <= m; ++k) {
        const std::complex<float> z = work_[static_cast<std::size_t>(k % m)];
        const std::complex<float> zc = std::conj(work_[static_cast<std::size_t>((m - k) % m)]);
        const std::complex<float> even = 0.5f * (z + zc);
        const std::complex<float> odd = std::complex<float>(0.0f, -0.5f) * (z - zc);
        out[k] = even + twiddles_[static_cast<std::size_t>(k)] * odd;
    }
}

}  // namespace miv
