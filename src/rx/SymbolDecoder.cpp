#include "rx/SymbolDecoder.h"

#include <string>

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "rx/FinalAcquisition.h"
#include "rx/FrequencyShiftDisplay.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv {

namespace {

constexpr int kRowsPerSymbol = 8;
constexpr int kTimingSlots = 32;
// Rows and hop rows back to the symbol each de-interleaver branch reads.
constexpr std::array<int, 4> kBranchDelay{6, 4, 2, 0};

int nextHopRow(int row)
{
    return row == kHopRows ? 1 : row + 1;
}

}  // namespace

int ToneTracker::ToneTracking(int bin)
{
    const ModemMode& mode = switches_.mode();
    // Ring length and decisions between corrections.
    const int length = !mode.eme && mode.baud16 ? 16 : 4;
    trackSlot_ = trackSlot_ >= length ? 1 : trackSlot_ + 1;

    const BinRange limits = startBinLimits(switches_);
    const int lowest = state_.StartBin <= limits.low ? 0 : -1;
    const int highest = state_.StartBin >= limits.high ? 0 : 1;
    for (int j = lowest; j <= highest; ++j) {
        const float magnitude = history_(state_.CurrentRow, bin + j, state_.SpectrumPlane);
        auto& window = trackWindow_[static_cast<std::size_t>(j + 1)][static_cast<std::size_t>(trackSlot_)];
        auto& sum = trackSum_[static_cast<std::size_t>(j + 1)];
        sum += magnitude - window;
        window = magnitude;
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

SymbolDecoder::SymbolDecoder(ReceiveState& state, const ModeSwitches& switches, ReceiverObserver& observer,
                             const Parts& parts)
    : state_(state),
      switches_(switches),
      observer_(observer),
      parts_(parts),
      tracker_(state, parts.history, switches)
{
}

void SymbolDecoder::reset()
{
    parts_.finalAcquisition.reset();
    SymbolCount = 0;
    tracker_.reset();
    WindowSlot = 1;
    SymbolPhase = 1;
    SymbolCountdown = 1;
    SyncCounter = 0;
    InterleaveBranch = 4;
    HopPosition = 25;
    observer_.symbolSynchronizationShown({0, "Symbol Synchronization: 0", 50});
}

int SymbolDecoder::DeinterleaveRow(int branch) const
{
    return rowBefore(state_.CurrentRow, kRowsPerSymbol * kBranchDelay[static_cast<std::size_t>(branch - 1)]);
}

int SymbolDecoder::groupBase(int hopPosition) const
{
    if (switches_.mode().eme)
        return state_.StartBin;
    const int group = HopTable.group(hopPosition, state_.HopColumn);
    return state_.StartBin + (group - 1) * 16 * state_.ToneStep;
}

void SymbolDecoder::DecodeStep()
{
    // The last three rows before a decision already belong to the next symbol's group.
    const int base = groupBase(SymbolCountdown >= 4 ? HopPosition : nextHopRow(HopPosition));

    const auto& history = parts_.history;
    float rowPeak = -1;
    for (int k = 1; k <= 16; ++k) {
        const float v = history(state_.CurrentRow, base + (k % 16) * state_.ToneStep, state_.SpectrumPlane);
        if (v > rowPeak)
            rowPeak = v;
    }

    auto& stored = PhaseWindow[static_cast<std::size_t>(SymbolPhase)][static_cast<std::size_t>(WindowSlot)];
    PhaseSum[static_cast<std::size_t>(SymbolPhase)] += rowPeak - stored;
    stored = rowPeak;

    if (--SymbolCountdown == 0)
        decide(base, rowPeak);

    if (++SymbolPhase > kRowsPerSymbol) {
        SymbolPhase = 1;
        WindowSlot = WindowSlot == kTimingSlots ? 1 : WindowSlot + 1;
    }
}

void SymbolDecoder::decide(int base, float rowPeak)
{
    const auto& history = parts_.history;
    const int row = state_.CurrentRow;
    const int step = state_.ToneStep;
    const int plane = state_.SpectrumPlane;
    SymbolCountdown = kRowsPerSymbol;

    if (estimatesToneNoise(switches_)) {
        int symbolNumber = HopPosition + 1;
        parts_.noise.EstimateToneNoise(row, base, symbolNumber);
    }

    // Tone 1 first, then 2..15, then 0: an all-equal row decides tone 1.
    std::uint8_t hardTone = 1;
    float best = history(row, base + step, plane) - parts_.noise.ToneReference(1, row);
    for (int k = 2; k <= 16; ++k) {
        const int tone = k % 16;
        const float v = history(row, base + tone * step, plane) - parts_.noise.ToneReference(tone, row);
        if (v > best) {
            best = v;
            hardTone = static_cast<std::uint8_t>(tone);
        }
    }
    const int hardBin = base + hardTone * step;
    HardTone_ = hardTone;

    HopPosition = nextHopRow(HopPosition);
    if (SymbolCount <= 22)
        ++SymbolCount;

    if (state_.LockFlag)
        state_.StartBin += tracker_.ToneTracking(hardBin);
    if (state_.StartBin != LastStartBin) {
        parts_.shiftDisplay.ShowFrequencyShift();
        LastStartBin = state_.StartBin;
    }

    const int delay = kBranchDelay[static_cast<std::size_t>(InterleaveBranch - 1)];
    const int readRow = DeinterleaveRow(InterleaveBranch);
    int hopRow = HopPosition - delay;
    if (hopRow < 1)
        hopRow += kHopRows;
    const int readBase = groupBase(hopRow);

    if (SymbolCount == 2)
        viterbi_.ViterbiInit();
    std::array<float, 16> toneMetric{};
    for (int t = 0; t < 16; ++t)
        toneMetric[static_cast<std::size_t>(t)] =
            history(readRow, readBase + t * step, plane) - parts_.noise.ToneReference(t, readRow);
    const ViterbiDecoder::Decision decision = viterbi_.ViterbiStep(toneMetric);

    MessageOutput& output = parts_.output;
    output.RecordMetricSample(rowPeak, parts_.peakLevel);
    if (SymbolCount == 4 && state_.LockFlag)
        output.WriteHeader();
    if (SymbolCount == 17)
        output.resetCharacterDecoders();
    else if (SymbolCount >= 18 && state_.LockFlag)
        output.decodeBits(decision.firstBit, decision.secondBit);

    if (state_.LockFlag && parts_.finalAcquisition.add(hardTone)) {
        state_.FinalScore = parts_.finalAcquisition.FinalScore();
        output.endMessage();
    }

    output.CountViterbiErrors(InterleaveBranch, hardTone, decision.symbol, SymbolCount);
    InterleaveBranch = InterleaveBranch == 4 ? 1 : InterleaveBranch + 1;

    if (SyncCounter == kTimingSlots) {
        SyncCounter = 0;
        adjustTiming();
    } else {
        ++SyncCounter;
    }
}

void SymbolDecoder::adjustTiming()
{
    // Scan the eight phases starting half a symbol away; position 5 is the current one.
    int p = SymbolPhase + 4;
    if (p > kRowsPerSymbol)
        p -= kRowsPerSymbol;
    float best = -1;
    int position = 1;
    for (int i = 1; i <= kRowsPerSymbol; ++i) {
        if (PhaseSum[static_cast<std::size_t>(p)] > best) {
            best = PhaseSum[static_cast<std::size_t>(p)];
            position = i;
        }
        p = p == kRowsPerSymbol ? 1 : p + 1;
    }
    SymbolCountdown = position + 3;
    int shift = position - 5;
    if (shift == -4 && LastShift > 0)
        shift = 4;
    LastShift = shift;
    // Two rows or more either way: the timing is lost.
    if (shift < -1 || shift > 1)
        parts_.output.CancelMessage();
    observer_.symbolSynchronizationShown(
        {shift, "Symbol Synchronization: " + std::to_string(shift), 50 + 100 * static_cast<float>(shift) / 8});
}

}  // namespace miv
