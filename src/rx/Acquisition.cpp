#include "rx/Acquisition.h"

#include <algorithm>
#include <string>

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "rx/FrequencyShiftDisplay.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv {

namespace {

constexpr int kPreambleLength = 20;
constexpr int kWindowSlots = 26;
constexpr int kRowsPerSymbol = 8;
constexpr int kMatchesToLock = 14;
constexpr int kChunk = 256;

// The strongest of tones from..to-1 at each of n neighbouring positions; -1 where
// there are none. Written so the compiler can run it over several positions at once.
void strongest(const float* row, int step, int from, int to, std::size_t n, std::array<float, kChunk>& out)
{
    float* __restrict result = out.data();
    for (std::size_t i = 0; i < n; ++i)
        result[i] = -1;
    for (int t = from; t < to; ++t) {
        const float* __restrict tone = row + t * step;
        for (std::size_t i = 0; i < n; ++i)
            result[i] = tone[i] > result[i] ? tone[i] : result[i];
    }
}

}  // namespace

void Acquisition::AcquireSignal(int lowBin, int highBin)
{
    const auto& history = parts_.history;
    const bool eme = switches_.mode().eme;
    const int step = state_.ToneStep;
    const int plane = state_.SpectrumPlane;

    // Row and group offset of each preamble slot do not depend on the position.
    std::array<const float*, kPreambleLength> rows{};
    std::array<int, kPreambleLength> groupOffset{};
    for (std::size_t k = 0; k < kPreambleLength; ++k) {
        const int slot = kPreambleSlot[k];
        rows[k] = history.row(rowBefore(state_.CurrentRow, (kWindowSlots - slot) * kRowsPerSymbol), plane);
        groupOffset[k] = eme ? 0 : (HopTable.group(slot, state_.HopColumn) - 1) * 16 * step;
    }

    // Positions go through in chunks, each slot across the whole chunk at once so the
    // loops run over neighbouring bins. The expected tone is the strongest of its slot
    // (the first maximum in tone order) when it beats every tone below it and is not
    // beaten by one above. Each position's sum still adds its slots in order, and the
    // lock decisions then run position by position as the search order demands.
    std::array<float, kChunk> sums;
    std::array<int, kChunk> matches;
    std::array<float, kChunk> below;
    std::array<float, kChunk> above;
    for (int first = lowBin; first <= highBin; first += kChunk) {
        const auto n = static_cast<std::size_t>(std::min(kChunk, highBin - first + 1));
        sums.fill(0);
        matches.fill(0);
        for (std::size_t k = 0; k < kPreambleLength; ++k) {
            const float* row = rows[k] + groupOffset[k] + first;
            const int expected = PreambleSymbols[k];
            strongest(row, step, 0, expected, n, below);
            strongest(row, step, expected + 1, 16, n, above);
            const float* wanted = row + expected * step;
            for (std::size_t i = 0; i < n; ++i) {
                sums[i] += wanted[i];
                matches[i] += wanted[i] > below[i] && wanted[i] >= above[i];
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (matches[i] > count_)
                count_ = matches[i];
            if (matches[i] >= kMatchesToLock && sums[i] > state_.BestSum)
                lock(first + static_cast<int>(i), matches[i], sums[i]);
        }
    }
}

void Acquisition::lock(int pos, int matches, float sum)
{
    state_.FrameScore = matches;
    if (!switches_.mode().eme) {
        const bool baud16 = state_.SpectrumPlane == 1;
        switches_.showDetectedRate(baud16);
        observer_.detectedRateShown(baud16);
    }
    if (switches_.alarmOn())
        observer_.alarmArmed(alarmInterval(switches_));
    state_.BestSum = sum;
    state_.StartBin = pos;
    state_.FrequencyShift = parts_.shiftDisplay.ShowLockedShift();
    state_.AcquisitionVolume = parts_.gauges.volume;

    if (estimatesToneNoise(switches_)) {
        // The three data symbols already inside the window.
        for (int slot : {21, 24, 25}) {
            const int row = rowBefore(state_.CurrentRow, (kWindowSlots - slot) * kRowsPerSymbol);
            const int start = (HopTable.group(slot, state_.HopColumn) - 1) * 16 * state_.ToneStep + state_.StartBin;
            int symbolNumber = slot;
            parts_.noise.EstimateToneNoise(row, start, symbolNumber);
        }
    }

    state_.LockFlag = true;
    parts_.output.clearReceivedText();
    parts_.decoder.reset();
    observer_.viterbiErrorsReset("Errors by Viterbi: 0/50");
    const Colour background = matches == 14 ? Colour::Red : matches <= 17 ? Colour::Yellow : Colour::Green;
    observer_.frameAcquired({matches, "Frame Acquisition: " + std::to_string(matches) + "/20", background,
                             static_cast<float>(matches * 100) / 20, 8000});

    // Prime the metric so the gauge does not start from the floor.
    const float peak = parts_.output.LastPeakLevel();
    constexpr float kHalfScale = 16383.5f;
    if (peak != 0) {
        const float sample = peak > kHalfScale ? state_.BestSum / (40 * peak) : state_.BestSum / (20 * peak);
        for (int i = 0; i < 20; ++i)
            parts_.output.Metric(sample);
    }
}

}  // namespace miv
