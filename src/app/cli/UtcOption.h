#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "platform/Clock.h"

namespace miv::cli {

// "HH:MM" (00:00 to 23:59), or nothing when the text is not such a time.
std::optional<UtcTime> parseUtc(const std::string& text);

// --utc HH:MM, checked as it is parsed, so a command can rely on parseUtc.
void addUtcOption(CLI::App& command, std::string& utc, const std::string& description);

}  // namespace miv::cli
