#pragma once

#include <string>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "station/Macros.h"
#include "station/UtcClock.h"

namespace miv {

// What the station runs on, supplied by the program or by a test.
struct StationPlatform {
    const Clock& clock;
    OperatorMessages& messages;
};

// The whole station behind the window: the mode switches with their guard, the send
// and receive windows, the macros, the clock. The window shows what it holds and
// forwards the operator's clicks and keys; it decides nothing itself.
class Station final : private ModeGuard, private ModeListener {
public:
    Station(TextWindow& sendWindow, TextWindow& receiveWindow, StationPlatform platform);
    ~Station() override;
    Station(const Station&) = delete;  // the switches point back at it
    Station& operator=(const Station&) = delete;

    ModeSwitches& switches() { return switches_; }
    const ModeSwitches& switches() const { return switches_; }

    // 0 receiving, 1 transmitting, 2 stop requested.
    int txState() const { return txState_; }
    bool longInitialTone() const { return longInitialTone_; }

    void clickMacro(Macro macro);
    bool macroVisible(Macro macro) const { return miv::macroVisible(macro, switches_.mode()); }
    bool macroEnabled(Macro macro) const { return miv::macroEnabled(macro, txState_ != 0); }

    // cmdClearVentanaTX: idle, the whole send window; while sending, only what has
    // not gone out yet.
    void clearSendWindow();
    // cmdClearScreen: the receive window holds four empty lines, and the next
    // transmission has the short initial tone.
    void clearScreen();

    // Text14, the other station's callsign (UTF-8, as shown).
    void setDestination(std::string callsign) { destination_ = std::move(callsign); }
    const std::string& destination() const { return destination_; }

    const OperatorDetails& operatorDetails() const { return operator_; }
    void setOperatorDetails(const OperatorDetails& details) { operator_ = details; }

    void updateClock() { clock_.update(); }
    const UtcClock& clock() const { return clock_; }

private:
    bool transmitting() const override { return txState_ != 0; }
    bool receiverLocked() const override { return false; }
    void symbolRateChanged() override;
    void channelChanged() override;

    TextWindow& send_;
    TextWindow& receive_;
    UtcClock clock_;
    ModeSwitches switches_;
    OperatorDetails operator_;
    std::string destination_ = "NONAME";
    int txState_ = 0;
    int sentCount_ = 0;
    bool longInitialTone_ = false;
};

}  // namespace miv
