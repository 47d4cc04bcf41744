#include "modem/Picture.h"

#include <cmath>
#include <cstdio>

namespace miv {

std::string formatPicture(double value, std::string_view picture)
{
    const std::size_t point = picture.find('.');
    const std::string_view whole = picture.substr(0, point);
    const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(picture.size() - point - 1);
    int minimumDigits = 0;
    for (char c : whole)
        minimumDigits += c == '0';

    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(std::fabs(value) * scale);  // halves away from zero
    const double integerPart = std::floor(scaled / scale);
    const double fraction = scaled - integerPart * scale;

    std::string digits;
    if (integerPart > 0 || minimumDigits > 0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.0f", integerPart);
        digits = buffer;
        if (integerPart == 0)
            digits.clear();
        if (static_cast<int>(digits.size()) < minimumDigits)
            digits.insert(0, static_cast<std::size_t>(minimumDigits) - digits.size(), '0');
    }
    std::string out = (value < 0 && scaled != 0) ? "-" : "";
    out += digits;
    if (decimals > 0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%0*.0f", decimals, fraction);
        out += '.';
        out += buffer;
    }
    return out;
}

}  // namespace miv
