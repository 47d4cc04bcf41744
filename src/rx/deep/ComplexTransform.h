#pragma once

#include <complex>
#include <vector>

namespace miv {

// A forward FFT of one fixed power-of-two size with exact twiddle factors, for the
// deep receive path, whose spectra need no bit-for-bit agreement with other stations.
class ComplexTransform {
public:
    explicit ComplexTransform(int size);

    int size() const { return size_; }
    // In place; output k = sum over t of x(t)·exp(−j·2π·k·t/size), unscaled.
    void forward(std::complex<float>* x) const;

private:
    int size_;
    std::vector<std::complex<float>> twiddles_;  // stage by stage, each stage's in order
    std::vector<int> reversed_;                  // bit-reversed index of each index
};

// The same transform of a real signal, through a complex one of half the size: bins 0
// to size/2.
class RealTransform {
public:
    explicit RealTransform(int size);

    int size() const { return size_; }
    // `in` holds `size` samples; `out` receives size/2 + 1 bins.
    void forward(const float* in, std::complex<float>* out);

private:
    int size_;
    ComplexTransform half_;
    std::vector<std::complex<float>> work_;
    std::vector<std::complex<float>> twiddles_;  // exp(−j·2π·k/size), k <= size/4
};

}  // namespace miv
