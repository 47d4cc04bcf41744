#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/Datagrams.h"

namespace miv {

// UDP on a thread of its own, so a slow name lookup never stalls the window. Datagrams
// queue in order; a full queue drops the newest, and one that cannot be sent is dropped.
class UdpDatagramSender final : public DatagramSender {
public:
    UdpDatagramSender();
    ~UdpDatagramSender() override;  // sends what is queued, then stops
    UdpDatagramSender(const UdpDatagramSender&) = delete;
    UdpDatagramSender& operator=(const UdpDatagramSender&) = delete;

    void send(const DatagramTarget& target, std::vector<std::uint8_t> bytes) override;

private:
    struct Queued {
        DatagramTarget target;
        std::vector<std::uint8_t> bytes;
    };
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Queued> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace miv
