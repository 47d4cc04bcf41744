#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "platform/Clock.h"

namespace miv::cli {

// "HH:MM" (00:00 to 23:59), or nothing when the text is not such a time.
std::optional<UtcTime> parseUtc(const std::string& text);

// --utc HH:MM, checked as it is parsed: the clock of a command, which reads the given
// time, or the system's time without the option.
class UtcOption {
public:
    void addTo(CLI::App& command, const std::string& description);
    const Clock& clock();

private:
    std::string text_;
    SystemClock system_;
    FixedClock fixed_;
};

}  // namespace miv::cli
