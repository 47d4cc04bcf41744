#pragma once

#include <string>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"
#include "rx/Acquisition.h"
#include "rx/FinalAcquisition.h"
#include "rx/FrequencyShiftDisplay.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv::test {

// The receiver's decision parts wired as the receiver wires them, around a spectrum
// history the test writes, recording what they show.
struct DecoderRig : ReceiverObserver {
    ModeSwitches switches;
    ReceiveState state;
    GaugeReadings gauges;
    SpectrumHistory history;
    MemoryTextWindow window;
    FixedClock clock{{12, 0, 0}};
    float peakLevel = 0;
    ToneNoiseEstimator noise{state, history};
    FrequencyShiftDisplay shiftDisplay{state, switches, *this};
    FinalAcquisition finalAcquisition{*this};
    MessageOutput output{state, switches, window, clock, *this, gauges};
    SymbolDecoder decoder{state, switches, *this, {history, noise, shiftDisplay, finalAcquisition, output, peakLevel}};
    Acquisition acquisition{state, switches, *this, {history, noise, shiftDisplay, decoder, output, gauges}};

    std::vector<FrequencyShiftReading> shifts;
    std::vector<SymbolSyncReading> syncs;
    std::vector<AcquisitionReading> frames;
    std::vector<AcquisitionReading> finals;
    std::vector<ReceptionReport> reports;
    std::vector<int> alarms;
    std::vector<bool> rates;

    void frequencyShiftShown(const FrequencyShiftReading& r) override { shifts.push_back(r); }
    void symbolSynchronizationShown(const SymbolSyncReading& r) override { syncs.push_back(r); }
    void frameAcquired(const AcquisitionReading& r) override { frames.push_back(r); }
    void finalAcquired(const AcquisitionReading& r) override { finals.push_back(r); }
    void reportTriggered(const ReceptionReport& r) override { reports.push_back(r); }
    void alarmArmed(int interval) override { alarms.push_back(interval); }
    void detectedRateShown(bool baud16) override { rates.push_back(baud16); }

    // Fills one row of a plane with a constant.
    void fillRow(int row, int plane, float value)
    {
        for (int bin = 0; bin < SpectrumHistory::kBins; ++bin)
            history(row, bin, plane) = value;
    }
};

}  // namespace miv::test
