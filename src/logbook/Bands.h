#pragma once

#include <optional>
#include <string_view>

namespace miv {

// The ADIF band ("20m", "70cm", ...) that holds a frequency in Hz; nothing outside every
// amateur band.
std::optional<std::string_view> bandOf(double hz);

// Whether a band name is one ADIF knows (any letter case).
bool knownBand(std::string_view band);

// Whether a frequency in Hz lies in the named band.
bool bandHolds(std::string_view band, double hz);

}  // namespace miv
