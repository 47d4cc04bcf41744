#pragma once

#include <array>
#include <cstdint>

#include "modem/Viterbi.h"
#include "rx/FourierAnalyser.h"
#include "rx/ReceiveModes.h"

namespace miv {

class Acquisition;
class MessageOutput;
class ReceiverObserver;
class ToneNoiseEstimator;

// Follows the carrier a bin at a time: the neighbour bins of the decided tones that
// collected the most magnitude over the last few decisions pull the start bin along,
// never past the mode's limits.
class ToneTracker {
public:
    explicit ToneTracker(const SpectrumHistory& history) : history_(history) {}

    void reset() { trackCount_ = 0; }
    // The correction of the start bin (-1, 0 or +1) after the tone decided at `bin`.
    int ToneTracking(int row, const ReceiveMode& mode, int startBin, int bin);

private:
    static constexpr int kMaxSlots = 16;

    const SpectrumHistory& history_;
    int trackSlot_ = 0;
    int trackCount_ = 0;
    std::array<float, 3> trackSum_{};                            // offsets -1..+1
    std::array<std::array<float, kMaxSlots>, 3> trackWindow_{};  // by offset and slot
};

// Turns spectrum rows into symbol decisions: one row in eight decides a symbol, the
// other rows measure where inside the symbols the energy lies, and the decision instant
// moves towards the best row phase. Each decision tracks the carrier, undoes the
// interleaving, feeds the Viterbi decoder and hands the result to the message.
class SymbolDecoder {
public:
    SymbolDecoder(const SpectrumHistory& history, ToneNoiseEstimator& noise, Acquisition& acquisition,
                  MessageOutput& output, ReceiverObserver& observer);

    // A new message: the next row decides at once. The timing sums survive.
    void reset();
    // One spectrum row of the mode.
    void DecodeStep(int row, const ReceiveMode& mode);

    // The row the de-interleaver reads on branch 0..3 at the decision in `row`.
    static int DeinterleaveRow(int row, int branch);
    // The tone of the latest decision.
    int hardTone() const { return hardTone_; }

private:
    static constexpr int kTimingSlots = 32;

    int groupBase(const ReceiveMode& mode, int hopRow) const;
    void decide(int row, const ReceiveMode& mode, int base, float rowPeak);
    std::uint8_t decideTone(int row, const ReceiveMode& mode, int base);
    void trackCarrier(int row, const ReceiveMode& mode, int hardBin);
    ViterbiDecoder::Decision decodeInterleaved(int row, const ReceiveMode& mode);
    void keepTiming();
    void adjustTiming();

    const SpectrumHistory& history_;
    ToneNoiseEstimator& noise_;
    Acquisition& acquisition_;
    MessageOutput& output_;
    ReceiverObserver& observer_;
    ToneTracker tracker_;
    ViterbiDecoder viterbi_;

    // Symbol timing: the row peaks of the last 32 symbols by row phase.
    int symbolPhase_ = 0;  // 0..7, this row's phase within the symbol
    int windowSlot_ = 0;   // 0..31
    std::array<std::array<float, kTimingSlots>, kRowsPerSymbol> phaseWindow_{};
    std::array<float, kRowsPerSymbol> phaseSum_{};
    int symbolCountdown_ = 1;  // rows until the next decision
    int syncCounter_ = 0;      // decisions since the last timing adjustment
    int lastShift_ = 0;

    int branch_ = 3;         // de-interleaver branch 0..3 of the next decision
    int decisionCount_ = 0;  // decisions since the reset, up to kFirstErrorCountDecision
    int hopPosition_ = 25;   // hop row of the last decided symbol
    int lastStartBin_ = 0;   // start bin when the shift was last shown
    std::uint8_t hardTone_ = 0;
};

}  // namespace miv
