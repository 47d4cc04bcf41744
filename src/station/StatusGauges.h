#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "modem/ModemMode.h"
#include "platform/Colour.h"

namespace miv {

// The eight needle gauges, numbered as the drawing routine numbers them.
enum class Gauge : std::uint8_t {
    FrequencyShift = 1,
    SymbolSynchronization,
    Metric,
    Errors,
    FrameAcquisition,
    Cpu,
    FinalAcquisition,
    Volume,
};
inline constexpr int kGaugeCount = 8;

// What one gauge shows: its needle and the caption box beneath it.
struct GaugeDisplay {
    float needle = 0;  // percent of full scale, 50 the centre; not clamped
    std::string caption;
    Colour background = Colour::White;
};

// The gauges an operation changed, so the window redraws only those.
class GaugeSet {
public:
    void add(Gauge gauge) { bits_ |= bit(gauge); }
    bool contains(Gauge gauge) const { return (bits_ & bit(gauge)) != 0; }
    bool empty() const { return bits_ == 0; }
    GaugeSet& operator|=(GaugeSet other)
    {
        bits_ |= other.bits_;
        return *this;
    }
    friend bool operator==(GaugeSet, GaugeSet) = default;

private:
    static std::uint8_t bit(Gauge gauge) { return static_cast<std::uint8_t>(1u << (static_cast<int>(gauge) - 1)); }
    std::uint8_t bits_ = 0;
};

// What the gauges last showed, which the e-mail report of a message quotes.
struct GaugeReadings {
    float metricDb;        // the metric last shown
    float cpuPercent;      // the CPU load last shown
    float volumeAtLockDb;  // the volume shown when the message's frame was acquired
};

// Turns the receiver's counters and events into needle positions, captions and caption
// colours: the one place that knows how the gauges show a value. The window's timers
// call the refresh operations (volume every 100 ms; metric and errors, frame and final
// acquisition every 200 ms; CPU every 1000 ms) and redraw the gauges each call
// returns. Reads the mode from the switches at each call.
class StatusGauges {
public:
    // How long an acquisition's reading stays on show before the refresh resumes.
    static constexpr int kAcquisitionHoldMs = 8000;

    explicit StatusGauges(const ModeSwitches& switches);

    const GaugeDisplay& display(Gauge gauge) const;

    // Every gauge at rest; at the start of each transmission.
    GaugeSet resetAll();
    // The reset plus the frequency shift and CPU lines at their zero values.
    GaugeSet startUp();

    // peakLevelGauge: the largest 8 kHz sample magnitude since the last call; the caller
    // sets it back to 0.
    GaugeSet refreshVolume(float peakLevelGauge);
    // metricDb: the decoder metric in computing mode; viterbiErrors: out of 50.
    GaugeSet refreshMetricAndErrors(float metricDb, int viterbiErrors);
    // When the result holds the gauge, the count was shown and the caller sets it back
    // to 0; during a hold nothing is shown and the count keeps growing.
    GaugeSet refreshFrameAcquisition(int frameAcquisitionCount);
    GaugeSet refreshFinalAcquisition(int finalAcquisitionCount, bool lockFlag);
    GaugeSet refreshCpu(float loadPercent);

    // Events of the receiver.
    GaugeSet showFrequencyShift(float shiftHz, AfcRange range);
    // Timing shift in rows (-4..4); 0 after a decoder reset.
    GaugeSet showSymbolSynchronization(int shiftRows);
    // A lock with this many of 20 preamble symbols: errors back to 0, the count shown
    // in its colour and held; the window starts its hold timer.
    GaugeSet frameAcquired(int matches);
    GaugeSet frameHoldExpired();
    // The end marker found with this many of 16 symbols; held like a frame acquisition.
    GaugeSet finalAcquired(int matches);
    GaugeSet finalHoldExpired();

    bool frameHoldActive() const { return frameHold_; }
    bool finalHoldActive() const { return finalHold_; }

    GaugeReadings readings() const { return {lastMetric_, lastCpu_, volumeAtLock_}; }

private:
    GaugeDisplay& at(Gauge gauge) { return displays_[static_cast<std::size_t>(gauge) - 1]; }
    float metricFloor() const;

    const ModeSwitches& switches_;
    std::array<GaugeDisplay, kGaugeCount> displays_;
    float volumeDb_ = -20.0f;
    float volumeAtLock_ = -20.0f;
    float lastMetric_ = 0.0f;
    float lastCpu_ = 0.0f;
    int errorsShown_ = 0;
    int finalShown_ = 0;
    bool frameHold_ = false;
    bool finalHold_ = false;
};

}  // namespace miv
