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
#include "rx/DeepOutput.h"
#include "rx/FilterChains.h"
#include "rx/FinalAcquisition.h"
#include "rx/FourierAnalyser.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"
#include "rx/deep/DeepReceiver.h"

namespace miv {

// The whole receiver: from capture blocks to text in the receive window. The window
// (or the command line) calls `tick` as often as it can; each call moves at most one
// 64 ms block through the receive step the switches select. What it measures goes out
// through the observer; the gauge timers pull the counters below.
//
// It listens to the switches for its lifetime (the switches must outlive it): a change
// of channel or of the EME range restarts the baseband ring, and every change keeps
// the start bin inside the new mode's range. A lock shows the rate it found on them.
//
// The decoder switch chooses the path from the filtered audio to text: the standard
// one (spectra, acquisition, symbol decisions) or the deep one, which reads the 48 kHz
// blocks itself. The filter chains run for both, for the volume gauge and the waterfall.
class Receiver final : public ModeListener, private Acquisition::LockListener, private DeepMessageSink {
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
    void CancelMessage();

    // Values the gauge timers read, and reset after showing where they do. In deep mode
    // the frame acquisition counts the preamble search's best score in units of one
    // certain symbol (ln 16), the final acquisition the end marker's matching hard
    // decisions, and the metric the message's signal-to-noise ratio in 2500 Hz.
    int frameAcquisitionCount() const;
    void resetFrameAcquisitionCount();
    int finalAcquisitionCount() const;
    void resetFinalAcquisitionCount();
    float peakLevelGauge() const { return chains_.peakLevelGauge(); }
    void resetPeakLevelGauge() { chains_.resetPeakLevelGauge(); }
    int viterbiErrors() const;
    // The decoder metric in dB: the standard path's from the latest 64 samples.
    float metricDb() const;
    // True while a message is being shown.
    bool lockFlag() const;
    // True while a message may still be shown: also while the deep path is deciding
    // whether a preamble it found starts one.
    bool busy() const;
    bool acquisitionEnabled() const { return acquisition_.enabled(); }
    int startBin() const { return acquisition_.startBin(); }
    int ringWriteIndex() const { return chains_.ringWriteIndex(); }

    void bandwidthChanged() override { clampStartBin(); }
    void symbolRateChanged() override { clampStartBin(); }
    void autoBaudChanged() override { clampStartBin(); }
    void channelChanged() override;
    void afcRangeChanged() override;
    void decoderChanged() override;

private:
    bool deep() const { return switches_.decoder() == Decoder::Deep; }
    void receiveDeep();
    DeepOutput::Readings deepReadings() const;
    void messageStarted(double shiftHz, int frameScore) override;
    void bitsDecoded(std::uint8_t first, std::uint8_t second) override { deepOutput_.bitsDecoded(first, second); }
    void messageEnded(int finalScore) override;
    void messageCancelled() override;

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
    DeepOutput deepOutput_;
    DeepReceiver deep_;
    int deepFinalCount_ = 0;
    float shownShiftHz_ = 0;
    int shownDriftRows_ = 0;

    AudioBlock block_{};
    std::array<int, kReceiveStepCounters> stepCounters_{};
    bool receiving_ = false;
};

}  // namespace miv
