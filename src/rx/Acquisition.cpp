#include "rx/Acquisition.h"

#include <algorithm>
#include <array>

#include "modem/Frame.h"
#include "rx/ReceiverObserver.h"

namespace miv {

namespace {

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

void Acquisition::AcquireSignal(int row, const ReceiveMode& mode, BinRange range)
{
    // Row and group offset of each preamble slot do not depend on the position.
    std::array<const float*, kPreambleSymbolCount> rows{};
    std::array<int, kPreambleSymbolCount> groupOffset{};
    for (std::size_t k = 0; k < kPreambleSymbolCount; ++k) {
        const int slot = kPreambleSlot[k];
        rows[k] = history_.row(symbolRowBefore(row, kPreambleSpan - slot), mode.plane);
        groupOffset[k] = groupStart(mode, 0, slot);
    }

    // Positions go through in chunks, each slot across the whole chunk at once so the
    // loops run over neighbouring bins. The expected tone is the strongest of its slot
    // (the first maximum in tone order) when it beats every tone below it and is not
    // beaten by one above. Each position's sum still adds its slots in order, and the
    // lock decisions then run position by position as the search order demands.
    const int step = mode.toneStep;
    std::array<float, kChunk> sums;
    std::array<int, kChunk> matches;
    std::array<float, kChunk> below;
    std::array<float, kChunk> above;
    for (int first = range.low; first <= range.high; first += kChunk) {
        const auto n = static_cast<std::size_t>(std::min(kChunk, range.high - first + 1));
        sums.fill(0);
        matches.fill(0);
        for (std::size_t k = 0; k < kPreambleSymbolCount; ++k) {
            const float* tones = rows[k] + groupOffset[k] + first;
            const int expected = PreambleSymbols[k];
            strongest(tones, step, 0, expected, n, below);
            strongest(tones, step, expected + 1, 16, n, above);
            const float* wanted = tones + expected * step;
            for (std::size_t i = 0; i < n; ++i) {
                sums[i] += wanted[i];
                matches[i] += wanted[i] > below[i] && wanted[i] >= above[i];
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (matches[i] > count_)
                count_ = matches[i];
            if (matches[i] >= kMatchesToLock && sums[i] > bestSum_)
                lock(row, mode, first + static_cast<int>(i), matches[i], sums[i]);
        }
    }
}

void Acquisition::lock(int row, const ReceiveMode& mode, int pos, int matches, float sum)
{
    frameScore_ = matches;
    // On HF the lock shows the rate it heard; in the Auto steps that switches the rate
    // the decoder follows.
    if (!switches_.mode().eme)
        switches_.showDetectedRate(mode.plane == SpectrumHistory::kFastPlane);
    bestSum_ = sum;
    startBin_ = pos;
    lockedShift_ = showShift(true);
    lockFlag_ = true;
    listener_.locked(row, mode);
}

void Acquisition::unlock()
{
    lockFlag_ = false;
    bestSum_ = 0;
    enabled_ = true;
}

void Acquisition::clampStartBin(BinRange limits)
{
    startBin_ = std::clamp(startBin_, limits.low, limits.high);
}

float Acquisition::ShowFrequencyShift()
{
    return showShift(lockFlag_);
}

float Acquisition::showShift(bool locked)
{
    if (locked) {
        const ReceiveMode& mode = receiveMode(switches_);
        shownShift_ = static_cast<float>(startBin_ - mode.centreBin()) * mode.binHz;
    }
    observer_.frequencyShiftShown(shownShift_, switches_.afcRange());
    return shownShift_;
}

}  // namespace miv
