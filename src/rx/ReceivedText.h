#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modem/ModemMode.h"
#include "modem/Varicode.h"
#include "platform/TextWindow.h"

namespace miv {

// Writes received characters into the receive window in blue and keeps the text of
// the current message for the e-mail report. A backspace withdraws the last received
// character, never text that was in the window before the message began.
class ReceivedTextWriter {
public:
    explicit ReceivedTextWriter(TextWindow& window) : window_(window) {}

    // A new message: remember where the window stands, empty the accumulator.
    void reset();
    void clear() { text_.clear(); }
    void append(std::string_view text);
    void backspace();

    // Text decoded since the last reset, without NUL characters.
    const std::string& text() const { return text_; }

private:
    TextWindow& window_;
    int rememberedLength_ = 0;
    std::string text_;
};

// Turns the decoded bits of a message into characters in the receive window: the
// varicode on HF at 16 baud, the 6-bit alphabet otherwise.
//
// In EME the end marker's rate bit is 1 at stations whose hidden symbol-rate switch
// says 16 baud; the 6-bit alphabet reads it, with the zeros after it, as "@". So an "@"
// in EME is held back until it is clear whether the end marker follows: a 1 bit (more
// text) or a zero run longer than the marker's shows it; the end marker drops it.
class ReceivedText {
public:
    explicit ReceivedText(TextWindow& window) : writer_(window) {}

    // The character decoders start afresh; what the window holds now is safe from
    // backspaces.
    void reset();
    // A new lock: the previous message's text is no longer needed.
    void clear() { writer_.clear(); }
    void decodeBits(std::uint8_t first, std::uint8_t second, const ModemMode& mode);
    // The end marker has arrived: an "@" held back was its rate bit.
    void endMarkerArrived() { held_ = false; }
    // The message is cut off: an "@" held back was received and shows.
    void flush();

    const std::string& text() const { return writer_.text(); }

private:
    void decodeVaricode(int bit);
    void decodeSixBit(int bit, bool eme);
    void writeSixBit(std::uint8_t value);
    void writeCharacter(char c);

    ReceivedTextWriter writer_;
    VaricodeDecoder varicode_;
    SixBitDecoder sixBit_;
    bool held_ = false;
    int zerosAfterHeld_ = 0;
};

}  // namespace miv
