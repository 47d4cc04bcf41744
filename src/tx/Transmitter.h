#pragma once

#include <cstdint>

#include "modem/ModemMode.h"
#include "platform/AudioSink.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "tx/OutputRing.h"
#include "tx/PttKeyer.h"
#include "tx/SendWindowKey.h"
#include "tx/SymbolGenerator.h"
#include "tx/ToneSynthesizer.h"
#include "tx/TransmitterHooks.h"

namespace miv {

enum class TxState : std::uint8_t {
    Receiving,
    Transmitting,
    EndRequested,  // the text is finished, then the end marker goes out
};

// Which of the two transmit timers is running.
enum class TxTimer { None, InitialTone, Refill };

// What the transmit button shows.
struct TxButtonLook {
    const char* caption;  // "PTT", "STOP" or "WAIT"
    bool enabled;
    Colour backColour;  // red while it can start or stop, grey while waiting
};

// Switches the station between receiving and sending: the transmit button, the two
// hand-over procedures, the timers' ticks, the abort dialog and the send window's key
// rules. Owns the parts that make the signal.
class Transmitter {
public:
    Transmitter(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow, const Clock& clock,
                AudioSink& sink, OperatorMessages& messages, TransmitKeyer& keyer, TransmitterHooks& hooks);
    // Unkeys and closes the output if still sending.
    ~Transmitter();
    Transmitter(const Transmitter&) = delete;
    Transmitter& operator=(const Transmitter&) = delete;

    // The transmit button: start, ask for the end, or nothing while waiting for it.
    void pressTransmitButton();
    // What one tick of the running timer does.
    void tick();
    // The abort dialog's YES: the transmission ends at the next queued block, without
    // the end marker. A YES from a dialog left open after the end is forgotten when the
    // next transmission starts.
    void abortTransmission();
    // Ends the transmission at once, unkeying before anything else, with " <CANCEL>": for
    // a radio that no longer follows the transmission (its sound device or its CAT
    // connection is gone).
    void cutTransmission();

    // The send window's key-down: false when the key is to be discarded.
    bool sendWindowKeyDown(SendWindowKey key);
    // The send window's key press: the 8-bit character to type, 0 to discard it.
    int sendWindowKeyPress(int character);
    // The clear button of the send window: while sending only the unsent text goes,
    // else all of it.
    void clearSendWindow();

    // The CQ flag: the CQ macro sets it, Clear Screen clears it.
    void setLongInitialTone(bool on) { longInitialTone_ = on; }
    bool longInitialTone() const { return longInitialTone_; }

    // The window closes: unkey first, then close the output.
    void shutdown();

    TxState state() const { return state_; }
    // Mode clicks are refused meanwhile.
    bool transmitting() const { return state_ != TxState::Receiving; }
    TxButtonLook txButton() const;
    // The sent part of the send window may not be edited.
    bool sentTextLocked() const { return transmitting() && !generator_.endSignal(); }
    TxTimer activeTimer() const { return timer_; }

    int sentCount() const { return generator_.sentCount(); }
    bool backspaceRequested() const { return generator_.backspaceRequested(); }
    long idleCharacters() const { return generator_.idleCharacters(); }
    long symbolCount() const { return synthesizer_.symbolCount(); }

private:
    void StartTransmission();
    void EndTransmission();
    void setTimer(TxTimer timer);

    const ModeSwitches& switches_;
    TextWindow& sendWindow_;
    TextWindow& receiveWindow_;
    OperatorMessages& messages_;
    TransmitKeyer& keyer_;
    TransmitterHooks& hooks_;

    TxState state_ = TxState::Receiving;
    bool cancelRequested_ = false;
    bool longInitialTone_ = false;
    OutputRing output_;
    SymbolGenerator generator_;
    ToneSynthesizer synthesizer_;
    TxTimer timer_ = TxTimer::None;
};

}  // namespace miv
