#include "app/cli/UtcOption.h"

namespace miv::cli {

std::optional<UtcTime> parseUtc(const std::string& text)
{
    auto digit = [&text](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
    if (text.size() != 5 || text[2] != ':')
        return std::nullopt;
    const int h1 = digit(0), h2 = digit(1), m1 = digit(3), m2 = digit(4);
    if (h1 < 0 || h2 < 0 || m1 < 0 || m2 < 0 || 10 * h1 + h2 > 23 || m1 > 5)
        return std::nullopt;
    return UtcTime{10 * h1 + h2, 10 * m1 + m2, 0};
}

void UtcOption::addTo(CLI::App& command, const std::string& description)
{
    command.add_option("--utc", text_, description)
        ->check(CLI::Validator(
            [](const std::string& text) { return parseUtc(text) ? std::string() : std::string("expected HH:MM"); },
            "HH:MM"));
}

const Clock& UtcOption::clock()
{
    if (text_.empty())
        return system_;
    fixed_.set(*parseUtc(text_));
    return fixed_;
}

}  // namespace miv::cli
