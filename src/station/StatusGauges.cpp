#include "station/StatusGauges.h"

#include <algorithm>
#include <cmath>

#include "modem/Frame.h"
#include "modem/Picture.h"
#include "rx/ReceiveModes.h"

namespace miv {

namespace {

constexpr float kFullScale = 32767.0f;  // 16-bit sample magnitude
constexpr float kSilentDb = -20.0f;     // volume shown for a silent input, the needle's left end
constexpr int kErrorsFullScale = 27;    // more errors than this pin the needle
constexpr float kCpuAlarmPercent = 87.5f;
// Acquisition captions are yellow above the lowest count that acquires, up to these.
constexpr int kFrameYellowUpTo = 17;
constexpr int kFinalYellowUpTo = 12;

// log10 with the non-positive arguments a silent input produces mapped to 0.
double log10OrZero(double x)
{
    return x > 0 ? std::log10(x) : 0.0;
}

std::string integer(double value)
{
    return formatPicture(value, "0");
}

std::string frameCaption(int n)
{
    return "Frame Acquisition: " + integer(n) + "/" + "20";
}

std::string finalCaption(int n)
{
    return "Final Acquisition: " + integer(n) + "/" + "16";
}

std::string errorsCaption(int e)
{
    return "Errors by Viterbi: " + integer(e) + "/" + "50";
}

// Background of an acquisition caption: red at the lowest count that acquires, yellow
// up to yellowUpTo, green above.
Colour acquisitionColour(int matches, int redAt, int yellowUpTo)
{
    if (matches <= redAt)
        return Colour::Red;
    return matches <= yellowUpTo ? Colour::Yellow : Colour::Green;
}

// The shift beyond which the caption turns red, by AFC range; the needle's dial spans
// twice that.
struct ShiftLimit {
    float hz;
    bool inclusive;  // EME wide turns red at the limit itself
};

ShiftLimit shiftLimit(AfcRange range)
{
    switch (range) {
    case AfcRange::HfNarrow:
        return {78.125f, false};
    case AfcRange::EmeWide:
        return {1300.0f, true};
    case AfcRange::EmeNarrow:
        return {609.375f, false};
    case AfcRange::HfWide:
        break;
    }
    return {203.125f, false};
}

}  // namespace

StatusGauges::StatusGauges(const ModeSwitches& switches) : switches_(switches)
{
}

const GaugeDisplay& StatusGauges::display(Gauge gauge) const
{
    return displays_[static_cast<std::size_t>(gauge) - 1];
}

float StatusGauges::metricFloor() const
{
    return receiveMode(switches_).metricFloorDb;
}

GaugeSet StatusGauges::resetAll()
{
    GaugeSet changed;
    for (int g = 2; g <= kGaugeCount; ++g) {
        const auto gauge = static_cast<Gauge>(g);
        at(gauge).needle = gauge == Gauge::SymbolSynchronization ? 50.0f : 0.0f;
        changed.add(gauge);
    }
    frameHold_ = false;
    finalHold_ = false;
    at(Gauge::FrameAcquisition).background = Colour::White;
    at(Gauge::FinalAcquisition).background = Colour::White;
    at(Gauge::FrameAcquisition).caption = frameCaption(0);
    at(Gauge::FinalAcquisition).caption = finalCaption(0);
    at(Gauge::SymbolSynchronization).caption = "Symbol Synchronization: " + integer(0);
    at(Gauge::Errors).caption = errorsCaption(0);
    at(Gauge::Metric).caption = "Metric: " + integer(metricFloor()) + " dB";
    at(Gauge::Volume).caption = "Volume: " + formatPicture(kSilentDb, "###") + " dB";
    return changed;
}

GaugeSet StatusGauges::startUp()
{
    GaugeSet changed = resetAll();
    at(Gauge::FrequencyShift).needle = 50.0f;
    at(Gauge::FrequencyShift).caption = std::string("Frequency Shift: ") + "0 Hz";
    at(Gauge::Cpu).caption = "CPU Usage: " + integer(0) + " %";
    changed.add(Gauge::FrequencyShift);
    return changed;
}

GaugeSet StatusGauges::refreshVolume(float peakLevelGauge)
{
    float db = kSilentDb;
    if (peakLevelGauge != 0.0f)
        db = std::min(0.0f, 10.0f * static_cast<float>(log10OrZero(peakLevelGauge / kFullScale)));
    volumeDb_ = db;
    GaugeDisplay& volume = at(Gauge::Volume);
    volume.caption = "Volume: " + integer(db) + " dB";
    volume.needle = db >= kSilentDb ? 100.0f - db * 100.0f / kSilentDb : 0.0f;
    GaugeSet changed;
    changed.add(Gauge::Volume);
    return changed;
}

GaugeSet StatusGauges::refreshMetricAndErrors(float metricDb, int viterbiErrors)
{
    GaugeSet changed;
    lastMetric_ = metricDb;
    GaugeDisplay& metric = at(Gauge::Metric);
    // The caption shows the metric before it is held at the floor.
    metric.caption = "Metric: " + integer(metricDb) + " dB";
    const float floor = metricFloor();
    const float shown = std::max(metricDb, floor);
    metric.needle = 100.0f - shown * 100.0f / floor;
    changed.add(Gauge::Metric);

    if (viterbiErrors != errorsShown_) {
        GaugeDisplay& errors = at(Gauge::Errors);
        errors.needle = std::min(100.0f, static_cast<float>(viterbiErrors) * 100.0f / kErrorsFullScale);
        errors.caption = errorsCaption(viterbiErrors);
        errorsShown_ = viterbiErrors;
        changed.add(Gauge::Errors);
    }
    return changed;
}

GaugeSet StatusGauges::refreshFrameAcquisition(int frameAcquisitionCount)
{
    GaugeSet changed;
    if (frameHold_)
        return changed;
    GaugeDisplay& frame = at(Gauge::FrameAcquisition);
    frame.needle = static_cast<float>(frameAcquisitionCount) * 100.0f / kPreambleSymbolCount;
    frame.caption = frameCaption(frameAcquisitionCount);
    changed.add(Gauge::FrameAcquisition);
    return changed;
}

GaugeSet StatusGauges::refreshFinalAcquisition(int finalAcquisitionCount, bool lockFlag)
{
    GaugeSet changed;
    if (finalHold_ || !lockFlag || finalAcquisitionCount == finalShown_)
        return changed;
    GaugeDisplay& gauge = at(Gauge::FinalAcquisition);
    gauge.needle = static_cast<float>(finalAcquisitionCount) * 100.0f / kEndMarkerCheckLength;
    gauge.caption = finalCaption(finalAcquisitionCount);
    finalShown_ = finalAcquisitionCount;
    changed.add(Gauge::FinalAcquisition);
    return changed;
}

GaugeSet StatusGauges::refreshCpu(float loadPercent)
{
    lastCpu_ = loadPercent;
    GaugeDisplay& cpu = at(Gauge::Cpu);
    cpu.needle = loadPercent;
    cpu.background = loadPercent >= kCpuAlarmPercent ? Colour::Red : Colour::White;
    cpu.caption = "CPU Usage: " + integer(loadPercent) + " %";
    GaugeSet changed;
    changed.add(Gauge::Cpu);
    return changed;
}

GaugeSet StatusGauges::showFrequencyShift(float shiftHz, AfcRange range)
{
    const ShiftLimit limit = shiftLimit(range);
    const float magnitude = std::fabs(shiftHz);
    const bool beyond = limit.inclusive ? magnitude >= limit.hz : magnitude > limit.hz;
    GaugeDisplay& shift = at(Gauge::FrequencyShift);
    shift.caption = "Frequency Shift: " + formatPicture(shiftHz, "######0.0") + " Hz";
    shift.background = beyond ? Colour::Red : Colour::White;
    shift.needle = std::clamp(shiftHz * 100.0f / (2 * limit.hz) + 50.0f, 0.0f, 100.0f);
    GaugeSet changed;
    changed.add(Gauge::FrequencyShift);
    return changed;
}

GaugeSet StatusGauges::showSymbolSynchronization(int shiftRows)
{
    GaugeDisplay& sync = at(Gauge::SymbolSynchronization);
    sync.needle = 50.0f + 100.0f * static_cast<float>(shiftRows) / kRowsPerSymbol;
    sync.caption = "Symbol Synchronization: " + integer(shiftRows);
    GaugeSet changed;
    changed.add(Gauge::SymbolSynchronization);
    return changed;
}

GaugeSet StatusGauges::frameAcquired(int matches)
{
    volumeAtLock_ = volumeDb_;
    GaugeDisplay& errors = at(Gauge::Errors);
    errors.needle = 0.0f;
    errors.caption = errorsCaption(0);
    frameHold_ = true;
    GaugeDisplay& frame = at(Gauge::FrameAcquisition);
    frame.needle = static_cast<float>(matches) * 100.0f / kPreambleSymbolCount;
    frame.background = acquisitionColour(matches, kMatchesToLock, kFrameYellowUpTo);
    frame.caption = frameCaption(matches);
    GaugeSet changed;
    changed.add(Gauge::Errors);
    changed.add(Gauge::FrameAcquisition);
    return changed;
}

GaugeSet StatusGauges::frameHoldExpired()
{
    frameHold_ = false;
    at(Gauge::FrameAcquisition).background = Colour::White;
    GaugeSet changed;
    changed.add(Gauge::FrameAcquisition);
    return changed;
}

GaugeSet StatusGauges::finalAcquired(int matches)
{
    finalHold_ = true;
    GaugeDisplay& gauge = at(Gauge::FinalAcquisition);
    gauge.needle = static_cast<float>(matches) * 100.0f / kEndMarkerCheckLength;
    gauge.background = acquisitionColour(matches, kMatchesToEnd, kFinalYellowUpTo);
    gauge.caption = finalCaption(matches);
    GaugeSet changed;
    changed.add(Gauge::FinalAcquisition);
    return changed;
}

GaugeSet StatusGauges::finalHoldExpired()
{
    finalHold_ = false;
    GaugeDisplay& gauge = at(Gauge::FinalAcquisition);
    gauge.background = Colour::White;
    gauge.needle = 0.0f;
    gauge.caption = finalCaption(0);
    GaugeSet changed;
    changed.add(Gauge::FinalAcquisition);
    return changed;
}

}  // namespace miv
