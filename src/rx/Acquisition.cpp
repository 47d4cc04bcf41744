#include "rx/Acquisition.h"

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
        const int slot = PreambleSlot[k];
        rows[k] = history.row(rowBefore(state_.CurrentRow, (kWindowSlots - slot) * kRowsPerSymbol), plane);
        groupOffset[k] = eme ? 0 : (HopTable.group(slot, state_.HopColumn) - 1) * 16 * step;
    }

    for (int pos = lowBin; pos <= highBin; ++pos) {
        float sum = 0;
        int matches = 0;
        for (std::size_t k = 0; k < kPreambleLength; ++k) {
            const float* row = rows[k] + groupOffset[k] + pos;
            const int expected = PreambleSymbols[k];
            sum += row[expected * step];
            float max = -1;
            int strongest = 0;
            for (int t = 0; t < 16; ++t) {
                const float v = row[t * step];
                if (v > max) {
                    max = v;
                    strongest = t;
                }
            }
            matches += strongest == expected;
        }
        if (matches > count_)
            count_ = matches;
        if (matches >= kMatchesToLock && sum > state_.BestSum)
            lock(pos, matches, sum);
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
    const Color background = matches == 14 ? kRed : matches <= 17 ? kYellow : kGreen;
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
