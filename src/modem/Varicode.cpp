#include "modem/Varicode.h"

namespace miv {

std::uint8_t MapCharacter(int code, bool sixBitAlphabet)
{
    if (!sixBitAlphabet)
        return static_cast<std::uint8_t>(code);
    if (code == 8)
        return 27;  // backspace takes the semicolon's slot
    if (code >= 'a' && code <= 'z')
        return static_cast<std::uint8_t>(code - 64);
    if (code < 32 || code > 122 || code == '`' || code == ';' || code == '\'')
        return 0;
    if (code == ' ')
        return 7;  // space takes the apostrophe's slot
    return static_cast<std::uint8_t>(code - 32);
}

std::uint8_t UpperCaseIfReduced(int code, bool sixBitAlphabet)
{
    if (sixBitAlphabet && code >= 'a' && code <= 'z')
        return static_cast<std::uint8_t>(code - 32);
    return static_cast<std::uint8_t>(code);
}

std::string SixBits(int value)
{
    if (value <= 2)
        return value == 0 ? "00" : value == 1 ? "01" : "10";
    return SixBits(value / 2) + static_cast<char>('0' + value % 2);
}

std::string sixBitField(int value)
{
    std::string bits = SixBits(value);
    if (bits.size() > 6)
        return bits.substr(bits.size() - 6);
    return std::string(6 - bits.size(), '0') + bits;
}

std::uint8_t LookupVaricode(const std::array<std::uint8_t, kMaxVaricodeLength + 1>& buffer, int length)
{
    for (int code = 0; code < 256; ++code) {
        const std::string_view entry = VaricodeTable[static_cast<std::size_t>(code)];
        if (static_cast<int>(entry.size()) != length)
            continue;
        bool same = true;
        for (int i = 0; i < length && same; ++i)
            same = entry[static_cast<std::size_t>(i)] - '0' == buffer[static_cast<std::size_t>(i + 1)];
        if (!same)
            continue;
        const bool hidden =
            (code >= 127 && code <= 160) || (code >= 1 && code <= 31 && code != 4 && code != 8 && code != 13);
        return hidden ? 0 : static_cast<std::uint8_t>(code);
    }
    return 0;
}

void ReceivedTextWriter::reset()
{
    rememberedLength_ = window_.length();
    receivedText_.clear();
}

void ReceivedTextWriter::append(std::string_view text)
{
    window_.setInsertColour(Colour::Blue);
    window_.moveToEnd();
    window_.setSelText(std::string(text));
    for (char c : text)
        if (c != '\0')
            receivedText_ += c;
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
    if (!receivedText_.empty())
        receivedText_.pop_back();
}

void VaricodeDecoder::reset()
{
    zeroPair_ = true;
    const std::string_view idle = VaricodeTable[0];
    for (std::size_t i = 0; i < idle.size(); ++i)
        buffer_[i + 1] = static_cast<std::uint8_t>(idle[i] - '0');
    writePosition_ = static_cast<int>(idle.size()) + 1;
    writer_.reset();
}

void VaricodeDecoder::DecodeVaricodeBit(int bit)
{
    const auto b = static_cast<std::uint8_t>(bit != 0);
    if (previousBit_ == 0 && b == 0)
        zeroPair_ = true;
    previousBit_ = b;
    if (writePosition_ == kMaxVaricodeLength + 1)
        writePosition_ = 2;  // an over-long character is abandoned; its first bit stays
    buffer_[static_cast<std::size_t>(writePosition_)] = b;
    if (zeroPair_ && b == 1) {
        deliver(LookupVaricode(buffer_, writePosition_ - 1));
        zeroPair_ = false;
        writePosition_ = 1;
        buffer_[1] = 1;  // this 1 starts the next character
    }
    ++writePosition_;
}

void VaricodeDecoder::deliver(std::uint8_t code)
{
    if (code == 13)
        writer_.append("\r\n");
    else if (code == 8)
        writer_.backspace();
    else if (code != 0)
        writer_.append(std::string(1, static_cast<char>(code)));
}

}  // namespace miv
