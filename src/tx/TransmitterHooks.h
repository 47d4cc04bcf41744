#pragma once

namespace miv {

// What the start and the end of a transmission ask of the rest of the station, in the
// order the Transmitter calls them. Every call does nothing by default, so the command
// line needs none of them.
class TransmitterHooks {
public:
    virtual ~TransmitterHooks() = default;

    // The receiver.
    virtual void cancelMessage() {}   // CancelMessage: the message being received ends with " <CANCEL>"
    virtual void stopReception() {}   // tmrRX off
    virtual void closeCapture() {}    // CloseCapture
    virtual void startReception() {}  // OpenCapture, then StartReception

    // The displays.
    virtual void resetStatusDisplays() {}  // and tmrRefrescoVumetro, tmrRefrescoMetrica, tmrRefrescoAdquisicion off
    virtual void clearWaterfall() {}
    virtual void setCursorReadoutEnabled(bool /*on*/) {}  // tmrPosicionCursor
    virtual void setTransmitLed(bool /*on*/) {}           // imgLedRojo shown and imgLedVerde hidden when on

    // The controls.
    virtual void focusSendWindow() {}
    virtual void txButtonChanged() {}  // caption, enabled or colour changed: read Transmitter::txButton()
    virtual void reevaluateMacroButtons() {}
    // cmdCQ, cmdCall3, cmdRO, cmdRRR and cmdCustom, and cmdCall when `includeCall`.
    virtual void enableMacroButtons(bool /*includeCall*/) {}
    virtual void setSoundCardSaveEnabled(bool /*on*/) {}  // cmdSave of the sound-card dialog
    virtual void showAbortDialog() {}                     // frmStopTransmission, not modal
    virtual void closeAbortDialog() {}

    // Pacing: while on, Transmitter::tick() is due every millisecond.
    virtual void transmitTimerChanged(bool /*running*/) {}
};

}  // namespace miv
