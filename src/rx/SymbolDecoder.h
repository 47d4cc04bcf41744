#pragma once

#include <array>
#include <cstdint>

#include "modem/Viterbi.h"
#include "rx/FourierAnalyser.h"
#include "rx/ReceiveState.h"

namespace miv {

class FinalAcquisition;
class FrequencyShiftDisplay;
class MessageOutput;
class ModeSwitches;
class ReceiverObserver;
class ToneNoiseEstimator;

// Follows the carrier a bin at a time: the neighbour bins of the decided tones that
// collected the most magnitude over the last few decisions pull `StartBin` along.
class ToneTracker {
public:
    ToneTracker(const ReceiveState& state, const SpectrumHistory& history, const ModeSwitches& switches)
        : state_(state),
          history_(history),
          switches_(switches)
    {
    }

    void reset() { trackCount_ = 0; }
    // The correction of `StartBin`: -1, 0 or +1.
    int ToneTracking(int bin);

private:
    static constexpr int kMaxSlots = 16;

    const ReceiveState& state_;
    const SpectrumHistory& history_;
    const ModeSwitches& switches_;
    int trackSlot_ = 1;
    int trackCount_ = 0;
    std::array<float, 3> trackSum_{};                                // offsets -1..+1
    std::array<std::array<float, kMaxSlots + 1>, 3> trackWindow_{};  // offset, slot 1..16
};

// Turns spectrum rows into symbol decisions: one row in eight decides a symbol, the
// other rows measure where inside the symbols the energy lies, and the decision instant
// moves towards the best row phase. Each decision tracks the carrier, undoes the
// interleaving and feeds the Viterbi decoder, whose bits become text.
class SymbolDecoder {
public:
    struct Parts {
        const SpectrumHistory& history;
        ToneNoiseEstimator& noise;
        FrequencyShiftDisplay& shiftDisplay;
        FinalAcquisition& finalAcquisition;
        MessageOutput& output;
        float& peakLevel;  // read and cleared at each decision
    };

    SymbolDecoder(ReceiveState& state, const ModeSwitches& switches, ReceiverObserver& observer, const Parts& parts);

    // A new message: the first call after it decides at once. Timing sums survive.
    void reset();
    // One spectrum row, `CurrentRow`.
    void DecodeStep();

    int DeinterleaveRow(int branch) const;
    // The tone of the latest decision.
    int HardTone() const { return HardTone_; }

private:
    void decide(int groupBase, float rowPeak);
    void adjustTiming();
    int groupBase(int hopPosition) const;

    ReceiveState& state_;
    const ModeSwitches& switches_;
    ReceiverObserver& observer_;
    Parts parts_;
    ToneTracker tracker_;
    ViterbiDecoder viterbi_;

    int SymbolPhase = 1;                                 // 1..8, row phase within the symbol
    int WindowSlot = 1;                                  // 1..32
    std::array<std::array<float, 33>, 9> PhaseWindow{};  // row peaks by phase 1..8, slot 1..32
    std::array<float, 9> PhaseSum{};                     // phase 1..8
    int SymbolCountdown = 1;                             // rows until the next decision
    int InterleaveBranch = 4;
    int SyncCounter = 0;   // decisions since the last timing adjustment
    int SymbolCount = 0;   // decisions since the reset, stops at 23
    int HopPosition = 25;  // hop row of the last decided symbol
    int LastShift = 0;
    int LastStartBin = 0;
    int HardTone_ = 0;
};

}  // namespace miv
