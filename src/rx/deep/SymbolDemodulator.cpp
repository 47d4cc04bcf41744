#include "rx/deep/SymbolDemodulator.h"

#include <cmath>
#include <numbers>

namespace miv {

namespace {

// A unit phasor advanced by repeated multiplication, renormalised now and then so that
// rounding cannot change its length over a long window.
class Phasor {
public:
    explicit Phasor(double frequencyHz) : step_(std::polar(1.0, -2 * std::numbers::pi * frequencyHz / kDeepSampleRate))
    {
    }
    std::complex<double> value() const { return value_; }
    void advance()
    {
        value_ *= step_;
        if (++count_ % 1024 == 0)
            value_ /= std::abs(value_);
    }

private:
    std::complex<double> step_;
    std::complex<double> value_{1.0, 0.0};
    int count_ = 0;
};

}  // namespace

SymbolDemodulator::SymbolDemodulator(const DeepMode& mode)
    : transform_(mode.symbolSamples),
      work_(static_cast<std::size_t>(mode.symbolSamples))
{
}

void SymbolDemodulator::transform(const SampleHistory& history, std::int64_t start, double baseHz)
{
    Phasor phasor(baseHz);
    for (std::size_t t = 0; t < work_.size(); ++t) {
        const std::complex<double> v =
            phasor.value() * static_cast<double>(history.at(start + static_cast<std::int64_t>(t)));
        work_[t] = {static_cast<float>(v.real()), static_cast<float>(v.imag())};
        phasor.advance();
    }
    transform_.forward(work_.data());
}

double toneEnergy(const SampleHistory& history, std::int64_t start, int length, double frequencyHz)
{
    Phasor phasor(frequencyHz);
    std::complex<double> sum{};
    for (int t = 0; t < length; ++t) {
        sum += phasor.value() * static_cast<double>(history.at(start + t));
        phasor.advance();
    }
    return std::norm(sum);
}

}  // namespace miv
