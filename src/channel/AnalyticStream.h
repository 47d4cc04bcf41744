#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

#include "channel/Fft.h"

namespace miv {

// The analytic signal of a real stream, made segment by segment (Hann windows of 65536
// samples overlapping by half, which sum to one) with the negative frequencies removed.
// Output lags input by up to one segment; finish() flushes it so that exactly one
// complex sample comes out per real sample in.
class AnalyticStream {
public:
    using Complex = std::complex<double>;

    AnalyticStream();
    void push(std::span<const std::int16_t> input, std::vector<Complex>& out);
    void finish(std::vector<Complex>& out);

private:
    void transformSegment(std::vector<Complex>& out);

    Fft fft_;
    std::vector<double> window_;
    std::vector<double> pending_;  // the current segment's input, filled up to the segment size
    std::vector<Complex> sum_;     // overlap-add of the current segment's span
    std::vector<Complex> segment_;
    std::size_t received_ = 0;
    std::size_t emitted_ = 0;
    bool firstSegment_ = true;
};

}  // namespace miv
