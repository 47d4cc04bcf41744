#pragma once

#include <array>

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
#include "rx/MessageOutput.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv {

// The whole receiver: from capture blocks to text in the receive window. The window
// (or the command line) calls `tick` as often as it can; each call moves at most one
// 64 ms block through the receive step the switches select. What it measures goes out
// through the observer; the gauge timers pull the counters below.
//
// It listens to the switches for its lifetime (the switches must outlive it): a change
// of channel or of the EME range restarts the baseband ring, and every change keeps
// the start bin inside the new mode's range. A lock shows the rate it found on them.
class Receiver final : public ModeListener, private Acquisition::LockListener {
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
    void resetFrameAcquisitionCount() { acquisition_.resetCount(); }
    int finalAcquisitionCount() const { return finalAcquisition_.count(); }
    void resetFinalAcquisitionCount() { finalAcquisition_.setCount(0); }
    float peakLevelGauge() const { return chains_.peakLevelGauge(); }
    void resetPeakLevelGauge() { chains_.resetPeakLevelGauge(); }
    int viterbiErrors() const { return output_.viterbiErrors(); }
    // The decoder metric in dB from the latest 64 samples.
    float metricDb() const { return output_.metricDb(); }
    // True while a message is being received.
    bool lockFlag() const { return acquisition_.lockFlag(); }
    bool acquisitionEnabled() const { return acquisition_.enabled(); }
    int startBin() const { return acquisition_.startBin(); }
    int ringWriteIndex() const { return chains_.ringWriteIndex(); }

    void bandwidthChanged() override { clampStartBin(); }
    void symbolRateChanged() override { clampStartBin(); }
    void autoBaudChanged() override { clampStartBin(); }
    void channelChanged() override;
    void afcRangeChanged() override;

private:
    void locked(int row, const ReceiveMode& mode) override;
    void receiveBlock(const ReceiveStep& step);
    void runChain(FilterChain chain);
    void receiveRow(const ReceiveMode& mode, bool bothRates, bool wide);
    void restartDecoding();
    void clampStartBin();

    ModeSwitches& switches_;
    ReceiverObserver& observer_;
    CaptureRing capture_;
    FilterChains chains_;
    FourierAnalyser spectrum_;
    ToneNoiseEstimator noise_;
    Acquisition acquisition_;
    FinalAcquisition finalAcquisition_;
    MessageOutput output_;
    SymbolDecoder decoder_;

    AudioBlock block_{};
    std::array<int, kReceiveStepCounters> stepCounters_{};
    bool receiving_ = false;
};

}  // namespace miv
