#include "modem/Charset.h"

#include <array>

namespace miv {

namespace {

// Unicode characters of codes 0x80..0x9F; the undefined codes keep their own value.
constexpr std::array<char32_t, 32> kHighControls{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t fromCp1252(std::uint8_t code)
{
    if (code >= 0x80 && code <= 0x9F)
        return kHighControls[code - 0x80u];
    return code;
}

std::optional<std::uint8_t> toCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

std::string utf8Encode(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        out += utf8Encode(fromCp1252(static_cast<std::uint8_t>(c)));
    return out;
}

Cp1252Conversion utf8ToCp1252(std::string_view utf8)
{
    Cp1252Conversion result;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        int extra = 0;
        char32_t c = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            c = lead & 0x07;
        } else if (lead >= 0xE0) {
            extra = lead <= 0xEF ? 2 : -1;
            c = lead & 0x0F;
        } else if (lead >= 0xC2) {
            extra = 1;
            c = lead & 0x1F;
        } else if (lead >= 0x80) {
            extra = -1;
        }
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<std::uint8_t>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            result.invalidUtf8 = true;
            ++i;
            continue;
        }
        i += 1 + static_cast<std::size_t>(extra);
        if (const auto code = toCp1252(c))
            result.text += static_cast<char>(*code);
        else if (!result.firstUnsendable)
            result.firstUnsendable = c;
    }
    return result;
}

}  // namespace miv
