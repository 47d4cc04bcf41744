#include "rx/deep/PreambleSearch.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

PreambleSearch::PreambleSearch(const DeepMode& mode)
    : mode_(mode),
      zeroPad_(kZeroPad),
      toneStride_(mode.toneBins * kZeroPad),
      transform_(mode.symbolSamples * kZeroPad),
      window_(static_cast<std::size_t>(mode.symbolSamples * kZeroPad)),
      spectrum_(static_cast<std::size_t>(mode.symbolSamples * kZeroPad / 2 + 1))
{
    const double binWidth = kDeepSampleRate / (mode.symbolSamples * zeroPad_);
    nominalPosition_ = static_cast<int>(std::lround(mode.lowestTone / binWidth));
    const int reach = static_cast<int>(std::lround(mode.searchHz / binWidth));
    lowestPosition_ = nominalPosition_ - reach;
    highestPosition_ = nominalPosition_ + reach;
    firstBin_ = lowestPosition_;
    const int span = (mode.groups * kTonesPerGroup - 1) * toneStride_;
    binCount_ = highestPosition_ + span - firstBin_ + 1;
    rowsKept_ = (kPreambleSpan - 1) * kSearchRowsPerSymbol + 1;
    background_.assign(static_cast<std::size_t>(binCount_), 0.0f);
    expLikelihood_.resize(static_cast<std::size_t>(binCount_));
    rows_.assign(static_cast<std::size_t>(rowsKept_) * 2 * static_cast<std::size_t>(binCount_), 0.0f);
    scores_.resize(static_cast<std::size_t>(highestPosition_ - lowestPosition_ + 1));
    for (int k = 0; k < 20; ++k) {
        const int slot = kPreambleSlot[static_cast<std::size_t>(k)];
        slots_.push_back({(kPreambleSpan - slot) * kSearchRowsPerSymbol,
                          (mode.group(slot) - 1) * kTonesPerGroup * toneStride_,
                          PreambleSymbols[static_cast<std::size_t>(k)] * toneStride_});
    }
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

    float best = -1e30f;
    int bestPosition = lowestPosition_;
    std::fill(scores_.begin(), scores_.end(), 0.0f);
    for (const Slot& slot : slots_) {
        const float* likelihood = rowData(row - slot.rowsBack, 0);
        const float* groupMean = rowData(row - slot.rowsBack, 1);
        const int base = lowestPosition_ - firstBin_ + slot.groupStart;
        for (std::size_t i = 0; i < scores_.size(); ++i) {
            const int b = base + static_cast<int>(i);
            scores_[i] += likelihood[b + slot.toneOffset] - groupMean[b];
        }
    }
    for (std::size_t i = 0; i < scores_.size(); ++i) {
        if (scores_[i] > best) {
            best = scores_[i];
            bestPosition = lowestPosition_ + static_cast<int>(i);
        }
    }
    latestScore_ = best;

    if (best >= kDetectionThreshold && (!candidate_ || best > candidate_->score))
        candidate_ = Candidate{best, bestPosition, row};
    if (!candidate_ || row - candidate_->row < kPeakWait)
        return std::nullopt;

    const Candidate found = *candidate_;
    candidate_.reset();
    const std::int64_t windowEnd = history.count() - (row - found.row) * rowHop();
    const double binWidth = kDeepSampleRate / (mode_.symbolSamples * zeroPad_);
    return PreambleDetection{windowEnd - static_cast<std::int64_t>(kPreambleSpan) * mode_.symbolSamples,
                             (found.position - nominalPosition_) * binWidth, found.score};
}

}  // namespace miv
