#include "rx/deep/PreambleSearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "modem/Frame.h"
#include "rx/deep/ToneLikelihood.h"

namespace miv {

namespace {

// Spectra are zero-padded to four times the symbol, so a tone lies within an eighth of
// a bin of some analysis frequency.
constexpr int kZeroPad = 4;
// The Es/N0 the likelihoods assume: that of a signal near the limit of copy.
constexpr float kSearchEsOverN0 = 4.0f;
// A bin's energy over its long-term level is clipped here, so that a burst cannot
// outweigh many symbols.
constexpr float kEnergyClip = 200.0f;
// The long-term level of a bin follows its energy with this weight per analysis.
constexpr float kBackgroundWeight = 1.0f / 64;
// Summed log-likelihood ratio a preamble must reach; set from the false-alarm rate
// measured on noise (docs/performance.md).
constexpr float kDetectionThreshold = 14.0f;
// Analyses to wait after the best score before reporting it.
constexpr int kPeakWait = 3;
// Doppler drifts searched in EME, Hz per minute: 2 apart, so the preamble's outer
// tones lie within a fifth of a bin of one of them.
constexpr std::array<double, 7> kEmeDriftsHzPerMinute{-6, -4, -2, 0, 2, 4, 6};
constexpr std::array<double, 1> kNoDrift{0};

}  // namespace

PreambleSearch::PreambleSearch(const DeepMode& mode)
    : mode_(mode),
      zeroPad_(kZeroPad),
      toneStride_(mode.toneBins * kZeroPad),
      transform_(mode.symbolSamples * kZeroPad),
      window_(static_cast<std::size_t>(mode.symbolSamples * kZeroPad)),
      spectrum_(static_cast<std::size_t>(mode.symbolSamples * kZeroPad / 2 + 1))
{
    for (int k = 0; k < 20; ++k) {
        const int slot = kPreambleSlot[static_cast<std::size_t>(k)];
        slots_.push_back({slot, (kPreambleSpan - slot) * kSearchRowsPerSymbol,
                          (mode.group(slot) - 1) * kTonesPerGroup * toneStride_,
                          PreambleSymbols[static_cast<std::size_t>(k)] * toneStride_});
    }
    const double binWidth = fineBinHz();
    farthestShift_ = 0;
    const std::span<const double> driftsHzPerMinute =
        mode.eme() ? std::span<const double>(kEmeDriftsHzPerMinute) : std::span<const double>(kNoDrift);
    for (const double perMinute : driftsHzPerMinute) {
        Drift drift{perMinute / 60 / mode.symbolRate(), {}};
        for (const Slot& slot : slots_) {
            const int shift =
                static_cast<int>(std::lround(drift.hzPerSymbol * (slot.symbol - kPreambleMiddle) / binWidth));
            drift.slotShift.push_back(shift);
            farthestShift_ = std::max(farthestShift_, std::abs(shift));
        }
        drifts_.push_back(std::move(drift));
    }
    nominalPosition_ = static_cast<int>(std::lround(mode.lowestTone / binWidth));
    const int reach = static_cast<int>(std::lround(mode.searchHz / binWidth));
    lowestPosition_ = nominalPosition_ - reach;
    highestPosition_ = nominalPosition_ + reach;
    firstBin_ = lowestPosition_ - farthestShift_;
    const int span = (mode.groups * kTonesPerGroup - 1) * toneStride_;
    binCount_ = highestPosition_ + span + farthestShift_ - firstBin_ + 1;
    rowsKept_ = (kPreambleSpan - 1) * kSearchRowsPerSymbol + 1;
    background_.assign(static_cast<std::size_t>(binCount_), 0.0f);
    expLikelihood_.resize(static_cast<std::size_t>(binCount_));
    rows_.assign(static_cast<std::size_t>(rowsKept_) * 2 * static_cast<std::size_t>(binCount_), 0.0f);
    scores_.resize(drifts_.size() * static_cast<std::size_t>(positions()));
    slotScore_.resize(static_cast<std::size_t>(positions() + 2 * farthestShift_));
}

float* PreambleSearch::rowData(std::int64_t row, int plane)
{
    const std::size_t r = static_cast<std::size_t>(row % rowsKept_);
    return rows_.data() + (r * 2 + static_cast<std::size_t>(plane)) * static_cast<std::size_t>(binCount_);
}

void PreambleSearch::transformNewest(const SampleHistory& history)
{
    const int n = mode_.symbolSamples;
    const std::int64_t first = history.count() - n;
    for (int i = 0; i < n; ++i)
        window_[static_cast<std::size_t>(i)] = history.at(first + i);
    std::fill(window_.begin() + n, window_.end(), 0.0f);
    transform_.forward(window_.data(), spectrum_.data());

    float* likelihood = rowData(rowCount_, 0);
    float* groupMean = rowData(rowCount_, 1);

    for (int b = 0; b < binCount_; ++b) {
        const float power = std::norm(spectrum_[static_cast<std::size_t>(firstBin_ + b)]);
        float& level = background_[static_cast<std::size_t>(b)];
        level = level == 0 ? power : level + kBackgroundWeight * (power - level);
        const float energy = level > 0 ? std::min(power / level, kEnergyClip) : 0.0f;
        likelihood[b] = toneLogLikelihood(energy, kSearchEsOverN0);
        expLikelihood_[static_cast<std::size_t>(b)] = std::exp(likelihood[b]);
    }
    const int groupBins = (kTonesPerGroup - 1) * toneStride_;
    for (int b = 0; b + groupBins < binCount_; ++b) {
        double sum = 0;
        for (int j = 0; j < kTonesPerGroup; ++j)
            sum += expLikelihood_[static_cast<std::size_t>(b + j * toneStride_)];
        groupMean[b] = static_cast<float>(std::log(sum / kTonesPerGroup));
    }
}

std::optional<PreambleDetection> PreambleSearch::analyse(const SampleHistory& history)
{
    if (history.count() < mode_.symbolSamples)
        return std::nullopt;
    transformNewest(history);
    const std::int64_t row = rowCount_++;
    if (row < rowsKept_ - 1)
        return std::nullopt;

    std::fill(scores_.begin(), scores_.end(), 0.0f);
    const auto positionCount = static_cast<std::size_t>(positions());
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        // The slot's score at every bin its drifted positions can reach, shared by the drifts.
        const Slot& slot = slots_[k];
        const float* likelihood = rowData(row - slot.rowsBack, 0) + slot.toneOffset;
        const float* groupMean = rowData(row - slot.rowsBack, 1);
        const int first = lowestPosition_ - firstBin_ + slot.groupStart - farthestShift_;
        for (std::size_t i = 0; i < slotScore_.size(); ++i)
            slotScore_[i] = likelihood[first + static_cast<int>(i)] - groupMean[first + static_cast<int>(i)];
        for (std::size_t d = 0; d < drifts_.size(); ++d) {
            float* scores = scores_.data() + d * positionCount;
            const float* shifted = slotScore_.data() + farthestShift_ + drifts_[d].slotShift[k];
            for (std::size_t i = 0; i < positionCount; ++i)
                scores[i] += shifted[i];
        }
    }
    const auto best = static_cast<std::size_t>(std::max_element(scores_.begin(), scores_.end()) - scores_.begin());
    latestScore_ = scores_[best];

    if (latestScore_ >= kDetectionThreshold && (!candidate_ || latestScore_ > candidate_->score))
        candidate_ = Candidate{latestScore_, lowestPosition_ + static_cast<int>(best % positionCount),
                               best / positionCount, row};
    if (!candidate_ || row - candidate_->row < kPeakWait)
        return std::nullopt;

    const Candidate found = *candidate_;
    candidate_.reset();
    const std::int64_t windowEnd = history.count() - (row - found.row) * rowHop();
    return PreambleDetection{windowEnd - static_cast<std::int64_t>(kPreambleSpan) * mode_.symbolSamples,
                             (found.position - nominalPosition_) * fineBinHz(), drifts_[found.drift].hzPerSymbol,
                             found.score};
}

}  // namespace miv
