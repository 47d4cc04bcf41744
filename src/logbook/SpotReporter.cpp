#include "logbook/SpotReporter.h"

namespace miv {

bool SpotReporter::add(const Spot& spot, std::chrono::sys_seconds now)
{
    std::erase_if(lastSpotted_, [&](const auto& entry) { return now - entry.second >= kSenderInterval; });
    if (!lastSpotted_.try_emplace(spot.senderCallsign, now).second)
        return false;
    waiting_.push_back(spot);
    return true;
}

std::optional<std::vector<std::uint8_t>> SpotReporter::due(const SpotReceiver& receiver, std::chrono::sys_seconds now)
{
    if (waiting_.empty() || (lastDatagram_ && now - *lastDatagram_ < kDatagramInterval))
        return std::nullopt;
    const IpfixMessage header{static_cast<std::uint32_t>(now.time_since_epoch().count()), recordsSent_,
                              observationDomain_};
    // As many waiting spots as fit; a single spot always goes.
    std::size_t count = waiting_.size();
    auto datagram = encodePskReporterPacket(header, receiver, waiting_);
    while (datagram.size() > kLongestDatagram && count > 1) {
        --count;
        datagram = encodePskReporterPacket(header, receiver, std::span(waiting_).first(count));
    }
    // The receiver record counts as a data record too.
    recordsSent_ += static_cast<std::uint32_t>(count + 1);
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(count));
    lastDatagram_ = now;
    return datagram;
}

}  // namespace miv
