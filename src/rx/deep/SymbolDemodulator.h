#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "rx/deep/ComplexTransform.h"
#include "rx/deep/DeepMode.h"
#include "rx/deep/SampleHistory.h"

namespace miv {

// Matched filters for one symbol: the symbol-long window at an exact start, shifted
// so that a chosen frequency falls on bin 0 of its transform. The tones of a group are
// then exactly on bins (every toneBins-th), and the bins between and beside them
// carry only noise.
class SymbolDemodulator {
public:
    explicit SymbolDemodulator(const DeepMode& mode);

    void transform(const SampleHistory& history, std::int64_t start, double baseHz);
    // Energy of bin `bin` of the latest transform; negative bins count from the end.
    float energy(int bin) const
    {
        const int n = static_cast<int>(work_.size());
        return std::norm(work_[static_cast<std::size_t>(((bin % n) + n) % n)]);
    }

private:
    ComplexTransform transform_;
    std::vector<std::complex<float>> work_;
};

// |sum of x(start + t)·exp(−j·2π·f·t / 8000)|² over `length` samples: the energy one
// tone leaves in a window, for fine timing and frequency.
double toneEnergy(const SampleHistory& history, std::int64_t start, int length, double frequencyHz);

}  // namespace miv
