#pragma once

#include <array>
#include <cstdint>

#include "modem/ModemMode.h"

namespace miv {

// The deep receive path works on the 8 kHz output of the receive filter in every mode.
inline constexpr double kDeepSampleRate = 8000;
inline constexpr int kTonesPerGroup = 16;
// Spectra of the preamble search, per symbol: its timing grid.
inline constexpr int kSearchRowsPerSymbol = 8;

// What the deep path needs to know of the signal it listens for.
struct DeepMode {
    bool baud16;
    int symbolSamples;  // at 8 kHz: 512 at 16 baud, 8192 at 1 baud
    int toneBins;       // tone spacing in bins of a symbol-long transform: 1, 4 or 16
    int groups;         // tone groups the hopping visits; 1 in EME
    int hopColumn;      // HopTable column; 0 when the signal does not hop (EME)
    double lowestTone;  // Hz, tone 0 of group 1
    double searchHz;    // offsets searched either side of the nominal frequency
    bool sixBitAlphabet;

    bool eme() const { return hopColumn == 0; }
    double symbolRate() const { return kDeepSampleRate / symbolSamples; }
    double toneSpacing() const { return toneBins * symbolRate(); }
    // Group (1-based) of the sent symbol with hop row `hopRow` (1..288).
    int group(int hopRow) const;
    // Tone position 0..(16·groups − 1) of tone `tone` in the group of hop row `hopRow`.
    int tonePosition(int hopRow, int tone) const { return (group(hopRow) - 1) * kTonesPerGroup + tone; }
};

// The signal the receive switches listen for. In the auto-baud steps the rate is the
// one asked for; `afcWide` picks the search range.
DeepMode deepMode(const ModemMode& mode, bool baud16, bool afcWide);

}  // namespace miv
