#pragma once

#include <array>
#include <string>

#include "modem/ModemMode.h"
#include "platform/AudioBlock.h"
#include "platform/AudioSource.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "rx/Acquisition.h"
#include "rx/CaptureRing.h"
#include "rx/FilterChains.h"
#include "rx/FinalAcquisition.h"
#include "rx/FourierAnalyser.h"
#include "rx/FrequencyShiftDisplay.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiveState.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv {

// The whole receiver: from capture blocks to text in the receive window. The window
// (or the command line) calls `tick` as often as it can; each call moves at most one
// 64 ms block through the receive step the switches select. Everything shown goes out
// through the observer; the gauge timers pull the counters below.
//
// It listens to the switches for its lifetime (the switches must outlive it): a change
// of channel or of the EME range restarts the baseband ring, and every change keeps
// `StartBin` inside the new mode's range. A lock shows the rate it found on them.
class Receiver final : public ModeListener {
public:
    Receiver(ModeSwitches& switches, TextWindow& window, const Clock& clock, OperatorMessages& messages,
             AudioSource& source, ReceiverObserver& observer);
    ~Receiver() override;
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    void OpenCapture() { capture_.OpenCapture(); }
    void CloseCapture() { capture_.CloseCapture(); }
    bool captureOpen() const { return capture_.isOpen(); }

    // Resets acquisition, decoder and gauge counters and lets `tick` run.
    void StartReception();
    // For a transmission: `tick` stops and the message in progress is cancelled.
    void stopReception();
    bool receiving() const { return receiving_; }

    // One receive tick.
    void tick();

    // Ends the message in progress with " <CANCEL>"; nothing when none is.
    void CancelMessage() { output_.CancelMessage(); }

    // Values the gauge timers read, and reset after showing where they do.
    int frameAcquisitionCount() const { return acquisition_.count(); }
    void resetFrameAcquisitionCount() { acquisition_.setCount(0); }
    int finalAcquisitionCount() const { return finalAcquisition_.count(); }
    void resetFinalAcquisitionCount() { finalAcquisition_.setCount(0); }
    float PeakLevelGauge() const { return chains_.PeakLevelGauge; }
    void resetPeakLevelGauge() { chains_.PeakLevelGauge = 0; }
    int ViterbiErrors() const { return output_.ViterbiErrors(); }
    // The decoder metric in dB from the latest 64 samples.
    float Metric() const { return output_.metricDb(); }
    bool LockFlag() const { return state_.LockFlag; }

    // Readings the gauges showed, stored back for the report and the lock.
    float lastMetricShown() const { return gauges_.lastMetric; }
    void setLastMetricShown(float dB) { gauges_.lastMetric = dB; }
    void setVolumeReading(float dB) { gauges_.volume = dB; }
    void setCpuUsage(float percent) { gauges_.cpuUsage = percent; }

    // Text of the current (or last) message, for the report.
    const std::string& ReceivedText() const { return output_.ReceivedText(); }
    const ReceiveState& state() const { return state_; }
    const SpectrumHistory& spectrumHistory() const { return spectrum_.history(); }
    int ringWriteIndex() const { return chains_.RingWriteIndex(); }

    void bandwidthChanged() override { clampStartBin(); }
    void symbolRateChanged() override { clampStartBin(); }
    void autoBaudChanged() override { clampStartBin(); }
    void channelChanged() override;
    void afcRangeChanged() override;

private:
    enum class Chain { Hf, EmeWide, EmeNarrow };
    enum class SlowSpectrum { None, Hf, EmeWide, EmeNarrow };

    // What a spectrum of a step sets and searches.
    struct SpectrumPlan {
        int hopColumn;
        int toneStep;
        int plane;
        BinRange wide;
        BinRange narrow;
    };

    // One receive step: its chain, its spectra and whether both rates run.
    struct StepPlan {
        Chain chain;
        const SpectrumPlan* fast;
        const SpectrumPlan* slow;
        SlowSpectrum slowSpectrum;
        int stepCounter;  // index of the step's counter of 8 ms steps
        bool bothRates;
    };

    static const StepPlan& plan(ReceiveStep step);
    void receiveBlock(const StepPlan& plan);
    void runChain(Chain chain);
    void useSpectrum(const SpectrumPlan& spectrum);
    void acquire(const SpectrumPlan& spectrum, bool wide);
    int slowSpectrum(SlowSpectrum which);
    void clampStartBin();

    ModeSwitches& switches_;
    ReceiverObserver& observer_;
    ReceiveState state_;
    GaugeReadings gauges_;
    CaptureRing capture_;
    FilterChains chains_;
    FourierAnalyser spectrum_;
    ToneNoiseEstimator noise_;
    FrequencyShiftDisplay shiftDisplay_;
    FinalAcquisition finalAcquisition_;
    MessageOutput output_;
    SymbolDecoder decoder_;
    Acquisition acquisition_;

    AudioBlock block_{};
    std::array<int, 6> StepCounter{};
    bool receiving_ = false;
};

}  // namespace miv
