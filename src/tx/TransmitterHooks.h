#pragma once

namespace miv {

// What the start and the end of a transmission ask of the rest of the station, in the
// order the Transmitter calls them. Every call does nothing by default, so the command
// line needs none of them.
class TransmitterHooks {
public:
    virtual ~TransmitterHooks() = default;

    // The receiver.
    virtual void cancelMessage() {}   // the message being received ends with " <CANCEL>"
    virtual void stopReception() {}   // the receive timer stops
    virtual void closeCapture() {}    // the capture device is released for the transmission
    virtual void startReception() {}  // capture reopens and reception starts again

    // The displays.
    virtual void resetStatusDisplays() {}  // gauges at rest; the volume, metric and frame-acquisition refreshes stop
    virtual void clearWaterfall() {}
    virtual void setCursorReadoutEnabled(bool /*on*/) {}
    virtual void setTransmitLed(bool /*on*/) {}  // the red lamp on and the green one off, or the reverse

    // The controls.
    virtual void focusSendWindow() {}
    virtual void txButtonChanged() {}  // caption, enabled or colour changed: read Transmitter::txButton()
    virtual void reevaluateMacroButtons() {}
    // CQ, CALL3, RO, RRR and Custom, and CALL when `includeCall`.
    virtual void enableMacroButtons(bool /*includeCall*/) {}
    virtual void setSoundCardSaveEnabled(bool /*on*/) {}  // SAVE of the sound-card dialog
    virtual void showAbortDialog() {}                     // not modal: sending and typing go on
    virtual void closeAbortDialog() {}

    // Pacing: while on, Transmitter::tick() is due every millisecond.
    virtual void transmitTimerChanged(bool /*running*/) {}
};

}  // namespace miv
