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

bool reachesFarScreen(int code, bool sixBitAlphabet)
{
    if (sixBitAlphabet)
        return MapCharacter(code, true) != 0;
    const bool hidden =
        (code >= 127 && code <= 160) || (code >= 1 && code <= 31 && code != 4 && code != 8 && code != 13);
    return code != 0 && !hidden;
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

std::uint8_t LookupVaricode(const std::array<std::uint8_t, kMaxVaricodeLength>& bits, int length)
{
    for (int code = 0; code < 256; ++code) {
        const std::string_view entry = VaricodeTable[static_cast<std::size_t>(code)];
        if (static_cast<int>(entry.size()) != length)
            continue;
        bool same = true;
        for (std::size_t i = 0; i < entry.size() && same; ++i)
            same = entry[i] - '0' == bits[i];
        if (!same)
            continue;
        return reachesFarScreen(code, false) ? static_cast<std::uint8_t>(code) : 0;
    }
    return 0;
}

void VaricodeDecoder::reset()
{
    zeroPair_ = true;
    const std::string_view idle = VaricodeTable[0];
    for (std::size_t i = 0; i < idle.size(); ++i)
        bits_[i] = static_cast<std::uint8_t>(idle[i] - '0');
    length_ = static_cast<int>(idle.size());
}

std::optional<std::uint8_t> VaricodeDecoder::DecodeVaricodeBit(int bit)
{
    const auto b = static_cast<std::uint8_t>(bit != 0);
    if (previousBit_ == 0 && b == 0)
        zeroPair_ = true;
    previousBit_ = b;
    if (length_ == kMaxVaricodeLength)
        length_ = 1;  // an over-long character is abandoned; its first bit stays
    bits_[static_cast<std::size_t>(length_)] = b;
    std::optional<std::uint8_t> code;
    if (zeroPair_ && b == 1) {
        code = LookupVaricode(bits_, length_);
        zeroPair_ = false;
        length_ = 0;
        bits_[0] = 1;  // this 1 starts the next character
    }
    ++length_;
    return code;
}

std::optional<std::uint8_t> SixBitDecoder::SixBitDecode(int bit)
{
    value_ = 2 * value_ + (bit != 0 ? 1 : 0);
    if (++count_ < 6)
        return std::nullopt;
    const auto value = static_cast<std::uint8_t>(value_);
    value_ = 0;
    count_ = 0;
    return value;
}

}  // namespace miv
