#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace miv {

// 48 kHz to 8 kHz for the deep receive path: a linear-phase low-pass flat within
// 0.01 dB to 2.9 kHz and at least 66 dB down from 5.1 kHz, so that nothing folds into
// the band the signals use. (The standard receive filter lets about 0.4 dB more noise
// fold in, which costs that much sensitivity.)
class Decimator {
public:
    Decimator();

    // Takes one 48 kHz sample; true, with `output` set, on every sixth.
    bool push(float sample, float& output);

private:
    static constexpr int kTaps = 96;
    static constexpr int kFactor = 6;

    std::array<float, kTaps> taps_{};
    std::array<float, 2 * kTaps> delay_{};  // each sample twice, so a window is contiguous
    int position_ = 0;
    int phase_ = 0;
};

}  // namespace miv
