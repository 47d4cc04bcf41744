#pragma once

#include <string>
#include <string_view>

namespace miv {

// Formats a number with a picture such as "0", "00", "###", "0.0", "#######.0" or
// "######0.0": '0' is a digit always shown, '#' a digit shown only when significant,
// and the places after the point are always shown. Halves round away from zero; a
// value that rounds to zero shows no sign.
std::string formatPicture(double value, std::string_view picture);

}  // namespace miv
