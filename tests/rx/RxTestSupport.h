#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/audio/BlockAudioSource.h"
#include "rx/ReceiverObserver.h"

namespace miv::test {

// Switches for one receive step: "2250x16", "500x1", "2250auto", "eme-wide", ...
struct StepSettings {
    bool bw2250 = true;
    bool eme = false;
    bool baud16 = true;
    bool autoBaud = false;
    bool afcWide = true;
};
void applySettings(ModeSwitches& switches, const StepSettings& settings);

// What the operator sees after a recording has been received to its end.
struct Decoded {
    std::string window;  // the receive window's text, as stored (CR LF line ends)
    std::vector<ReceptionReport> reports;
};

// Runs the command line's receive loop over the source, clock at 12:00 UTC.
Decoded decode(BlockAudioSource& source, const StepSettings& settings);
Decoded decodeSamples(const std::vector<std::int16_t>& samples, const StepSettings& settings);
Decoded decodeFile(const std::string& path, const StepSettings& settings);

// The window text of one complete message after an empty window.
std::string messageLine(const std::string& shift, const std::string& text, const std::string& ending = " <STOP>");

std::string vectorPath(const std::string& name);
std::string readTextFile(const std::string& path);

}  // namespace miv::test
