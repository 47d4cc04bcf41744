#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "mail/MailDispatcher.h"
#include "mail/ReportPlanner.h"
#include "modem/ModemMode.h"
#include "platform/AlarmPlayer.h"
#include "platform/AudioDevices.h"
#include "platform/Clock.h"
#include "platform/MailTransport.h"
#include "platform/OperatorMessages.h"
#include "platform/ProcessorTimes.h"
#include "platform/Rig.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TextWindow.h"
#include "platform/audio/ReopeningAudio.h"
#include "rx/Receiver.h"
#include "station/CpuMonitor.h"
#include "station/LiveSection.h"
#include "station/Logbook.h"
#include "station/Macros.h"
#include "station/OnceMessages.h"
#include "station/RigControl.h"
#include "station/StatusGauges.h"
#include "station/UtcClock.h"
#include "station/Waterfall.h"
#include "tx/PttKeyer.h"
#include "tx/Transmitter.h"

namespace miv {

// What the station runs on, supplied by the program or by a test.
struct StationPlatform {
    const Clock& clock;
    OperatorMessages& messages;
    SettingsStore& settings;
    AudioDevices& audio;
    ProcessorTimes& processorTimes;
    AlarmPlayer& alarm;
    SerialPort& serial;
    ComAssignment comPorts;  // the device behind each of COM1..COM16
    MailTransport& mail;
    Rig& rig;                         // CAT, when the operator chooses it
    std::vector<RigModel> rigModels;  // Hamlib's catalogue, for the PTT dialog
    // The log file, the network and the date; a station built without them keeps its log
    // in memory and sends nothing.
    const LogPlatform* log = nullptr;
};

// The views the station writes into, supplied by the window.
struct StationViews {
    TextWindow& sendWindow;
    TextWindow& receiveWindow;
    WaterfallCanvas& waterfall;
};

// The window's timers. The station says which run and how often; the window runs them
// and hands every tick back (the cursor readout's excepted: its tick reads the pointer,
// which only the window knows).
enum class StationTimer {
    Receive,   // the receive step, polling the capture device
    Transmit,  // the transmit step, polling the output device
    CursorReadout,
    Clock,
    VolumeRefresh,
    MetricRefresh,  // the metric and the Viterbi errors
    FrameAcquisitionRefresh,
    FinalAcquisitionRefresh,
    FrameAcquisitionHold,  // how long an acquisition stays on its gauge
    FinalAcquisitionHold,
    CpuRefresh,
    Alarm,             // sounds the alarm once after an acquisition
    MailNotification,  // closes the notification of a mailed report
    DialPoll,          // reads the dial over CAT
    Watchdog,          // ends a transmission that runs too long
};
inline constexpr int kStationTimers = static_cast<int>(StationTimer::Watchdog) + 1;

// What the window follows. Every call has a no-op default.
class StationObserver {
public:
    virtual ~StationObserver() = default;
    virtual void timerChanged(StationTimer /*timer*/, bool /*running*/, int /*intervalMs*/) {}
    virtual void gaugesChanged(GaugeSet /*gauges*/) {}
    virtual void clockChanged() {}
    // The transmit button, the lamps, the COM menu, the macro buttons and the sound-card
    // dialog's SAVE.
    virtual void transmitStateChanged() {}
    virtual void focusSendWindow() {}
    virtual void clearWaterfall() {}
    // Start-up has the main window shown before it opens any other window.
    virtual void showMainWindow() {}
    virtual void showOperatorDialog() {}
    // "ABORT TRANSMISSION", not modal.
    virtual void showAbortDialog() {}
    virtual void closeAbortDialog() {}
    // Whether the report went out, until the notification timer closes it.
    virtual void showMailNotification(bool /*sent*/) {}
    virtual void closeMailNotification() {}
    // A message ended: its SNR estimate may have changed.
    virtual void signalToNoiseChanged() {}
    // The dial frequency, or how it is known (CAT or typed), changed.
    virtual void dialChanged() {}
};

// The whole station behind the window: the mode switches with their guard, the
// transmitter and its keying, the receiver, the send and receive windows, the macros,
// the clock, the status displays, the e-mail reports, the settings and the dialogs that
// are their live store. The window shows what it holds and forwards the operator's
// clicks, keys and timer ticks; it decides nothing itself.
class Station final : private ModeGuard, private ModeListener, private TransmitterHooks, private ReceiverObserver {
public:
    Station(StationViews views, StationPlatform platform);
    ~Station() override;
    Station(const Station&) = delete;  // its parts point back at it
    Station& operator=(const Station&) = delete;

    void setObserver(StationObserver* observer) { observer_ = observer; }

    // Start-up once the window is built, in the program's order: the serial ports
    // probed, the switches from the settings, the clock, the gauges at rest, a clear
    // receive screen, the main window shown, the CPU counter, the send window's focus,
    // the operator window on the first run, then capture and reception.
    void startUp();
    // The window closes: unkey and close the output, close capture, save the switches.
    void closeDown();

    ModeSwitches& switches() { return switches_; }
    const ModeSwitches& switches() const { return switches_; }

    TxState txState() const { return transmitter_.state(); }
    TxButtonLook txButton() const { return transmitter_.txButton(); }
    bool longInitialTone() const { return transmitter_.longInitialTone(); }
    bool receiverLocked() const override { return receiver_.lockFlag(); }

    // The transmit button: start, ask for the end, or nothing while waiting for it.
    void pressTransmitButton();
    // The abort dialog's YES.
    void abortTransmission() { transmitter_.abortTransmission(); }
    // The send window's key events: whether the key goes on, and the character to type
    // (0 to discard it).
    bool sendWindowKeyDown(SendWindowKey key) { return transmitter_.sendWindowKeyDown(key); }
    int sendWindowKeyPress(int character) { return transmitter_.sendWindowKeyPress(character); }

    void timerFired(StationTimer timer);
    bool timerRunning(StationTimer timer) const { return timers_[index(timer)].running; }
    int timerInterval(StationTimer timer) const { return timers_[index(timer)].intervalMs; }

    void clickMacro(Macro macro);
    bool macroVisible(Macro macro) const { return miv::macroVisible(macro, switches_.mode()); }
    bool macroEnabled(Macro macro) const { return miv::macroEnabled(macro, transmitter_.transmitting()); }

    // CLEAR: idle, the whole send window; while sending, only what has not gone out yet.
    void clearSendWindow() { transmitter_.clearSendWindow(); }
    // CLEAR SCREEN: the receive window holds four empty lines, and the next transmission
    // has the short initial tone.
    void clearScreen();

    // The destination: the other station's callsign (UTF-8, as shown).
    void setDestination(std::string callsign) { destination_ = std::move(callsign); }
    const std::string& destination() const { return destination_; }

    // The COM menu: 0 "NO COM", 1..16 COM1..COM16, each with the device it stands for.
    void choosePort(int index) { keyer_.menu().check(index); }
    const ComPortMenu& portMenu() const { return keyer_.menu(); }

    // The PTT method, CAT's address and the watchdog, as the PTT dialog edits them.
    LiveSection<RigSettings>& rigSection() { return rigSection_; }
    const std::vector<RigModel>& rigModels() const { return rig_.catalogue(); }
    // Saved and put to use only while receiving, like the sound cards.
    bool rigSaveEnabled() const { return !transmitter_.transmitting(); }
    SettingsSave saveRigSettings(const RigSettings& settings);

    // The dial frequency in Hz: CAT's last reading, or what the operator typed when
    // there is no CAT; nothing when unknown.
    std::optional<double> dialFrequencyHz() const { return rig_.dialHz(); }
    // The radio frequency of a signal at `audioOffsetHz` in the receiver's audio (a
    // received station, a spot, a log entry); nothing while the dial is unknown.
    std::optional<double> rfFrequencyHz(double audioOffsetHz) const { return rig_.rfFrequencyHz(audioOffsetHz); }
    bool dialFromCat() const { return rig_.usesCat(); }
    // The operator's dial for a radio without CAT (nothing clears it); kept in the
    // settings. Ignored while CAT reads the dial.
    void typeDialFrequency(std::optional<double> hz);

    const UtcClock& clock() const { return clock_; }
    const StatusGauges& gauges() const { return gauges_; }
    // The cursor readout for the pointer at (x, y) over a waterfall of width x height
    // pixels.
    std::string cursorReadout(int x, int y, int width, int height) const;
    // The radio frequency under the pointer, shown beside the readout; empty while the
    // dial is unknown or the pointer is off the picture.
    std::string cursorRadioFrequency(int x, int y, int width, int height) const;

    // The dialogs as the live store of their sections.
    LiveSection<OperatorDetails>& operatorSection() { return operatorSection_; }
    LiveSection<EmailAccount>& emailSection() { return emailSection_; }
    LiveSection<SoundCards>& soundCardSection() { return soundCardSection_; }
    AudioDevices& audioDevices() { return audio_; }
    // The sound-card dialog's SAVE acts only while receiving: a transmission has closed
    // capture and will reopen it itself.
    bool soundCardSaveEnabled() const { return !transmitter_.transmitting(); }
    // Ends the message in progress, writes the section and restarts capture on the
    // chosen input; playback takes the chosen output at the next transmission.
    SettingsSave saveSoundCards(const SoundCards& cards);

    // The logbook: the record "Log QSO" opens with, and its OK.
    Qso draftQso() const { return logbook_.draft(destination_, switches_.mode().effective(), dialFrequencyHz()); }
    LogAppend logQso(const Qso& qso) { return logbook_.log(qso); }
    LiveSection<LogSettings>& logSection() { return logSection_; }
    std::string logPath() const { return logbook_.logPath(); }
    const std::string& defaultLogPath() const { return logbook_.defaultLogPath(); }
    // Of the last message received; nothing when the receiver gave no estimate.
    std::optional<double> lastSnrDb() const { return logbook_.lastSnrDb(); }

private:
    struct TimerState {
        bool running = false;
        int intervalMs = 0;
    };
    static std::size_t index(StationTimer timer) { return static_cast<std::size_t>(timer); }
    void setTimer(StationTimer timer, bool running, int intervalMs);
    void showGauges(GaugeSet gauges);
    void updateCursorReadout();
    void openCapture();
    int capturePosition();
    int playbackPosition();
    // The output the transmitter plays on, as the alarm must avoid it; empty for the
    // system's default.
    std::string transmitDevice();
    void showMailOutcomes();
    void pollDial();
    void startWatchdog();
    void watchdogFired();
    void tellAfterTransmission();

    // ModeGuard and ModeListener.
    bool transmitting() const override { return transmitter_.transmitting(); }
    void symbolRateChanged() override;
    void channelChanged() override;
    void waterfallChanged() override;

    // TransmitterHooks.
    void cancelMessage() override { receiver_.CancelMessage(); }
    void stopReception() override { receiver_.stopReception(); }
    void closeCapture() override { receiver_.CloseCapture(); }
    void startReception() override;
    void resetStatusDisplays() override;
    void clearWaterfall() override;
    void setCursorReadoutEnabled(bool) override { updateCursorReadout(); }
    void setTransmitLed(bool) override { transmitStateChanged(); }
    void focusSendWindow() override;
    void txButtonChanged() override;
    void reevaluateMacroButtons() override { transmitStateChanged(); }
    void enableMacroButtons(bool) override { transmitStateChanged(); }
    void setSoundCardSaveEnabled(bool) override { transmitStateChanged(); }
    void showAbortDialog() override;
    void closeAbortDialog() override;
    void transmitTimerChanged(bool running) override;
    void transmitStateChanged();

    // ReceiverObserver.
    void receptionStarted() override;
    void receptionStopped() override;
    void frequencyShiftShown(float shiftHz, AfcRange range) override;
    void symbolSynchronizationShown(int shiftRows) override;
    void frameAcquired(int matches) override;
    void finalAcquired(int matches) override;
    void messageEnded(const ReceivedMessage& message) override;
    void waterfallSample(float sample) override { waterfall_.DrawWaterfall(sample); }

    TextWindow& send_;
    TextWindow& receive_;
    OperatorMessages& messages_;
    OnceMessages deviceMessages_;
    AudioDevices& audio_;
    AlarmPlayer& alarm_;
    Settings settings_;
    UtcClock clock_;
    ModeSwitches switches_;
    StatusGauges gauges_;
    CpuMonitor cpu_;
    Waterfall waterfall_;
    LiveSection<OperatorDetails> operatorSection_;
    LiveSection<EmailAccount> emailSection_;
    LiveSection<SoundCards> soundCardSection_;
    LiveSection<RigSettings> rigSection_;
    PttKeyer keyer_;
    RigControl rig_;
    ReopeningSink output_;
    ReopeningSource input_;
    Transmitter transmitter_;
    Receiver receiver_;
    ReportPlanner planner_;
    MailDispatcher mailer_;
    LiveSection<LogSettings> logSection_;
    struct StandInLog;
    std::unique_ptr<StandInLog> standInLog_;
    Logbook logbook_;
    StationObserver* observer_ = nullptr;
    std::array<TimerState, kStationTimers> timers_{};
    std::string destination_ = "NONAME";
    bool watchdogStopped_ = false;               // the watchdog asked for the end; it cuts next time
    std::optional<std::string> watchdogReason_;  // told once the radio is unkeyed
};

}  // namespace miv
