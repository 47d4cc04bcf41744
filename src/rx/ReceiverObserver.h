#pragma once

#include <optional>
#include <string>

#include "modem/ModemMode.h"

namespace miv {

// The final acquisition a cancelled message reports: other stations' reports read 9 as
// a cancel.
inline constexpr int kCancelledFinalScore = 9;

// A message the receiver has ended (its end marker arrived) or cancelled, with what the
// receiver measured of it.
struct ReceivedMessage {
    int frameScore;        // matching preamble symbols at the lock, of 20
    int finalScore;        // matching end-marker symbols, of 16; 9 for a cancelled message, as other stations expect
    float frequencyShift;  // Hz, at the lock
    int viterbiErrors;     // of 50
    bool cancelled;
    std::string receivedText;  // Windows-1252
    int utcHour;
    int utcMinute;
    // dB in 2500 Hz, where the decoder measured it (the deep path does).
    std::optional<double> snrDb;
};

// What the receiver reports: values only. How they are shown (captions, colours,
// needles, how long a reading is held) is the station's business. Every event has a
// no-op default so an observer takes only what it needs.
class ReceiverObserver {
public:
    virtual ~ReceiverObserver() = default;

    // Reception (re)started: the receive and gauge refresh timers run from now on.
    virtual void receptionStarted() {}
    // Reception stopped for a transmission: the receive tick and the volume, metric and
    // frame-acquisition refresh stop.
    virtual void receptionStopped() {}
    // The frequency shift, measured while locked, in the AFC range then selected.
    virtual void frequencyShiftShown(float /*shiftHz*/, AfcRange /*range*/) {}
    // Rows the decision instant moved, -4..4; 0 at a decoder reset.
    virtual void symbolSynchronizationShown(int /*shiftRows*/) {}
    // A lock on this many of the 20 preamble symbols.
    virtual void frameAcquired(int /*matches*/) {}
    // The end marker, found with this many of its 16 symbols.
    virtual void finalAcquired(int /*matches*/) {}
    virtual void messageEnded(const ReceivedMessage&) {}
    // One 8 kHz output of the HF filter chain, while the waterfall is on.
    virtual void waterfallSample(float /*sample*/) {}
};

}  // namespace miv
