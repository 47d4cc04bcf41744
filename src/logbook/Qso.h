#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "logbook/AdifRecord.h"
#include "modem/ModemMode.h"

namespace miv {

// ADIF's SUBMODE for each MIV mode; the MODE is always "MFSK" (docs/logbook.md says why
// these names).
std::string_view submodeName(EffectiveMode mode);
inline constexpr std::string_view kAdifMode = "MFSK";

// One contact as the operator logs it. Text is UTF-8; empty text and absent numbers
// are left out of the record.
struct Qso {
    std::string callsign;
    std::chrono::sys_seconds start{};
    std::chrono::sys_seconds end{};
    std::optional<double> frequencyHz;  // on the dial, as the rig shows it
    std::string band;                   // ADIF band; from the frequency when empty
    EffectiveMode mode = EffectiveMode::Hf2250Fast;
    std::string reportSent;
    std::string reportReceived;
    std::string name;
    std::string qth;
    std::string locator;
    std::string comment;
    std::optional<double> snrDb;  // of the other station's last message, 2500 Hz reference
    std::string ownCallsign;
    std::string ownLocator;
};

AdifRecord adifRecord(const Qso& qso);

}  // namespace miv
