#include "app/cli/Validators.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace miv::cli {

CLI::Validator finiteNumber()
{
    return CLI::Validator(
        [](const std::string& text) {
            double value = 0;
            return CLI::detail::lexical_cast(text, value) && std::isfinite(value) ? std::string()
                                                                                  : "expected a finite number";
        },
        "FINITE");
}

CLI::Validator unsigned64()
{
    return CLI::Validator(
        [](const std::string& text) {
            std::uint64_t value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            return error == std::errc() && end == text.data() + text.size() && !text.empty()
                       ? std::string()
                       : "expected a whole number from 0 to 18446744073709551615";
        },
        "UINT64");
}

}  // namespace miv::cli
