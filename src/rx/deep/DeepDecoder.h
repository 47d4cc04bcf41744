#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "rx/deep/DeepMode.h"
#include "rx/deep/LineTracker.h"
#include "rx/deep/PreambleSearch.h"
#include "rx/deep/SampleHistory.h"
#include "rx/deep/SoftViterbi.h"
#include "rx/deep/SymbolDemodulator.h"

namespace miv {

// What the deep decoder tells the receive window and the gauges.
class DeepMessageSink {
public:
    virtual ~DeepMessageSink() = default;
    // The lock is on a signal: the message's header goes out now.
    virtual void messageStarted(double shiftHz, int frameScore) = 0;
    virtual void bitsDecoded(std::uint8_t first, std::uint8_t second) = 0;
    // The end marker arrived, matched by `finalScore` of its first 16 hard decisions.
    virtual void messageEnded(int finalScore) = 0;
    virtual void messageCancelled() = 0;
};

// Receives one message from its preamble to its end marker. Timing and frequency are
// fitted to the preamble, then to every symbol whose tone is known or decided; each
// symbol is read through matched filters at the tracked timing and frequency, its 16
// tone energies become likelihoods scaled by the measured Es/N0, the interleaving is
// undone and a Viterbi decoder with a long decision delay, which knows the encoder
// starts cleared and is cleared again before the end marker, decides the bits.
// Nothing is shown until the decoded symbols prove that the lock is on a signal.
class DeepDecoder {
public:
    DeepDecoder(const DeepMode& mode, DeepMessageSink& sink);

    void start(const SampleHistory& history, const PreambleDetection& detection);
    // Decodes every symbol whose samples have arrived.
    void advance(const SampleHistory& history);
    // Ends the message in progress: " <CANCEL>" once it has been shown.
    void cancel();

    bool active() const { return active_; }
    bool confirmed() const { return confirmed_; }
    const DeepMode& mode() const { return mode_; }
    float preambleScore() const { return preambleScore_; }
    // Readings for the gauges and the reports.
    double shiftHz() const { return offsetHz_; }
    // How far the symbol timing has moved since the message was shown, in eighths of a
    // symbol (the standard decoder's timing steps), −4..4.
    int timingDriftRows() const;
    // Symbol errors the decoder corrected among the latest 50 decided symbols.
    int viterbiErrors() const { return errorCount_; }
    // Signal-to-noise ratio of the message in 2500 Hz, from its measured Es/N0.
    double snrDb() const;

private:
    // One received symbol, by interleaver input.
    struct Symbol {
        std::array<float, 16> energy{};      // over the noise power
        std::array<float, 16> likelihood{};  // log-likelihood of each tone
        int input = 0;                       // interleaver input it holds; 0 before it arrives
    };
    // How one sent symbol was read.
    struct Reading {
        int symbol = 0;
        std::int64_t start = 0;
        double groupHz = 0;  // tone 0 of its group, offset included
        float noise = 0;     // noise energy per bin it was read with
    };
    struct KnownTone {
        int symbol;
        int tone;
    };
    // Timing and frequency as lines through the symbol numbers.
    struct Fit {
        double middle;  // symbol number the lines are anchored at
        double start;   // first sample of that symbol
        double offsetHz;
        double samplesPerSymbol;
        double driftHzPerSymbol;
    };

    // Timing and frequency that give the known tones the most energy, searched on a
    // grid around `guess` with its slopes; the grid's steps are `symbolFraction` of a
    // symbol and `binFraction` of a bin, then a quarter of that.
    Fit fitSynchronisation(const SampleHistory& history, const std::vector<KnownTone>& known, Fit guess,
                           double symbolFraction, double binFraction) const;
    void startTracking(const Fit& fit, double trust);
    void resynchronise(const SampleHistory& history, const std::vector<std::uint8_t>& path);
    void restart();
    void readSymbol(const SampleHistory& history);
    void measure(const SampleHistory& history, int symbol, int tone, float energy);
    void feedDecoder(const SampleHistory& history);
    bool confirmOrRestart(const SampleHistory& history);
    // Whether the tones of this best path stand far enough above the noise to be a signal.
    bool onSignal(const std::vector<std::uint8_t>& path) const;
    void decided(int input, int tone);
    bool endMarkerAt(int m) const;
    void release(std::uint8_t first, std::uint8_t second);
    void finishAtEndMarker(int m);
    std::size_t textBitsBeforeMarker(const std::vector<std::uint8_t>& tail) const;
    void show();
    void stop();
    Symbol& symbolAt(int input) { return symbols_[static_cast<std::size_t>(input) % symbols_.size()]; }
    const Symbol& symbolAt(int input) const { return symbols_[static_cast<std::size_t>(input) % symbols_.size()]; }
    Reading& readingOf(int symbol) { return readings_[static_cast<std::size_t>(symbol) % readings_.size()]; }

    DeepMode mode_;
    DeepMessageSink& sink_;
    SymbolDemodulator demodulator_;
    SoftViterbi viterbi_;
    bool active_ = false;
    bool confirmed_ = false;
    bool resynchronised_ = false;
    float preambleScore_ = 0;

    LineTracker timing_;      // first sample of each sent symbol
    LineTracker frequency_;   // offset from the nominal frequency, Hz
    double offsetHz_ = 0;     // as last read
    int nextSymbol_ = 1;      // sent symbol number, 1 the first preamble symbol
    double shownTiming_ = 0;  // timing_ at symbol 1 as the message was shown
    float noise_ = 0;         // noise energy per bin
    float esOverN0_ = 0;
    int frameScore_ = 0;
    std::array<Reading, 128> readings_{};

    std::array<Symbol, 64> symbols_{};
    int nextInput_ = 0;   // next interleaver input the decoder takes
    long bitsShown_ = 0;  // data bits handed on since the message started
    std::deque<std::uint8_t> recentErrors_;
    int errorCount_ = 0;
    std::deque<float> recentQuality_;
    float qualitySum_ = 0;
};

}  // namespace miv
