#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/Rig.h"
#include "platform/rig/HamlibConnection.h"

namespace miv {

// CAT through Hamlib, on a thread of its own: the connection is used there only, one
// command at a time in the order given, so a dial reading never runs while a PTT
// command is with the rig, and a rig that keeps silent holds up only that thread.
// Meant to be called from one thread (the station's).
//
// A key the rig did not confirm may still reach it: a silent rigctld, once it wakes,
// carries out what waits in its sockets. So an unkey that is owed is tried again every
// second until the rig confirms it, and after a lost key confirmed twice, a second apart.
class HamlibRig final : public Rig {
public:
    // Long enough for a silent rig's two answer timeouts and a reconnection.
    static constexpr std::chrono::milliseconds kPttDeadline{3000};
    static constexpr std::chrono::milliseconds kUnkeyRetry{1000};

    explicit HamlibRig(std::chrono::milliseconds pttDeadline = kPttDeadline);
    // Unkeys if a key went out without its unkey, then closes.
    ~HamlibRig() override;
    HamlibRig(const HamlibRig&) = delete;  // owns a running thread
    HamlibRig& operator=(const HamlibRig&) = delete;

    void connect(const RigAddress& address) override;
    void disconnect() override;
    RigReply setPtt(bool keyed) override;
    bool requestFrequency() override;
    std::optional<RigReply> takeFrequency() override;

private:
    enum class Job { Connect, Disconnect, KeyOn, KeyOff, Read, RetryUnkey, Stop };
    struct Command {
        Job job;
        std::uint64_t number = 0;  // of a PTT command, so its caller finds its answer
        RigAddress address;        // of a connection
    };

    void post(Job job, std::uint64_t number = 0, const RigAddress& address = {});  // with mutex_ held
    void run();
    RigReply execute(const Command& command);
    RigReply ensureOpen();
    RigReply sendPtt(bool keyed);
    void unkeyAndClose();

    const std::chrono::milliseconds pttDeadline_;
    std::mutex mutex_;
    std::condition_variable commandPosted_;
    std::condition_variable pttAnswered_;
    std::deque<Command> commands_;
    bool busy_ = false;  // a command is with the rig
    std::uint64_t pttPosted_ = 0;
    std::uint64_t pttAnsweredNumber_ = 0;
    RigReply pttReply_;
    bool readingAsked_ = false;  // from the request until the reading is taken
    std::optional<RigReply> reading_;

    // The worker's own.
    HamlibConnection connection_;
    std::optional<RigAddress> address_;
    bool keySent_ = false;  // a key went out (answered or not) and no unkey was confirmed
    int unkeysOwed_ = 0;    // confirmed unkeys still to send
    std::thread worker_;
};

}  // namespace miv
