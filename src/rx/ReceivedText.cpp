#include "rx/ReceivedText.h"

#include "modem/Frame.h"

namespace miv {

namespace {

// 6-bit alphabet values with a meaning of their own; the others are the character
// 32 + value.
constexpr std::uint8_t kIdle = 0;
constexpr std::uint8_t kSpace = 7;  // in the apostrophe's place
constexpr std::uint8_t kBackspace = 27;
constexpr std::uint8_t kAt = '@' - 32;
// The rate bit and five of its zeros make the "@"; at most this many zeros follow it
// before the marker's first 1.
constexpr int kZerosAfterRateBitAt = kEndMarkerLongestZeroRun - 5;

constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kVaricodeBackspace = 8;

}  // namespace

void ReceivedTextWriter::reset()
{
    rememberedLength_ = window_.length();
    text_.clear();
}

void ReceivedTextWriter::append(std::string_view text)
{
    window_.setInsertColour(Colour::Blue);
    window_.moveToEnd();
    window_.setSelText(std::string(text));
    for (char c : text)
        if (c != '\0')
            text_ += c;
}

void ReceivedTextWriter::backspace()
{
    // The character is removed where it stands, so the colours of everything before
    // it survive.
    const int length = window_.length();
    if (length <= rememberedLength_)
        return;
    window_.setSelStart(length - 1);
    window_.setSelLength(1);
    window_.setSelText("");
    window_.setInsertColour(Colour::Blue);
    if (!text_.empty())
        text_.pop_back();
}

void ReceivedText::reset()
{
    varicode_.reset();
    sixBit_.reset();
    writer_.reset();
    held_ = false;
}

void ReceivedText::decodeBits(std::uint8_t first, std::uint8_t second, const ModemMode& mode)
{
    for (const std::uint8_t bit : {first, second}) {
        if (mode.sixBitAlphabet())
            decodeSixBit(bit, mode.eme);
        else
            decodeVaricode(bit);
    }
}

void ReceivedText::decodeVaricode(int bit)
{
    const std::optional<std::uint8_t> code = varicode_.DecodeVaricodeBit(bit);
    if (!code)
        return;
    if (*code == kCarriageReturn)
        writer_.append("\r\n");
    else if (*code == kVaricodeBackspace)
        writer_.backspace();
    else if (*code != 0)
        writeCharacter(static_cast<char>(*code));
}

void ReceivedText::decodeSixBit(int bit, bool eme)
{
    if (held_ && (bit != 0 || ++zerosAfterHeld_ > kZerosAfterRateBitAt))
        flush();
    const std::optional<std::uint8_t> value = sixBit_.SixBitDecode(bit);
    if (!value)
        return;
    if (eme && *value == kAt) {
        held_ = true;
        zerosAfterHeld_ = 0;
        return;
    }
    writeSixBit(*value);
}

void ReceivedText::writeSixBit(std::uint8_t value)
{
    if (value == kBackspace) {
        writer_.backspace();
    } else if (value == kSpace) {
        writer_.append(" ");
    } else if (value != kIdle) {
        writeCharacter(static_cast<char>(32 + value));
    }
}

void ReceivedText::writeCharacter(char c)
{
    writer_.append(std::string_view(&c, 1));
}

void ReceivedText::flush()
{
    if (!held_)
        return;
    held_ = false;
    writeSixBit(kAt);
}

}  // namespace miv
