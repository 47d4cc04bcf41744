#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace miv {

// Where a datagram goes: a host name or address and a UDP port.
struct DatagramTarget {
    std::string host;
    int port = 0;

    friend bool operator==(const DatagramTarget&, const DatagramTarget&) = default;
};

// "host:port", "192.0.2.1:2333" or "[::1]:2333"; nothing when the port is missing or
// out of range.
bool parseDatagramTarget(const std::string& text, DatagramTarget& target);

// Sends UDP datagrams without waiting: name lookups and sending happen elsewhere, and a
// datagram that cannot go is dropped, as UDP may drop it anyway.
class DatagramSender {
public:
    virtual ~DatagramSender() = default;
    virtual void send(const DatagramTarget& target, std::vector<std::uint8_t> bytes) = 0;
};

// What a station sent, for tests and a command line that stays off the network.
class RecordedDatagrams final : public DatagramSender {
public:
    struct Sent {
        DatagramTarget target;
        std::vector<std::uint8_t> bytes;
    };
    void send(const DatagramTarget& target, std::vector<std::uint8_t> bytes) override
    {
        sent.push_back({target, std::move(bytes)});
    }
    std::vector<Sent> sent;
};

}  // namespace miv
