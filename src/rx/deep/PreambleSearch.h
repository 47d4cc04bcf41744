#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <vector>

#include "modem/Frame.h"
#include "rx/deep/ComplexTransform.h"
#include "rx/deep/DeepMode.h"
#include "rx/deep/SampleHistory.h"

namespace miv {

// A preamble found by the search: where its first symbol starts, how far off the
// nominal frequency its middle lies, to within an eighth of a symbol and of a tone bin,
// and in EME how fast that frequency drifts.
struct PreambleDetection {
    std::int64_t firstSymbolStart;  // sample number
    double offsetHz;                // at the middle of the preamble, kPreambleMiddle
    double driftHzPerSymbol;
    float score;  // log-likelihood ratio of the 20 preamble symbols, summed
};

// The sent symbol (1-based, fractional) midway through the preamble.
inline constexpr double kPreambleMiddle = (1 + kPreambleSpan) / 2.0;

// Looks for the 20 preamble symbols at every eighth of a symbol and every quarter of a
// tone bin over the search range. Each symbol slot scores the log-likelihood that its
// expected tone, rather than any of the 16 of its group, was sent: bounded above by
// ln 16, so a strong station sending data (which matches only by chance) scores low,
// and a signal near the noise scores nearly as an energy detector would. Every bin is
// first divided by its own long-term level, so a steady carrier or a sloping noise
// floor counts as noise. In EME the preamble's 26 s are also searched for a Doppler
// drift of up to a few hertz a minute, which would otherwise move its last tones a bin
// or more away from its first.
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
        int symbol;      // sent symbol, 1..kPreambleSpan
        int rowsBack;    // before the newest row
        int groupStart;  // fine bins from the search position to tone 0 of its group
        int toneOffset;  // fine bins from tone 0 of the group to the expected tone
    };
    // A drift the search allows for: how far each slot's tones move, in fine bins.
    struct Drift {
        double hzPerSymbol;
        std::vector<int> slotShift;  // by slot
    };
    struct Candidate {
        float score;
        int position;
        std::size_t drift;
        std::int64_t row;
    };

    double fineBinHz() const { return kDeepSampleRate / (mode_.symbolSamples * zeroPad_); }
    int positions() const { return highestPosition_ - lowestPosition_ + 1; }
    void transformNewest(const SampleHistory& history);
    float* rowData(std::int64_t row, int plane);

    DeepMode mode_;
    int zeroPad_;
    int toneStride_;     // fine bins between tones
    int farthestShift_;  // fine bins a drift moves a slot's tones at most
    int firstBin_;       // lowest fine bin kept
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
    std::vector<Drift> drifts_;
    std::vector<float> slotScore_;  // one slot's, from farthestShift_ below the lowest position
    std::vector<float> scores_;     // by drift, then search position
    std::int64_t rowCount_ = 0;
    std::optional<Candidate> candidate_;
    float latestScore_ = 0;
};

}  // namespace miv
