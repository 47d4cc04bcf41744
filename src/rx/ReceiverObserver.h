#pragma once

#include <string>

#include "platform/TextWindow.h"

namespace miv {

// Needle positions are percentages of full scale: 0 left, 50 straight up, 100 right.

// The frequency-shift gauge and its caption ("Frequency Shift: ... Hz").
struct FrequencyShiftReading {
    float shift;  // Hz
    std::string caption;
    Colour background;  // red beyond the AFC range's limit, else white
    float needle;       // clamped to 0..100
};

// The symbol-synchronisation gauge ("Symbol Synchronization: ...").
struct SymbolSyncReading {
    int shift;  // rows the decision instant moved, -4..4
    std::string caption;
    float needle;
};

// Frame acquisition at a lock, or final acquisition at the end marker: the gauge, the
// coloured caption, and the hold during which the refresh timer leaves them alone.
struct AcquisitionReading {
    int matches;
    std::string caption;
    Colour background;
    float needle;
    int holdMilliseconds;
};

// What the e-mail report needs when a message ends or is cancelled.
struct ReceptionReport {
    int frameScore;        // of 20
    int finalScore;        // of 16; 9 for a cancelled message, as other stations expect
    float frequencyShift;  // Hz
    int viterbiErrors;     // of 50
    float metric;          // dB, the last metric the gauge showed
    float cpuUsage;        // %, the last CPU load the gauge showed
    float volume;          // dB, the volume reading at the lock
    bool cancelled;
    std::string receivedText;  // Windows-1252
    int utcHour;
    int utcMinute;
};

// What the receiver shows. The window draws; the receiver only reports values. Every
// event has a no-op default so an observer takes only what it needs.
class ReceiverObserver {
public:
    virtual ~ReceiverObserver() = default;

    // Reception (re)started: the receive and gauge refresh timers run from now on.
    virtual void receptionStarted() {}
    // Reception stopped for a transmission: the receive tick and the volume, metric and
    // frame-acquisition refresh stop.
    virtual void receptionStopped() {}
    virtual void frequencyShiftShown(const FrequencyShiftReading&) {}
    virtual void symbolSynchronizationShown(const SymbolSyncReading&) {}
    virtual void frameAcquired(const AcquisitionReading&) {}
    virtual void finalAcquired(const AcquisitionReading&) {}
    // At a lock the error gauge goes to 0 with this caption.
    virtual void viterbiErrorsReset(const std::string& /*caption*/) {}
    // The alarm sounds once, this long after the lock.
    virtual void alarmArmed(int /*intervalMilliseconds*/) {}
    // A lock on HF showed the rate it found on the symbol-rate switch.
    virtual void detectedRateShown(bool /*baud16*/) {}
    virtual void reportTriggered(const ReceptionReport&) {}
    // One 8 kHz output of the HF filter chain, while the waterfall is on.
    virtual void waterfallSample(float /*sample*/) {}
};

}  // namespace miv
