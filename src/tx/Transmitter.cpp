#include "tx/Transmitter.h"

namespace miv {

namespace {

// What can be typed at 1 baud: the 6-bit alphabet's printable characters, space to
// 'z' less three signs it lacks, in capitals.
int sixBitTypable(int character)
{
    constexpr int kFirstPrintable = ' ';
    constexpr int kLastTypable = 'z';
    if (character < kFirstPrintable || character > kLastTypable || character == '`' || character == ';' ||
        character == '\'')
        return 0;
    if (character >= 'a' && character <= 'z')
        return character - 'a' + 'A';
    return character;
}

const std::string kSoundCardError = "SoundCard Error";
const std::string kOutputMissing = "Device output not avaiable";

}  // namespace

Transmitter::Transmitter(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow,
                         const Clock& clock, AudioSink& sink, OperatorMessages& messages, TransmitKeyer& keyer,
                         TransmitterHooks& hooks)
    : switches_(switches),
      sendWindow_(sendWindow),
      receiveWindow_(receiveWindow),
      messages_(messages),
      keyer_(keyer),
      hooks_(hooks),
      output_(sink),
      generator_(switches, sendWindow, receiveWindow, clock),
      synthesizer_(switches, generator_, output_)
{
}

Transmitter::~Transmitter()
{
    shutdown();
}

void Transmitter::pressTransmitButton()
{
    switch (state_) {
    case TxState::Receiving:
        hooks_.cancelMessage();
        if (!keyer_.KeyTransmitter())
            return;
        hooks_.focusSendWindow();
        state_ = TxState::Transmitting;
        hooks_.stopReception();
        hooks_.cancelMessage();
        hooks_.txButtonChanged();
        hooks_.setSoundCardSaveEnabled(false);
        hooks_.clearWaterfall();
        hooks_.setCursorReadoutEnabled(false);
        StartTransmission();
        break;
    case TxState::Transmitting:
        state_ = TxState::EndRequested;
        generator_.requestEnd();
        hooks_.txButtonChanged();
        hooks_.focusSendWindow();
        break;
    case TxState::EndRequested:
        break;
    }
}

void Transmitter::StartTransmission()
{
    // A YES given after the last transmission ended must not cut this one.
    cancelRequested_ = false;
    hooks_.resetStatusDisplays();
    hooks_.closeCapture();
    hooks_.reevaluateMacroButtons();
    if (!output_.OpenAudioOutput()) {
        // Nothing can be heard: the radio must not stand keyed while the operator reads
        // why, nor until the STOP that ends this transmission.
        keyer_.UnkeyTransmitter();
        messages_.critical(kSoundCardError, kOutputMissing);
    }
    hooks_.setTransmitLed(true);
    synthesizer_.BuildToneTable();
    output_.resetIndex();
    generator_.reset();
    synthesizer_.reset(longInitialTone_);
    setTimer(switches_.mode().parameters().hasInitialTone ? TxTimer::InitialTone : TxTimer::Refill);
}

void Transmitter::tick()
{
    if (timer_ == TxTimer::None)
        return;
    if (output_.failed()) {
        cutTransmission();
        messages_.critical(kSoundCardError, kOutputMissing);
        return;
    }
    if (!output_.isOpen()) {
        // No device: no block can go out, so nothing is left to send and a stop or a
        // cancel ends the transmission at once.
        if (cancelRequested_ || state_ == TxState::EndRequested)
            EndTransmission();
        return;
    }
    if (timer_ == TxTimer::InitialTone) {
        if (synthesizer_.InitialToneTick() == ToneSynthesizer::Step::ToneDone)
            timer_ = TxTimer::Refill;
        return;
    }
    if (synthesizer_.refill(cancelRequested_) == ToneSynthesizer::Step::End)
        EndTransmission();
}

void Transmitter::EndTransmission()
{
    receiveWindow_.moveToEnd();
    receiveWindow_.setSelText(cancelRequested_ ? " <CANCEL>" : " <STOP>");
    cancelRequested_ = false;
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
    state_ = TxState::Receiving;
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

void Transmitter::abortTransmission()
{
    cancelRequested_ = true;
}

void Transmitter::cutTransmission()
{
    if (!transmitting())
        return;
    keyer_.UnkeyTransmitter();
    cancelRequested_ = true;
    EndTransmission();
}

bool Transmitter::sendWindowKeyDown(SendWindowKey key)
{
    if (transmitting() && key == SendWindowKey::Escape)
        hooks_.showAbortDialog();
    if (sentTextLocked()) {
        const int caret = sendWindow_.selStart();
        const int sent = generator_.sentCount();
        if (caret < sent && key != SendWindowKey::Left && key != SendWindowKey::Right)
            return false;
        // At 1 baud the key press discards Backspace, so asking for one would send a
        // backspace and then the same character again.
        if (caret == sent && key == SendWindowKey::Backspace && switches_.mode().baud16)
            generator_.requestBackspace();
    }
    return true;
}

int Transmitter::sendWindowKeyPress(int character)
{
    if (!switches_.mode().baud16)
        character = sixBitTypable(character);
    sendWindow_.setInsertColour(Colour::Black);
    return character;
}

void Transmitter::clearSendWindow()
{
    if (sentTextLocked()) {
        const int sent = generator_.sentCount();
        sendWindow_.setSelStart(sent);
        sendWindow_.setSelLength(sendWindow_.length() - sent);
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
    state_ = TxState::Receiving;
}

TxButtonLook Transmitter::txButton() const
{
    switch (state_) {
    case TxState::Transmitting:
        return {"STOP", true, Colour::Red};
    case TxState::EndRequested:
        return {"WAIT", false, Colour::Grey};
    case TxState::Receiving:
        break;
    }
    return {"PTT", true, Colour::Red};
}

}  // namespace miv
