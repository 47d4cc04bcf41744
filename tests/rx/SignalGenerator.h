#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modem/ModemMode.h"

namespace miv::test {

// A whole transmission on the air format, written from the frame tables for the
// receiver's tests: silent lead-in, initial tone, preamble, coded and interleaved
// characters, end marker. `text` is 8-bit (Windows-1252); character 8 is a backspace.
struct GeneratedTransmission {
    std::vector<std::int16_t> samples;
    std::vector<std::uint8_t> sentTones;  // the sent symbols in order (y4, y5, ...)
    std::vector<std::uint8_t> sentGroups;
    std::size_t firstSymbolSample = 0;
    // Where the symbol time of the end marker's first tone begins: no marker tone is
    // sent before it. 0 without an end marker.
    std::size_t endMarkerSample = 0;
};

struct GeneratorOptions {
    bool longTone = false;
    int idleCharacters = 0;  // NUL characters sent after the text
    bool endMarker = true;   // false: the text and idles, then the transmission stops
};

GeneratedTransmission generateTransmission(const ModemMode& mode, const std::string& text,
                                           const GeneratorOptions& options = {});

}  // namespace miv::test
