#pragma once

#include <array>
#include <string>

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
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TextWindow.h"
#include "platform/audio/ReopeningAudio.h"
#include "rx/Receiver.h"
#include "station/CpuMonitor.h"
#include "station/LiveSection.h"
#include "station/Macros.h"
#include "station/OnceMessages.h"
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
};

// The views the station writes into, supplied by the window.
struct StationViews {
    TextWindow& sendWindow;      // rtfVentanaTX
    TextWindow& receiveWindow;   // rtfVentanaRX
    WaterfallCanvas& waterfall;  // pctWaterfall
};

// The window's timers. The station says which run and how often; the window runs them
// and hands every tick back (tmrPosicionCursor excepted: its tick reads the pointer,
// which only the window knows).
enum class StationTimer {
    RX,
    TX,
    PosicionCursor,
    UTC,
    RefrescoVumetro,
    RefrescoMetrica,
    RefrescoAdquisicion,
    RefrescoAdquisicionFinal,
    RefrescoAdquisicionMaxima,
    RefrescoAdquisicionMaximaFinal,
    RefrescoCPU,
    Alarma,
    Email,
};
inline constexpr int kStationTimers = 13;

// What the window follows. Every call has a no-op default.
class StationObserver {
public:
    virtual ~StationObserver() = default;
    virtual void timerChanged(StationTimer /*timer*/, bool /*running*/, int /*intervalMs*/) {}
    virtual void gaugesChanged(GaugeSet /*gauges*/) {}
    virtual void clockChanged() {}
    // cmdTX_RX, the lamps, the COM menu, the macro buttons and the sound-card SAVE.
    virtual void transmitStateChanged() {}
    virtual void focusSendWindow() {}
    virtual void clearWaterfall() {}
    // Start-up has the main window shown before it opens any other window.
    virtual void showMainWindow() {}
    virtual void showOperatorDialog() {}
    // frmStopTransmission, not modal.
    virtual void showAbortDialog() {}
    virtual void closeAbortDialog() {}
    // frmEmailNotification: "Email sent" or the error line, until tmrEmail closes it.
    virtual void showMailNotification(bool /*sent*/) {}
    virtual void closeMailNotification() {}
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
    // Form_Unload: unkey and close the output, close capture, save the switches.
    void closeDown();

    ModeSwitches& switches() { return switches_; }
    const ModeSwitches& switches() const { return switches_; }

    // 0 receiving, 1 transmitting, 2 stop requested.
    int txState() const { return static_cast<int>(transmitter_.txState()); }
    TxButtonLook txButton() const { return transmitter_.txButton(); }
    bool longInitialTone() const { return transmitter_.longInitialTone(); }
    bool receiverLocked() const override { return receiver_.lockFlag(); }

    // cmdTX_RX: start, ask to stop, or nothing while waiting for the end.
    void cmdTX_RX_Click();
    // The abort dialog's answers.
    void cmdYES_Click() { transmitter_.cmdYES_Click(); }
    void cmdNO_Click() { transmitter_.cmdNO_Click(); }
    // The send window's key events: the code to go on with, 0 to discard the key.
    int sendWindowKeyDown(int keyCode, int shift) { return transmitter_.sendWindowKeyDown(keyCode, (shift & 1) != 0); }
    int sendWindowKeyPress(int charCode) { return transmitter_.sendWindowKeyPress(charCode); }

    void timerFired(StationTimer timer);
    bool timerRunning(StationTimer timer) const { return timers_[index(timer)].running; }
    int timerInterval(StationTimer timer) const { return timers_[index(timer)].intervalMs; }

    void clickMacro(Macro macro);
    bool macroVisible(Macro macro) const { return miv::macroVisible(macro, switches_.mode()); }
    bool macroEnabled(Macro macro) const { return miv::macroEnabled(macro, txState() != 0); }

    // cmdClearVentanaTX: idle, the whole send window; while sending, only what has not
    // gone out yet.
    void clearSendWindow() { transmitter_.clearSendWindow(); }
    // cmdClearScreen: the receive window holds four empty lines, and the next
    // transmission has the short initial tone.
    void clearScreen();

    // Text14, the other station's callsign (UTF-8, as shown).
    void setDestination(std::string callsign) { destination_ = std::move(callsign); }
    const std::string& destination() const { return destination_; }

    // The COM menu: 0 "NO COM", 1..16 COM1..COM16, each with the device it stands for.
    void mnuCOMA_Click(int index) { keyer_.mnuCOMA_Click(index); }
    const ComPortMenu& comMenu() const { return keyer_.menu(); }

    const UtcClock& clock() const { return clock_; }
    const StatusGauges& gauges() const { return gauges_; }
    // Text2 for the pointer at (x, y) over a waterfall of width x height pixels.
    std::string cursorReadout(int x, int y, int width, int height) const;

    // The dialogs as the live store of their sections.
    LiveSection<OperatorDetails>& operatorForm() { return operatorForm_; }
    LiveSection<EmailAccount>& emailForm() { return emailForm_; }
    LiveSection<SoundCards>& soundCardForm() { return soundCardForm_; }
    AudioDevices& audioDevices() { return audio_; }
    // frmTarjetaSonido's SAVE acts only while receiving: a transmission has closed
    // capture and will reopen it itself.
    bool soundCardSaveEnabled() const { return txState() == 0; }
    // Ends the message in progress, writes the section and restarts capture on the
    // chosen input; playback takes the chosen output at the next transmission.
    SettingsSave saveSoundCards(const SoundCards& cards);

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

    // ModeGuard and ModeListener.
    bool transmitting() const override { return txState() != 0; }
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
    LiveSection<OperatorDetails> operatorForm_;
    LiveSection<EmailAccount> emailForm_;
    LiveSection<SoundCards> soundCardForm_;
    PttKeyer keyer_;
    ReopeningSink output_;
    ReopeningSource input_;
    Transmitter transmitter_;
    Receiver receiver_;
    ReportPlanner planner_;
    MailDispatcher mailer_;
    StationObserver* observer_ = nullptr;
    std::array<TimerState, kStationTimers> timers_{};
    std::string destination_ = "NONAME";
};

}  // namespace miv
