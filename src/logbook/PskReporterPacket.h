#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace miv {

// One station heard: a sender record of PSK Reporter's IPFIX format.
struct Spot {
    std::string senderCallsign;
    std::uint32_t frequencyHz = 0;  // on air: dial plus the signal's audio frequency
    std::string mode;
    std::optional<int> snrDb;            // left out of the record when unknown
    std::uint32_t flowStartSeconds = 0;  // when it was heard, seconds since 1970 UTC

    friend bool operator==(const Spot&, const Spot&) = default;
};

// Who heard it: the receiver record.
struct SpotReceiver {
    std::string callsign;
    std::string locator;
    std::string software;  // "MIV 2.5.0 Beta"
};

// PSK Reporter's published layout: enterprise number 30351 for its own elements.
inline constexpr std::uint32_t kPskReporterEnterprise = 30351;
inline constexpr std::uint16_t kReceiverTemplateId = 0x9992;
inline constexpr std::uint16_t kSenderTemplateId = 0x9993;       // with the SNR
inline constexpr std::uint16_t kSenderNoSnrTemplateId = 0x9994;  // without it
inline constexpr std::size_t kLongestDatagram = 1400;            // below every path's MTU

// One IPFIX message (version 10): the header, the templates the records use, the
// receiver record and the sender records. The templates ride in every message, so a
// collector that restarted reads the very next one; at one message per five minutes
// that costs nothing. Strings longer than 254 bytes are cut.
struct IpfixMessage {
    std::uint32_t exportSeconds = 0;
    std::uint32_t sequence = 0;           // data records sent before this message
    std::uint32_t observationDomain = 0;  // this program's run, chosen at random
};
std::vector<std::uint8_t> encodePskReporterPacket(const IpfixMessage& header, const SpotReceiver& receiver,
                                                  std::span<const Spot> spots);

}  // namespace miv
