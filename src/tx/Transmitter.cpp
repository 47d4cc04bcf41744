#include "tx/Transmitter.h"

namespace miv {

Transmitter::Transmitter(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow,
                         const Clock& clock, AudioSink& sink, OperatorMessages& messages, TransmitKeyer& keyer,
                         TransmitterHooks& hooks)
    : switches_(switches),
      sendWindow_(sendWindow),
      receiveWindow_(receiveWindow),
      keyer_(keyer),
      hooks_(hooks),
      output_(sink, messages),
      generator_(switches, sendWindow, receiveWindow, clock, vars_),
      synthesizer_(switches, generator_, output_, vars_)
{
}

Transmitter::~Transmitter()
{
    shutdown();
}

void Transmitter::cmdTX_RX_Click()
{
    switch (vars_.txState) {
    case TxState::Receiving:
        hooks_.cancelMessage();
        if (!keyer_.KeyTransmitter())
            return;
        hooks_.focusSendWindow();
        vars_.txState = TxState::Transmitting;
        hooks_.stopReception();
        hooks_.cancelMessage();
        hooks_.txButtonChanged();
        hooks_.setSoundCardSaveEnabled(false);
        hooks_.clearWaterfall();
        hooks_.setCursorReadoutEnabled(false);
        StartTransmission();
        break;
    case TxState::Transmitting:
        vars_.txState = TxState::StopRequested;
        hooks_.txButtonChanged();
        hooks_.focusSendWindow();
        break;
    case TxState::StopRequested:
        break;
    }
}

void Transmitter::StartTransmission()
{
    vars_.SentCount = 0;
    vars_.BackspaceRequest = false;
    vars_.BackspaceConfirmed = false;
    // A YES given after the last transmission ended must not cut this one.
    vars_.CancelRequest = false;
    hooks_.resetStatusDisplays();
    hooks_.closeCapture();
    hooks_.reevaluateMacroButtons();
    output_.OpenAudioOutput();
    hooks_.setTransmitLed(true);
    synthesizer_.BuildToneTable();
    output_.resetIndex();
    generator_.reset();
    vars_.EndSignal = false;
    const ModemMode& mode = switches_.mode();
    synthesizer_.reset(!mode.baud16 || vars_.LongInitialTone);
    setTimer(mode.eme ? TxTimer::Refill : TxTimer::InitialTone);
}

void Transmitter::tick()
{
    if (timer_ == TxTimer::None)
        return;
    if (!output_.isOpen()) {
        // No device: no block can go out, so nothing is left to send and a stop or a
        // cancel ends the transmission at once.
        if (vars_.CancelRequest || vars_.txState == TxState::StopRequested)
            EndTransmission();
        return;
    }
    if (timer_ == TxTimer::InitialTone) {
        if (synthesizer_.InitialToneTick() == ToneSynthesizer::Step::ToneDone)
            timer_ = TxTimer::Refill;
        return;
    }
    if (synthesizer_.tmrTX_Timer() == ToneSynthesizer::Step::End)
        EndTransmission();
}

void Transmitter::EndTransmission()
{
    receiveWindow_.moveToEnd();
    if (vars_.CancelRequest) {
        receiveWindow_.setSelText(" <CANCEL>");
        vars_.CancelRequest = false;
    } else {
        receiveWindow_.setSelText(" <STOP>");
    }
    receiveWindow_.moveToEnd();
    setTimer(TxTimer::None);
    keyer_.UnkeyTransmitter();
    output_.CloseAudioOutput();
    hooks_.setTransmitLed(false);

    const std::string text = sendWindow_.text();
    sendWindow_.setText("");
    sendWindow_.setSelStart(0);
    sendWindow_.setInsertColour(Colour::Black);
    sendWindow_.setSelText(text);

    hooks_.startReception();
    if (switches_.waterfallOn())
        hooks_.setCursorReadoutEnabled(true);
    vars_.txState = TxState::Receiving;
    hooks_.txButtonChanged();
    hooks_.enableMacroButtons(!switches_.mode().baud16);
    hooks_.setSoundCardSaveEnabled(true);
    hooks_.closeAbortDialog();
}

void Transmitter::setTimer(TxTimer timer)
{
    const bool wasRunning = timer_ != TxTimer::None;
    timer_ = timer;
    if (wasRunning != (timer != TxTimer::None))
        hooks_.transmitTimerChanged(timer != TxTimer::None);
}

void Transmitter::cmdYES_Click()
{
    if (transmitting())
        vars_.CancelRequest = true;
}

int Transmitter::sendWindowKeyDown(int keyCode, bool /*shift*/)
{
    if (abortDialogAllowed() && keyCode == kKeyEscape)
        hooks_.showAbortDialog();
    if (sentTextLocked()) {
        const int caret = sendWindow_.selStart();
        if (caret < vars_.SentCount && keyCode != kKeyLeft && keyCode != kKeyRight)
            return 0;
        // At 1 baud the key press discards Backspace, so asking for one would send a
        // backspace and then the same character again.
        if (caret == vars_.SentCount && keyCode == kKeyBackspace && switches_.mode().baud16)
            vars_.BackspaceRequest = true;
    }
    return keyCode;
}

int Transmitter::sendWindowKeyPress(int charCode)
{
    if (vars_.BackspaceRequest && !vars_.EndSignal)
        vars_.BackspaceConfirmed = charCode == kKeyBackspace;
    if (!switches_.mode().baud16) {
        // Only the 6-bit alphabet's characters, in capitals.
        if (charCode >= 123 || charCode == '`' || charCode == ';' || charCode == '\'' || charCode < 32)
            charCode = 0;
        else if (charCode >= 'a' && charCode <= 'z')
            charCode -= 32;
    }
    sendWindow_.setInsertColour(Colour::Black);
    return charCode;
}

void Transmitter::clearSendWindow()
{
    if (sentTextLocked()) {
        sendWindow_.setSelStart(vars_.SentCount);
        sendWindow_.setSelLength(sendWindow_.length() - vars_.SentCount);
        sendWindow_.setSelText("");
    } else {
        sendWindow_.setText("");
    }
    sendWindow_.setInsertColour(Colour::Black);
}

void Transmitter::shutdown()
{
    if (!transmitting() && !output_.isOpen())
        return;
    timer_ = TxTimer::None;
    keyer_.UnkeyTransmitter();
    output_.CloseAudioOutput();
    vars_.txState = TxState::Receiving;
}

TxButtonLook Transmitter::txButton() const
{
    switch (vars_.txState) {
    case TxState::Transmitting:
        return {"STOP", true, Colour::Red};
    case TxState::StopRequested:
        return {"WAIT", false, Colour::Grey};
    case TxState::Receiving:
        break;
    }
    return {"PTT", true, Colour::Red};
}

}  // namespace miv
