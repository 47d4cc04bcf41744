#include "station/RigControl.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace miv {

RigControl::RigControl(Rig& rig, PttKeyer& serial, OperatorMessages& messages, std::vector<RigModel> catalogue)
    : rig_(rig),
      serial_(serial),
      catalogue_(std::move(catalogue)),
      cat_(rig, messages)
{
}

RigControl::~RigControl()
{
    UnkeyTransmitter();
    rig_.disconnect();
}

void RigControl::apply(const RigSettings& settings)
{
    UnkeyTransmitter();
    const std::optional<RigAddress> before = settings_.catAddress();
    settings_ = settings;
    const std::optional<RigAddress> address = settings_.catAddress();
    if (address == before)
        return;
    catDialHz_.reset();
    lostTold_ = false;
    if (!address) {
        rig_.disconnect();
        return;
    }
    rigName_ = describeRig(*address, catalogue_);
    cat_.setRigName(rigName_);
    rig_.connect(*address);
}

bool RigControl::KeyTransmitter()
{
    switch (settings_.method) {
    case PttMethod::Serial:
        return serial_.KeyTransmitter();
    case PttMethod::Hamlib:
    case PttMethod::Rigctld:
        return cat_.KeyTransmitter();
    case PttMethod::None:
        break;
    }
    return true;
}

void RigControl::UnkeyTransmitter()
{
    serial_.UnkeyTransmitter();
    cat_.UnkeyTransmitter();
}

std::optional<std::string> RigControl::takeUnkeyFailure()
{
    const std::optional<std::string> failure = cat_.takeUnkeyFailure();
    if (!failure)
        return std::nullopt;
    return rigName_ + " did not confirm PTT off (" + *failure + "): check that the radio is not transmitting";
}

RigControl::Poll RigControl::poll()
{
    if (!usesCat())
        return {};
    Poll result;
    if (const std::optional<RigReply> reading = rig_.takeFrequency()) {
        if (reading->ok) {
            lostTold_ = false;
            result.dialChanged = catDialHz_ != reading->frequencyHz;
            catDialHz_ = reading->frequencyHz;
        } else {
            if (!lostTold_)
                result.tell = rigName_ + " not available: " + reading->error;
            lostTold_ = true;
            result.lost = true;
            result.dialChanged = catDialHz_.has_value();
            catDialHz_.reset();
        }
    }
    rig_.requestFrequency();
    return result;
}

std::optional<double> RigControl::rfFrequencyHz(double audioOffsetHz) const
{
    const std::optional<double> dial = dialHz();
    if (!dial)
        return std::nullopt;
    return *dial + audioOffsetHz;
}

int watchdogMinutes(const RigSettings& settings, const ModemMode& mode)
{
    return mode.eme || !mode.baud16 ? settings.watchdogSlowMinutes : settings.watchdog16BaudMinutes;
}

std::string formatMegahertz(double hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f MHz", hz / 1e6);
    return text;
}

std::optional<double> parseMegahertz(const std::string& text)
{
    std::string number = text;
    for (char& c : number)
        if (c == ',')
            c = '.';
    char* end = nullptr;
    const double megahertz = std::strtod(number.c_str(), &end);
    while (end != nullptr && *end == ' ')
        ++end;
    if (end == number.c_str() || (end != nullptr && *end != '\0' && std::string_view(end) != "MHz"))
        return std::nullopt;
    const double hz = std::round(megahertz * 1e6);
    if (!std::isfinite(hz) || hz < kLowestDialHz || hz > kHighestDialHz)
        return std::nullopt;
    return hz;
}

}  // namespace miv
