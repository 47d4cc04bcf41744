#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace miv {

// Watterson's HF channel: two independent Rayleigh-fading paths of equal mean power.
struct Fading {
    double spreadHz = 0;     // two-sided Doppler spread of each path (twice the standard deviation); 0: none
    double pathDelayMs = 0;  // how far the second path lags the first

    bool enabled() const { return spreadHz > 0; }
    // The usual test conditions for HF modems.
    static Fading moderate() { return {0.5, 1}; }
    static Fading disturbed() { return {1, 2}; }
};

// "moderate", "disturbed" or "SPREAD,DELAY" (Hz, ms: 0.01 to 50 Hz, 0 to 20 ms); nothing
// for anything else.
std::optional<Fading> parseFading(const std::string& text);

struct ChannelSettings {
    double snrDb = 0;  // mean signal power over noise power in 2500 Hz
    double frequencyOffsetHz = 0;
    double delaySeconds = 0;      // silence (with noise) before the input
    std::uint64_t seed = 1;       // of the noise and of the fading
    double driftHzPerMinute = 0;  // added to the offset, growing from zero at the first sample
    double clockPpm = 0;          // the receiving sound card's clock is fast by this much
    Fading fading;
};

}  // namespace miv
