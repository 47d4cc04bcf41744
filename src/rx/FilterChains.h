#pragma once

#include <array>
#include <complex>

#include "platform/AudioBlock.h"

namespace miv {

using Complex = std::complex<float>;

class ReceiverObserver;
class ModeSwitches;

inline constexpr int kFilterTaps = 31;

// 31-tap FIR low-pass at 48 kHz (pass band to about 3 kHz) ahead of the decimation
// to 8 kHz. Filters only when asked, so it costs a dot product per output sample.
class FilterReal {
public:
    void push(float x);
    float pushAndFilter(float x);

private:
    std::array<float, kFilterTaps> delay_{};
    int index_ = 0;  // the oldest sample, where the next one goes
};

// The same structure over complex samples at 8 kHz, pass band to about 1.5 kHz.
class FilterComplex {
public:
    void push(Complex z);
    Complex pushAndFilter(Complex z);

private:
    std::array<Complex, kFilterTaps> delay_{};
    int index_ = 0;
};

// Multiplies by a rotating phasor; the phase runs on across blocks and stays within
// one turn either way.
class Mixer {
public:
    Complex mix(Complex z, float frequency, float sampleRate);
    float phase() const { return phase_; }

private:
    float phase_ = 0;  // radians
};

// The three filter chains from 48 kHz capture blocks to the working-rate baseband
// ring the spectra read, with the peak levels the metric and the volume gauge use.
class FilterChains {
public:
    static constexpr int kRingCells = 8192;
    static constexpr int kNarrowRingCells = 4096;  // EME narrow runs at 4 kHz

    FilterChains(const ModeSwitches& switches, ReceiverObserver& observer) : switches_(switches), observer_(observer) {}

    // Start of a capture block: the chains read it from its first sample.
    void rewind() { position_ = 0; }

    // One 8 kHz output from 6 input samples; the HF chain also feeds the waterfall.
    void FilterChainHF(const AudioBlock& samples);
    void FilterChainEMEWide(const AudioBlock& samples);
    // One 4 kHz complex output from 12 input samples, shifted down by 500 Hz.
    void FilterChainEMENarrow(const AudioBlock& samples);

    const std::array<Complex, kRingCells>& basebandRing() const { return ring_; }
    int ringWriteIndex() const { return ringWriteIndex_; }
    void resetRingWriteIndex() { ringWriteIndex_ = 0; }

    // Largest magnitude of the 8 kHz real filter output since the last reset: the
    // decoder reads and resets one at each decision, the volume gauge the other.
    float peakLevel() const { return peakLevel_; }
    void resetPeakLevel() { peakLevel_ = 0; }
    float peakLevelGauge() const { return peakLevelGauge_; }
    void resetPeakLevelGauge() { peakLevelGauge_ = 0; }

private:
    float decimate(const AudioBlock& samples);
    void trackPeak(float y);

    const ModeSwitches& switches_;
    ReceiverObserver& observer_;
    FilterReal real_;  // shared by the three chains, never cleared
    FilterComplex complex_;
    Mixer mixerDown_;
    Mixer mixerUp_;
    int position_ = 0;  // next sample of the block, 0..3071
    std::array<Complex, kRingCells> ring_{};
    int ringWriteIndex_ = 0;
    float peakLevel_ = 0;
    float peakLevelGauge_ = 0;
};

}  // namespace miv
