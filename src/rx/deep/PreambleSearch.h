#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <vector>

#include "rx/deep/ComplexTransform.h"
#include "rx/deep/DeepMode.h"
#include "rx/deep/SampleHistory.h"

namespace miv {

// A preamble found by the search: where its first symbol starts and how far off the
// nominal frequency it lies, to within an eighth of a symbol and of a tone bin.
struct PreambleDetection {
    std::int64_t firstSymbolStart;  // sample number
    double offsetHz;
    float score;  // log-likelihood ratio of the 20 preamble symbols, summed
};

// Looks for the 20 preamble symbols at every eighth of a symbol and every quarter of a
// tone bin over the search range. Each symbol slot scores the log-likelihood that its
// expected tone, rather than any of the 16 of its group, was sent: bounded above by
// ln 16, so a strong station sending data (which matches only by chance) scores low,
// and a signal near the noise scores nearly as an energy detector would. Every bin is
// first divided by its own long-term level, so a steady carrier or a sloping noise
// floor counts as noise.
class PreambleSearch {
public:
    explicit PreambleSearch(const DeepMode& mode);

    // Samples between two analyses.
    int rowHop() const { return mode_.symbolSamples / kSearchRowsPerSymbol; }
    // One analysis of the newest symbol-long window; a detection when a preamble's
    // score has peaked above the threshold.
    std::optional<PreambleDetection> analyse(const SampleHistory& history);
    // The best score of the latest analysis, for the frame-acquisition gauge.
    float latestScore() const { return latestScore_; }

private:
    struct Slot {
        int rowsBack;    // before the newest row
        int groupStart;  // fine bins from the search position to tone 0 of its group
        int toneOffset;  // fine bins from tone 0 of the group to the expected tone
    };
    struct Candidate {
        float score;
        int position;
        std::int64_t row;
    };

    void transformNewest(const SampleHistory& history);
    float slotScore(int position) const;
    float* rowData(std::int64_t row, int plane);

    DeepMode mode_;
    int zeroPad_;
    int toneStride_;  // fine bins between tones
    int firstBin_;    // lowest fine bin kept
    int binCount_;
    int lowestPosition_;  // search positions: fine bin of tone 0 of group 1
    int highestPosition_;
    int nominalPosition_;
    int rowsKept_;
    RealTransform transform_;
    std::vector<float> window_;
    std::vector<std::complex<float>> spectrum_;
    std::vector<float> background_;
    std::vector<float> expLikelihood_;  // exp of the newest row's tone likelihoods
    std::vector<float> rows_;           // per row: tone likelihoods, then group log-means
    std::vector<Slot> slots_;
    std::vector<float> scores_;
    std::int64_t rowCount_ = 0;
    std::optional<Candidate> candidate_;
    float latestScore_ = 0;
};

}  // namespace miv
