#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace miv::test {

// A UDP socket on 127.0.0.1 at a port the system picks, for what a test sends.
class UdpListener {
public:
    UdpListener() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            throw std::runtime_error("no UDP socket on loopback");
        port_ = ntohs(address.sin_port);
    }
    ~UdpListener() { ::close(fd_); }
    UdpListener(const UdpListener&) = delete;
    UdpListener& operator=(const UdpListener&) = delete;

    int port() const { return port_; }

    // The next datagram, or nothing after timeoutMs.
    std::optional<std::vector<std::uint8_t>> receive(int timeoutMs = 5000)
    {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) != 1)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(65536);
        const ssize_t size = ::recv(fd_, bytes.data(), bytes.size(), 0);
        if (size < 0)
            return std::nullopt;
        bytes.resize(static_cast<std::size_t>(size));
        return bytes;
    }

private:
    int fd_;
    int port_ = 0;
};

}  // namespace miv::test
