#pragma once

#include <cstdint>

#include "modem/ModemMode.h"
#include "platform/AudioSink.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "tx/OutputRing.h"
#include "tx/PttKeyer.h"
#include "tx/SymbolGenerator.h"
#include "tx/ToneSynthesizer.h"
#include "tx/TransmitState.h"
#include "tx/TransmitterHooks.h"

namespace miv {

// Which of the two transmit timers is running.
enum class TxTimer { None, InitialTone, Refill };

// What cmdTX_RX shows.
struct TxButtonLook {
    const char* caption;  // "PTT", "STOP" or "WAIT"
    bool enabled;
    Colour backColour;  // red while it can start or stop, grey while waiting
};

// Switches the station between receiving and sending: the transmit button, the two
// hand-over procedures, the timers' ticks, the abort dialog and the send window's key
// rules. Owns the transmit variables and the parts that make the signal.
class Transmitter {
public:
    Transmitter(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow, const Clock& clock,
                AudioSink& sink, OperatorMessages& messages, TransmitKeyer& keyer, TransmitterHooks& hooks);
    // Unkeys and closes the output if still sending.
    ~Transmitter();
    Transmitter(const Transmitter&) = delete;
    Transmitter& operator=(const Transmitter&) = delete;

    // The transmit button: start, ask to stop, or nothing while waiting for the end.
    void cmdTX_RX_Click();
    // What one tick of the running timer (tmrTXTonoInicial or tmrTX) does.
    void tick();

    // The abort dialog. YES cuts the transmission at the next queued block; it does
    // nothing once the transmission is over. The dialog closes itself on either.
    void cmdYES_Click();
    void cmdNO_Click() {}

    // The send window's key-down (key code, shift) and key-press (character code)
    // rules. Both return the code to go on with, 0 when the key is discarded.
    int sendWindowKeyDown(int keyCode, bool shift);
    int sendWindowKeyPress(int charCode);
    // cmdClearVentanaTX: while sending only the unsent text goes, else all of it.
    void clearSendWindow();

    // The CQ flag: the CQ macro sets it, Clear Screen clears it.
    void setLongInitialTone(bool on) { vars_.LongInitialTone = on; }
    bool longInitialTone() const { return vars_.LongInitialTone; }

    // Form_Unload: unkey first, then close the output.
    void shutdown();

    TxState txState() const { return vars_.txState; }
    // A transmission is running (TxState not 0); mode clicks are refused meanwhile.
    bool transmitting() const { return vars_.txState != TxState::Receiving; }
    TxButtonLook txButton() const;
    // The button reads "STOP" or "WAIT": Esc may offer the abort dialog.
    bool abortDialogAllowed() const { return transmitting(); }
    // The sent part of the send window may not be edited.
    bool sentTextLocked() const { return transmitting() && !vars_.EndSignal; }
    TxTimer activeTimer() const { return timer_; }

    int SentCount() const { return vars_.SentCount; }
    bool EndSignal() const { return vars_.EndSignal; }
    bool CancelRequest() const { return vars_.CancelRequest; }
    bool BackspaceRequest() const { return vars_.BackspaceRequest; }
    long idleCharacters() const { return generator_.idleCharacters(); }
    long symbolCount() const { return synthesizer_.symbolCount(); }
    int hopColumn() const { return synthesizer_.hopColumn(); }

    static constexpr int kKeyBackspace = 8;
    static constexpr int kKeyEscape = 27;
    static constexpr int kKeyLeft = 37;
    static constexpr int kKeyRight = 39;

private:
    void StartTransmission();
    void EndTransmission();
    void setTimer(TxTimer timer);

    const ModeSwitches& switches_;
    TextWindow& sendWindow_;
    TextWindow& receiveWindow_;
    TransmitKeyer& keyer_;
    TransmitterHooks& hooks_;

    TransmitVariables vars_;
    OutputRing output_;
    SymbolGenerator generator_;
    ToneSynthesizer synthesizer_;
    TxTimer timer_ = TxTimer::None;
};

}  // namespace miv
