#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "station/ReceptionReports.h"

namespace miv::test {

// Switches for one receive step.
struct StepSettings {
    bool bw2250 = true;
    bool eme = false;
    bool baud16 = true;
    bool autoBaud = false;
    bool afcWide = true;
    Decoder decoder = Decoder::Standard;
};

// What the operator sees after a recording has been received to its end.
struct Decoded {
    std::string window;  // the receive window's text, as stored (CR LF line ends)
    std::vector<ReceptionReport> reports;
};

// The command line's receive loop over audio in memory or in a file, clock at 12:00 UTC.
Decoded decodeSamples(const std::vector<std::int16_t>& samples, const StepSettings& settings);
Decoded decodeFile(const std::string& path, const StepSettings& settings);

std::string vectorPath(const std::string& name);
std::string readTextFile(const std::string& path);

}  // namespace miv::test
