#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/ChannelSettings.h"
#include "modem/ModemMode.h"
#include "station/ReceptionReports.h"

namespace miv::sweep {

// A receive step under test and the mode of the station that sends to it.
struct SweepMode {
    std::string name;         // key in the CSV: "hf2250x16", "eme-narrow", ...
    std::string description;  // "HF 2250 Hz, 16 baud", ...
    ModemMode transmitter;
    ModemMode receiver;  // its autoBaud is the receiver's auto-baud switch
    bool afcWide;
    double maxOffsetHz;  // offsets are drawn evenly from ±maxOffsetHz
    double gridLowDb;    // the published grid, in steps of 0.5 dB, spans the
    double gridHighDb;   // whole fall from every message copied to none
    int trials;          // per SNR in the published sweep
};

// The six fixed-rate receive steps, auto-baud off.
const std::vector<SweepMode>& standardModes();
const SweepMode* findMode(std::string_view name);

// Typical keyboard-to-keyboard lines, 20 to 40 characters, all of which both codes carry.
const std::vector<std::string>& messageTexts();

// What the receiving station shows of a sent text: the 6-bit alphabet has capitals only
// and drops what it cannot carry.
std::string expectedText(const std::string& sent, const ModemMode& transmitter);

// Data bits per character of the texts as the mode's character code sends them.
double meanBitsPerCharacter(const std::vector<std::string>& texts, const ModemMode& transmitter);

// Levenshtein distance: insertions, deletions and substitutions of one character.
std::size_t editDistance(std::string_view a, std::string_view b);

// One trial's transmission and channel, drawn from the sweep's seed alone.
struct TrialSetup {
    std::string text;
    double offsetHz;
    double delaySeconds;      // noise before the transmission starts
    std::uint64_t noiseSeed;  // combined with the SNR's index for each SNR
};
TrialSetup trialSetup(const SweepMode& mode, std::uint64_t seed, int trial, const std::vector<std::string>& texts);
std::uint64_t noiseSeedAt(const TrialSetup& setup, std::size_t snrIndex);

struct TrialOutcome {
    bool acquired = false;  // a message locked within 0.7 tone spacings of the offset
    bool stopped = false;   // that message ended with " <STOP>"
    double cer = 1;         // edit distance over the expected length, at most 1
    std::string received;   // that message's text, without header and ending
};

// Scores the messages a receiver reported against what was sent: the first message
// that locked on the transmission's frequency is the one the operator reads.
TrialOutcome scoreTrial(const std::vector<ReceptionReport>& reports, const std::string& expected, double offsetHz,
                        double toneSpacingHz);

struct PointSummary {
    double snrDb = 0;
    int trials = 0;
    int acquired = 0;
    int copied = 0;  // character error rate under 10 %
    int exact = 0;   // no character wrong
    int stopped = 0;
    double cerSum = 0;

    double share(int count) const { return trials > 0 ? static_cast<double>(count) / trials : 0; }
    double meanCer() const { return trials > 0 ? cerSum / trials : 0; }
};

struct ModeResult {
    const SweepMode* mode;
    Decoder decoder;
    std::vector<PointSummary> points;               // in the order of the SNR grid
    std::vector<TrialSetup> setups;                 // per trial
    std::vector<std::vector<TrialOutcome>> trials;  // [SNR][trial]
};

// One mode's part of a sweep.
struct ModePlan {
    const SweepMode* mode;
    std::vector<double> snrs;  // dB in 2500 Hz
    int trials;                // each its own text, offset, delay and noise
};

// The published plan of a mode: its grid and trial count.
ModePlan publishedPlan(const SweepMode& mode);

struct SweepOptions {
    std::vector<ModePlan> plans;
    std::uint64_t seed = 1;
    Decoder decoder = Decoder::Standard;
    // Fading, drift and clock error of every trial's channel (its SNR, offset, delay and
    // seed are the trial's); none: white noise only.
    ChannelSettings impairments;
    std::vector<std::string> texts = messageTexts();  // drawn from for each trial
    int threads = 2;
    // Called after each finished trial (all its SNRs) with the count done and the total.
    std::function<void(int, int)> progress;
};

// Runs every trial of every mode at every SNR, spread over the threads. The result
// depends on the options only, not on the number of threads or their timing.
std::vector<ModeResult> runSweep(const SweepOptions& options);

// Where the share of copied messages crosses 50 %, interpolated linearly between the
// grid points around the crossing seen from the strongest SNR down.
std::optional<double> copyThreshold(const ModeResult& result);
// Where the mean character error rate crosses `cer`, likewise.
std::optional<double> cerThreshold(const ModeResult& result, double cer);

// "standard" or "deep", as the CSV files name the decoders.
const char* decoderName(Decoder decoder);

void writeCsv(std::ostream& out, const std::vector<ModeResult>& results);
// One line per trial and SNR, with what was sent and what was read.
void writeTrialsCsv(std::ostream& out, const std::vector<ModeResult>& results);

}  // namespace miv::sweep
