#include "platform/Rig.h"

#include <algorithm>

namespace miv {

namespace {

const std::string kNoAnswer = "Communication timed out";

}  // namespace

std::string describeRig(const RigAddress& address, const std::vector<RigModel>& catalogue)
{
    if (address.link == RigLink::Rigctld)
        return "rigctld at " + address.host + ":" + std::to_string(address.port);
    const auto known = std::find_if(catalogue.begin(), catalogue.end(),
                                    [&](const RigModel& model) { return model.number == address.model; });
    const std::string name =
        known != catalogue.end() ? known->maker + " " + known->name : "rig model " + std::to_string(address.model);
    return name + " on " + address.device;
}

void FakeRig::connect(const RigAddress& to)
{
    disconnect();
    log.emplace_back("connect");
    address = to;
}

void FakeRig::disconnect()
{
    if (!address)
        return;
    if (keyed)
        setPtt(false);
    log.emplace_back("disconnect");
    address.reset();
    reading_ = false;
}

RigReply FakeRig::setPtt(bool on)
{
    log.emplace_back(on ? "ptt on" : "ptt off");
    if (!address || !answering)
        return {false, 0, kNoAnswer};
    keyed = on;
    return {true, 0, {}};
}

bool FakeRig::requestFrequency()
{
    if (!address || reading_)
        return false;
    log.emplace_back("read");
    reading_ = true;
    return true;
}

std::optional<RigReply> FakeRig::takeFrequency()
{
    if (!reading_)
        return std::nullopt;
    reading_ = false;
    if (!answering)
        return RigReply{false, 0, kNoAnswer};
    return RigReply{true, dialHz, {}};
}

}  // namespace miv
