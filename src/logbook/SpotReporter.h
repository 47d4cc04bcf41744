#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "logbook/PskReporterPacket.h"

namespace miv {

// PSK Reporter's rules for a program that reports what it hears: at most one datagram
// every five minutes, each heard station at most once an hour. Spots wait here until a
// datagram may go; what does not fit one datagram waits for the next.
class SpotReporter {
public:
    static constexpr std::chrono::seconds kDatagramInterval{5 * 60};
    static constexpr std::chrono::seconds kSenderInterval{60 * 60};

    explicit SpotReporter(std::uint32_t observationDomain) : observationDomain_(observationDomain) {}

    // False when the sender was already spotted within the hour.
    bool add(const Spot& spot, std::chrono::sys_seconds now);
    // The datagram to send now, if spots wait and the last one went five minutes ago.
    std::optional<std::vector<std::uint8_t>> due(const SpotReceiver& receiver, std::chrono::sys_seconds now);
    // Spots switched off: what waits is dropped.
    void clear() { waiting_.clear(); }
    std::size_t waiting() const { return waiting_.size(); }

private:
    std::uint32_t observationDomain_;
    std::uint32_t recordsSent_ = 0;
    std::optional<std::chrono::sys_seconds> lastDatagram_;
    std::map<std::string, std::chrono::sys_seconds> lastSpotted_;
    std::vector<Spot> waiting_;
};

}  // namespace miv
