#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/AudioBlock.h"

namespace miv {

// Every sample the transmitter can send in one mode, computed once so that each tick
// is a copy. Tone k of group g at sample number t (from 1) is 32767·sin(W·f·t/48000),
// with W the single-precision 2π and the argument in double precision, kept as a
// single-precision value and rounded half to even to 16 bits. The rounded samples are
// stored, which halves the memory and takes the rounding out of the tick.
class ToneTable {
public:
    static constexpr int kTones = 16;

    // BuildToneTable: fills the table for the mode, unless it already holds it.
    void BuildToneTable(const ModeParameters& mode);

    // Copies samples offset..offset+3071 (offset from 0) of tone k of group g into
    // `block`. Group numbers follow the hop table (1..groups); EME has the one group 0.
    // A group or offset the table does not hold gives silence.
    void copyBlock(int tone, int group, int offset, AudioBlock& block) const;

private:
    // Index of group g in the table, or -1 when the table does not hold it.
    int slot(int group) const;

    std::optional<EffectiveMode> mode_;
    bool hops_ = true;
    int groups_ = 0;
    int samplesPerSymbol_ = 0;
    std::vector<std::int16_t> samples_;  // [group slot][tone][t]
};

}  // namespace miv
