#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace miv {

// The text windows hold 8-bit characters; codes 128..255 are those of Windows-1252,
// which is what other stations on this format send. The operator's text is Unicode
// (UTF-8 here), so every crossing between the two goes through these functions.

// The 8-bit code of a Unicode character, if it has one.
std::optional<std::uint8_t> toCp1252(char32_t c);
// The Unicode character of an 8-bit code (the five undefined codes map to themselves).
char32_t fromCp1252(std::uint8_t code);

std::string cp1252ToUtf8(std::string_view text);

struct Cp1252Conversion {
    std::string text;                         // the 8-bit text, unsendable characters left out
    std::optional<char32_t> firstUnsendable;  // the first character left out, if any
    bool invalidUtf8 = false;                 // the input was not well-formed UTF-8
};
Cp1252Conversion utf8ToCp1252(std::string_view utf8);

std::string utf8Encode(char32_t c);

}  // namespace miv
