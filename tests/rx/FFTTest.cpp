#include "rx/FFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace miv::test {
namespace {

// The transform as the format defines it, loop for loop, so that the faster ordering of
// the same butterflies can be checked to give the same bits.
void definedTransform(std::vector<Complex>& x)
{
    const int n = static_cast<int>(x.size());
    auto mul = [](Complex a, Complex b) {
        return Complex{a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
    };
    for (int i = 1, j = n / 2; i <= n - 2; ++i) {
        if (i < j)
            std::swap(x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(j)]);
        int k = n / 2;
        for (; k <= j; k /= 2)
            j -= k;
        j += k;
    }
    for (int le = 2; le <= n; le *= 2) {
        const int le2 = le / 2;
        const float angle = 3.1415927f / static_cast<float>(le2);
        const Complex s{static_cast<float>(std::cos(static_cast<double>(angle))),
                        -static_cast<float>(std::sin(static_cast<double>(angle)))};
        Complex u{1, 0};
        for (int jj = 0; jj < le2; ++jj, u = mul(u, s)) {
            for (int i = jj; i < n; i += le) {
                auto& a = x[static_cast<std::size_t>(i)];
                auto& b = x[static_cast<std::size_t>(i + le2)];
                const Complex t = mul(b, u);
                b = {a.real() - t.real(), a.imag() - t.imag()};
                a = {a.real() + t.real(), a.imag() + t.imag()};
            }
        }
    }
}

TEST(FFT, GivesTheDefinedOperationsBitForBit)
{
    std::mt19937 random(9);
    std::normal_distribution<float> value(0, 3000);
    for (int n : {1024, 8192, 16384}) {
        std::vector<Complex> x(static_cast<std::size_t>(n));
        for (auto& v : x)
            v = {value(random), value(random)};
        std::vector<Complex> expected = x;
        definedTransform(expected);
        FFT(x.data(), n);
        EXPECT_EQ(std::memcmp(x.data(), expected.data(), x.size() * sizeof(Complex)), 0) << n;
    }
}

}  // namespace
}  // namespace miv::test
