#pragma once

#include <cmath>
#include <cstdint>

#include "modem/ModemMode.h"
#include "platform/AudioBlock.h"

namespace miv::test {

inline ModemMode makeMode(EffectiveMode effective)
{
    ModemMode m;
    m.bw2250 = effective == EffectiveMode::Hf2250Fast || effective == EffectiveMode::Hf2250Slow ||
               effective == EffectiveMode::Eme;
    m.eme = effective == EffectiveMode::Eme;
    m.baud16 = effective == EffectiveMode::Hf2250Fast || effective == EffectiveMode::Hf500Fast;
    return m;
}

// The tone position (group − 1)·16 + tone that is strongest in one 16-baud block, found
// by its power alone (Goertzel): every position completes whole cycles in a block, so
// the positions do not leak into one another.
inline int strongestPosition(const std::int16_t* block, const ModeParameters& mode)
{
    int best = -1;
    double bestPower = 0;
    for (int p = 0; p < mode.groups * 16; ++p) {
        const double w = 2 * M_PI * (mode.lowestTone + p * static_cast<double>(mode.toneSpacing)) / kSampleRate;
        double s1 = 0;
        double s2 = 0;
        for (int i = 0; i < kBlockSamples; ++i) {
            const double s0 = block[i] + 2 * std::cos(w) * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = p;
        }
    }
    return best;
}

}  // namespace miv::test
