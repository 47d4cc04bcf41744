#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "modem/ModemMode.h"

namespace miv::cli {

// --bw 2250|500 --channel hf|eme --baud 16|1 --auto on|off --afc wide|narrow, with the
// settings file's defaults.
struct ModeOptions {
    std::string bandwidth = "2250";
    std::string channel = "hf";
    std::string baud = "16";
    std::string autoBaud = "on";
    std::string afc = "wide";

    void addTo(CLI::App& command);
    void applyTo(ModeSwitches& switches) const;
};

}  // namespace miv::cli
