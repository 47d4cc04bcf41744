#include "platform/logbook/UdpDatagramSender.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace miv {

namespace {

constexpr std::size_t kLongestQueue = 64;

void sendNow(const DatagramTarget& target, const std::vector<std::uint8_t>& bytes)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(target.port);
    if (::getaddrinfo(target.host.c_str(), port.c_str(), &hints, &found) != 0)
        return;
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        // A broadcast address is a fair target for loggers on the local network.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        const ssize_t sent = ::sendto(fd, bytes.data(), bytes.size(), 0, a->ai_addr, a->ai_addrlen);
        ::close(fd);
        if (sent >= 0)
            return;
    }
}

}  // namespace

UdpDatagramSender::UdpDatagramSender() : thread_([this] { run(); })
{
}

UdpDatagramSender::~UdpDatagramSender()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void UdpDatagramSender::send(const DatagramTarget& target, std::vector<std::uint8_t> bytes)
{
    {
        const std::lock_guard lock(mutex_);
        if (queue_.size() >= kLongestQueue)
            return;
        queue_.push_back({target, std::move(bytes)});
    }
    wake_.notify_one();
}

void UdpDatagramSender::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        const Queued next = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        sendNow(next.target, next.bytes);
        lock.lock();
    }
}

}  // namespace miv
