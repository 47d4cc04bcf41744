#include "logbook/PskReporterPacket.h"

#include <algorithm>

namespace miv {

namespace {

// Element numbers within PSK Reporter's enterprise, and IANA's flowStartSeconds.
constexpr std::uint16_t kSenderCallsign = 1;
constexpr std::uint16_t kReceiverCallsign = 2;
constexpr std::uint16_t kReceiverLocator = 4;
constexpr std::uint16_t kFrequency = 5;
constexpr std::uint16_t kSnr = 6;
constexpr std::uint16_t kDecoderSoftware = 8;
constexpr std::uint16_t kMode = 10;
constexpr std::uint16_t kInformationSource = 11;
constexpr std::uint16_t kFlowStartSeconds = 150;
constexpr std::uint16_t kVariableLength = 0xffff;
constexpr std::uint8_t kAutomaticallyExtracted = 1;  // informationSource: read from a decode
constexpr std::size_t kLongestString = 254;          // one length byte

class Writer {
public:
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v >> 8));
        u8(static_cast<std::uint8_t>(v));
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v));
    }
    void text(const std::string& s)
    {
        const std::size_t n = std::min(s.size(), kLongestString);
        u8(static_cast<std::uint8_t>(n));
        bytes.insert(bytes.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    }
    void enterpriseField(std::uint16_t element, std::uint16_t length)
    {
        u16(static_cast<std::uint16_t>(0x8000 | element));
        u16(length);
        u32(kPskReporterEnterprise);
    }
    // A set: its id and a length filled in when it ends, padded to four bytes.
    std::size_t beginSet(std::uint16_t id)
    {
        const std::size_t start = bytes.size();
        u16(id);
        u16(0);
        return start;
    }
    void endSet(std::size_t start)
    {
        while ((bytes.size() - start) % 4 != 0)
            u8(0);
        put16(start + 2, static_cast<std::uint16_t>(bytes.size() - start));
    }
    void put16(std::size_t at, std::uint16_t v)
    {
        bytes[at] = static_cast<std::uint8_t>(v >> 8);
        bytes[at + 1] = static_cast<std::uint8_t>(v);
    }

    std::vector<std::uint8_t> bytes;
};

void senderTemplate(Writer& w, std::uint16_t id, bool withSnr)
{
    const std::size_t set = w.beginSet(2);  // a template set
    w.u16(id);
    w.u16(withSnr ? 6 : 5);
    w.enterpriseField(kSenderCallsign, kVariableLength);
    w.enterpriseField(kFrequency, 4);
    if (withSnr)
        w.enterpriseField(kSnr, 1);
    w.enterpriseField(kMode, kVariableLength);
    w.enterpriseField(kInformationSource, 1);
    w.u16(kFlowStartSeconds);
    w.u16(4);
    w.endSet(set);
}

void senderRecords(Writer& w, std::uint16_t id, std::span<const Spot> spots, bool withSnr)
{
    const auto count =
        std::count_if(spots.begin(), spots.end(), [&](const Spot& s) { return s.snrDb.has_value() == withSnr; });
    if (count == 0)
        return;
    const std::size_t set = w.beginSet(id);
    for (const Spot& spot : spots) {
        if (spot.snrDb.has_value() != withSnr)
            continue;
        w.text(spot.senderCallsign);
        w.u32(spot.frequencyHz);
        if (withSnr)
            w.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(*spot.snrDb, -128, 127))));
        w.text(spot.mode);
        w.u8(kAutomaticallyExtracted);
        w.u32(spot.flowStartSeconds);
    }
    w.endSet(set);
}

}  // namespace

std::vector<std::uint8_t> encodePskReporterPacket(const IpfixMessage& header, const SpotReceiver& receiver,
                                                  std::span<const Spot> spots)
{
    Writer w;
    w.u16(10);  // IPFIX
    w.u16(0);   // the length, filled in at the end
    w.u32(header.exportSeconds);
    w.u32(header.sequence);
    w.u32(header.observationDomain);

    const bool anyWithSnr = std::any_of(spots.begin(), spots.end(), [](const Spot& s) { return s.snrDb.has_value(); });
    const bool anyWithoutSnr = std::any_of(spots.begin(), spots.end(), [](const Spot& s) { return !s.snrDb; });
    if (anyWithSnr)
        senderTemplate(w, kSenderTemplateId, true);
    if (anyWithoutSnr)
        senderTemplate(w, kSenderNoSnrTemplateId, false);

    const std::size_t options = w.beginSet(3);  // an options template set
    w.u16(kReceiverTemplateId);
    w.u16(3);  // fields
    w.u16(0);  // scope fields
    w.enterpriseField(kReceiverCallsign, kVariableLength);
    w.enterpriseField(kReceiverLocator, kVariableLength);
    w.enterpriseField(kDecoderSoftware, kVariableLength);
    w.endSet(options);

    const std::size_t receiverSet = w.beginSet(kReceiverTemplateId);
    w.text(receiver.callsign);
    w.text(receiver.locator);
    w.text(receiver.software);
    w.endSet(receiverSet);

    senderRecords(w, kSenderTemplateId, spots, true);
    senderRecords(w, kSenderNoSnrTemplateId, spots, false);
    w.put16(2, static_cast<std::uint16_t>(w.bytes.size()));
    return std::move(w.bytes);
}

}  // namespace miv
