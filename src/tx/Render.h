#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "tx/Transmitter.h"

namespace miv {

// Drives a whole transmission through the transmitter's ticks: presses the transmit
// button, asks to stop once `idleCharacters` idle characters have followed the text,
// and ticks until the transmission has ended. Meant for sinks that are always ready
// (files, memory), where every tick moves a block. `abandon`, checked after each tick,
// cuts the run short (a failed write). False when the transmission did not start.
bool runTransmission(Transmitter& transmitter, long idleCharacters, const std::function<bool()>& abandon = {});

struct RenderOptions {
    bool longInitialTone = false;  // as after the CQ macro
    long idleCharacters = 0;
    UtcTime utc{12, 0, 0};
};

struct RenderedTransmission {
    std::vector<std::int16_t> samples;  // 48 kHz mono, from the first lead-in block
    std::string receiveWindow;          // the header, the echo and " <STOP>"
};

// The audio of a whole transmission of `text` (8-bit characters) in `mode`, for tests
// and tools that need a signal.
RenderedTransmission renderTransmission(const ModemMode& mode, const std::string& text,
                                        const RenderOptions& options = {});

}  // namespace miv
