#include "rx/SymbolDecoder.h"

#include "modem/Frame.h"
#include "modem/MessageSchedule.h"
#include "rx/Acquisition.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiverObserver.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv {

namespace {

// The last rows before a decision already belong to the next symbol's group.
constexpr int kRowsInNextGroup = 3;
// A timing shift larger than this many rows either way means the signal is lost.
constexpr int kLargestTimingShift = 1;
// The hop row of the symbol before the lock's: the first decision decides slot 26.
constexpr int kHopRowBeforeLock = kPreambleSpan - 1;
constexpr int kLastBranch = static_cast<int>(kDeinterleaveDelay.size()) - 1;

int nextHopRow(int row)
{
    return row == kHopRows ? 1 : row + 1;
}

}  // namespace

int ToneTracker::ToneTracking(int row, const ReceiveMode& mode, int startBin, int bin)
{
    const int length = mode.trackingDecisions;
    trackSlot_ = trackSlot_ >= length - 1 ? 0 : trackSlot_ + 1;

    const int lowest = startBin <= mode.wide.low ? 0 : -1;
    const int highest = startBin >= mode.wide.high ? 0 : 1;
    for (int j = lowest; j <= highest; ++j) {
        const float magnitude = history_(row, bin + j, mode.plane);
        auto& stored = trackWindow_[static_cast<std::size_t>(j + 1)][static_cast<std::size_t>(trackSlot_)];
        trackSum_[static_cast<std::size_t>(j + 1)] += magnitude - stored;
        stored = magnitude;
    }
    if (++trackCount_ < length)
        return 0;
    trackCount_ = 0;
    float best = -1;
    int choice = 0;
    for (int j = lowest; j <= highest; ++j) {
        if (trackSum_[static_cast<std::size_t>(j + 1)] > best) {
            best = trackSum_[static_cast<std::size_t>(j + 1)];
            choice = j;
        }
    }
    return choice;
}

SymbolDecoder::SymbolDecoder(const SpectrumHistory& history, ToneNoiseEstimator& noise, Acquisition& acquisition,
                             MessageOutput& output, ReceiverObserver& observer)
    : history_(history),
      noise_(noise),
      acquisition_(acquisition),
      output_(output),
      observer_(observer),
      tracker_(history)
{
}

void SymbolDecoder::reset()
{
    decisionCount_ = 0;
    tracker_.reset();
    windowSlot_ = 0;
    symbolPhase_ = 0;
    symbolCountdown_ = 1;
    syncCounter_ = 0;
    branch_ = kLastBranch;
    hopPosition_ = kHopRowBeforeLock;
    observer_.symbolSynchronizationShown(0);
}

int SymbolDecoder::DeinterleaveRow(int row, int branch)
{
    return symbolRowBefore(row, kDeinterleaveDelay[static_cast<std::size_t>(branch)]);
}

int SymbolDecoder::groupBase(const ReceiveMode& mode, int hopRow) const
{
    return groupStart(mode, acquisition_.startBin(), hopRow);
}

void SymbolDecoder::DecodeStep(int row, const ReceiveMode& mode)
{
    const int base = groupBase(mode, symbolCountdown_ > kRowsInNextGroup ? hopPosition_ : nextHopRow(hopPosition_));

    // The row's strongest tone, tone 1 first and tone 0 last.
    float rowPeak = -1;
    for (int k = 1; k <= 16; ++k) {
        const float v = history_(row, base + (k % 16) * mode.toneStep, mode.plane);
        if (v > rowPeak)
            rowPeak = v;
    }

    auto& stored = phaseWindow_[static_cast<std::size_t>(symbolPhase_)][static_cast<std::size_t>(windowSlot_)];
    phaseSum_[static_cast<std::size_t>(symbolPhase_)] += rowPeak - stored;
    stored = rowPeak;

    if (--symbolCountdown_ == 0)
        decide(row, mode, base, rowPeak);

    if (++symbolPhase_ == kRowsPerSymbol) {
        symbolPhase_ = 0;
        windowSlot_ = windowSlot_ == kTimingSlots - 1 ? 0 : windowSlot_ + 1;
    }
}

void SymbolDecoder::decide(int row, const ReceiveMode& mode, int base, float rowPeak)
{
    symbolCountdown_ = kRowsPerSymbol;
    hardTone_ = decideTone(row, mode, base);
    hopPosition_ = nextHopRow(hopPosition_);
    if (decisionCount_ < kFirstErrorCountDecision)
        ++decisionCount_;
    trackCarrier(row, mode, base + hardTone_ * mode.toneStep);
    const ViterbiDecoder::Decision decoded = decodeInterleaved(row, mode);
    output_.decided({decisionCount_, branch_, hardTone_, decoded, rowPeak});
    branch_ = branch_ == kLastBranch ? 0 : branch_ + 1;
    keepTiming();
}

std::uint8_t SymbolDecoder::decideTone(int row, const ReceiveMode& mode, int base)
{
    if (mode.estimatesToneNoise)
        noise_.EstimateToneNoise(mode, row, base, hopPosition_ + 1);

    // Tone 1 first, then 2..15, then 0: an all-equal row decides tone 1.
    std::uint8_t tone = 1;
    float best = history_(row, base + mode.toneStep, mode.plane) - noise_.toneReference(1, row);
    for (int k = 2; k <= 16; ++k) {
        const int t = k % 16;
        const float v = history_(row, base + t * mode.toneStep, mode.plane) - noise_.toneReference(t, row);
        if (v > best) {
            best = v;
            tone = static_cast<std::uint8_t>(t);
        }
    }
    return tone;
}

void SymbolDecoder::trackCarrier(int row, const ReceiveMode& mode, int hardBin)
{
    if (acquisition_.lockFlag())
        acquisition_.moveStartBin(tracker_.ToneTracking(row, mode, acquisition_.startBin(), hardBin));
    if (acquisition_.startBin() != lastStartBin_) {
        acquisition_.ShowFrequencyShift();
        lastStartBin_ = acquisition_.startBin();
    }
}

ViterbiDecoder::Decision SymbolDecoder::decodeInterleaved(int row, const ReceiveMode& mode)
{
    const int readRow = DeinterleaveRow(row, branch_);
    int hopRow = hopPosition_ - kDeinterleaveDelay[static_cast<std::size_t>(branch_)];
    if (hopRow < 1)
        hopRow += kHopRows;
    const int readBase = groupBase(mode, hopRow);

    if (decisionCount_ == kFirstDataDecision)
        viterbi_.ViterbiInit();
    std::array<float, 16> toneMetric{};
    for (int t = 0; t < 16; ++t)
        toneMetric[static_cast<std::size_t>(t)] =
            history_(readRow, readBase + t * mode.toneStep, mode.plane) - noise_.toneReference(t, readRow);
    return viterbi_.ViterbiStep(toneMetric);
}

void SymbolDecoder::keepTiming()
{
    if (syncCounter_ == kTimingSlots) {
        syncCounter_ = 0;
        adjustTiming();
    } else {
        ++syncCounter_;
    }
}

void SymbolDecoder::adjustTiming()
{
    // Scan the eight phases from the one half a symbol away; scan position 4 is this
    // row's own phase, so the position found is the shift plus 4.
    constexpr int kHalfSymbol = kRowsPerSymbol / 2;
    int phase = (symbolPhase_ + kHalfSymbol) % kRowsPerSymbol;
    float best = -1;
    int position = 0;
    for (int i = 0; i < kRowsPerSymbol; ++i) {
        if (phaseSum_[static_cast<std::size_t>(phase)] > best) {
            best = phaseSum_[static_cast<std::size_t>(phase)];
            position = i;
        }
        phase = (phase + 1) % kRowsPerSymbol;
    }
    int shift = position - kHalfSymbol;
    symbolCountdown_ = kRowsPerSymbol + shift;
    // Half a symbol either way is the same instant; after a move forward it counts as one.
    if (shift == -kHalfSymbol && lastShift_ > 0)
        shift = kHalfSymbol;
    lastShift_ = shift;
    if (shift < -kLargestTimingShift || shift > kLargestTimingShift)
        output_.CancelMessage();
    observer_.symbolSynchronizationShown(shift);
}

}  // namespace miv
