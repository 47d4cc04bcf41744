#include "rx/FilterChains.h"

#include <cmath>

#include "modem/ModemMode.h"
#include "rx/ReceiverObserver.h"

namespace miv {

namespace {

// Coefficient 0 applies to the oldest sample. The table is as every station on this
// format has it, asymmetries included.
constexpr std::array<float, kFilterTaps> kRealTaps{
    0.01279f, 0.0034f,  -0.0083f, -0.02f,   -0.0293f, -0.0339f, -0.0316f, -0.0215f, -0.0337f, 0.02161f, 0.05121f,
    0.08239f, 0.1116f,  0.1355f,  0.1511f,  0.1566f,  0.1511f,  0.1355f,  0.1116f,  0.0824f,  0.0512f,  0.0216f,
    -0.0034f, -0.0215f, -0.0316f, -0.0339f, -0.0293f, -0.02f,   -0.0083f, 0.0034f,  0.0128f};

constexpr std::array<float, 16> kComplexHalf{-0.000859869246f, -0.008518289484f, -0.011250152625f, -0.001061705256f,
                                             0.0139583917f,    0.0100473389f,    -0.015003870003f, -0.025027880982f,
                                             0.00715170056f,   0.0436347239f,    0.016788108f,     -0.061886192062f,
                                             -0.07354845952f,  0.0752610266f,    0.306638867f,     0.419826269f};

constexpr std::array<float, kFilterTaps> buildComplexTaps()
{
    std::array<float, kFilterTaps> taps{};
    for (std::size_t k = 0; k < kFilterTaps; ++k)
        taps[k] = kComplexHalf[k < 16 ? k : 30 - k];
    return taps;
}

constexpr std::array<float, kFilterTaps> kComplexTaps = buildComplexTaps();

constexpr float kTwoPi = 6.2831855f;

}  // namespace

void FilterReal::push(float x)
{
    delay_[static_cast<std::size_t>(index_)] = x;
    index_ = index_ == kFilterTaps - 1 ? 0 : index_ + 1;
}

float FilterReal::pushAndFilter(float x)
{
    push(x);
    float sum = 0;
    for (int k = 0; k < kFilterTaps; ++k)
        sum += delay_[static_cast<std::size_t>((index_ + k) % kFilterTaps)] * kRealTaps[static_cast<std::size_t>(k)];
    return sum;
}

void FilterComplex::push(Complex z)
{
    delay_[static_cast<std::size_t>(index_)] = z;
    index_ = index_ == kFilterTaps - 1 ? 0 : index_ + 1;
}

Complex FilterComplex::pushAndFilter(Complex z)
{
    push(z);
    float re = 0;
    float im = 0;
    for (int k = 0; k < kFilterTaps; ++k) {
        const Complex d = delay_[static_cast<std::size_t>((index_ + k) % kFilterTaps)];
        const float c = kComplexTaps[static_cast<std::size_t>(k)];
        re += d.real() * c;
        im += d.imag() * c;
    }
    return {re, im};
}

Complex Mixer::mix(Complex z, float frequency, float sampleRate)
{
    const auto c = static_cast<float>(std::cos(static_cast<double>(phase_)));
    const auto s = static_cast<float>(std::sin(static_cast<double>(phase_)));
    const Complex out{z.real() * c - z.imag() * s, z.real() * s + z.imag() * c};
    phase_ += kTwoPi * frequency / sampleRate;
    if (phase_ > kTwoPi)
        phase_ -= kTwoPi;
    if (phase_ < -kTwoPi)
        phase_ += kTwoPi;
    return out;
}

float FilterChains::decimate(const AudioBlock& samples)
{
    // Seven pushes per output: the sixth sample goes in twice, as on every station.
    float x = 0;
    for (int i = 0; i < 6; ++i) {
        x = static_cast<float>(samples[static_cast<std::size_t>(position_++)]);
        real_.push(x);
    }
    const float y = real_.pushAndFilter(x);
    trackPeak(y);
    return y;
}

void FilterChains::trackPeak(float y)
{
    if (y > peakLevel_)
        peakLevel_ = y;
    if (y < -peakLevel_)
        peakLevel_ = -y;
    if (y > peakLevelGauge_)
        peakLevelGauge_ = y;
    if (y < -peakLevelGauge_)
        peakLevelGauge_ = -y;
}

void FilterChains::FilterChainHF(const AudioBlock& samples)
{
    const float y = decimate(samples);
    if (switches_.waterfallOn())
        observer_.waterfallSample(y);
    ring_[static_cast<std::size_t>(ringWriteIndex_)] = {y, 0};
    if (++ringWriteIndex_ >= kRingCells)
        ringWriteIndex_ = 0;
}

void FilterChains::FilterChainEMEWide(const AudioBlock& samples)
{
    const float y = decimate(samples);
    ring_[static_cast<std::size_t>(ringWriteIndex_)] = {y, 0};
    if (++ringWriteIndex_ >= kRingCells)
        ringWriteIndex_ = 0;
}

void FilterChains::FilterChainEMENarrow(const AudioBlock& samples)
{
    const float y1 = decimate(samples);
    complex_.push(mixerDown_.mix({y1, 0}, -1500, 8000));
    const float y2 = decimate(samples);
    const Complex w = complex_.pushAndFilter(mixerDown_.mix({y2, 0}, -1500, 8000));
    const Complex v = mixerUp_.mix(w, 1000, 4000);
    if (ringWriteIndex_ >= kNarrowRingCells)
        ringWriteIndex_ = 0;
    ring_[static_cast<std::size_t>(ringWriteIndex_)] = v;
    if (++ringWriteIndex_ >= kNarrowRingCells)
        ringWriteIndex_ = 0;
}

}  // namespace miv
