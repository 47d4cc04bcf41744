#pragma once

#include <optional>
#include <string>
#include <vector>

namespace miv {

// How the rig is reached over CAT: directly through Hamlib on a serial device, or
// through a rigctld that other programs may share.
enum class RigLink { Hamlib, Rigctld };

inline constexpr int kRigctldDefaultPort = 4532;

struct RigAddress {
    RigLink link = RigLink::Rigctld;
    int model = 0;       // Hamlib's model number (Hamlib link)
    std::string device;  // the rig's serial device (Hamlib link)
    int baud = 0;        // serial speed; 0 keeps the model's own
    std::string host = "localhost";
    int port = kRigctldDefaultPort;

    friend bool operator==(const RigAddress&, const RigAddress&) = default;
};

// One entry of Hamlib's catalogue of rigs.
struct RigModel {
    int number = 0;
    std::string maker;
    std::string name;
};

// The rig as messages name it: "rigctld at localhost:4532", "Icom IC-7300 on
// /dev/ttyUSB0" (the model's number when the catalogue does not know it).
std::string describeRig(const RigAddress& address, const std::vector<RigModel>& catalogue);

// What the rig answered: a confirmed PTT command or a dial reading, or why not.
struct RigReply {
    bool ok = false;
    double frequencyHz = 0;  // the dial, for a reading
    std::string error;
};

// A transceiver under CAT control. PTT commands wait for the rig's confirmation, at
// most the adapter's deadline, because the transmission must follow them exactly; dial
// readings run in the background and are collected later, so the station's ticks never
// wait for a slow rig. Commands reach the rig one at a time, in the order given.
class Rig {
public:
    virtual ~Rig() = default;

    // Talk to `address` from now on; an earlier connection is dropped (unkeyed first).
    // Returns at once; the connection opens with the next command.
    virtual void connect(const RigAddress& address) = 0;
    // Drops the connection, unkeying first if a key was ever sent without its unkey.
    virtual void disconnect() = 0;
    // Keys or unkeys and waits for the rig to confirm. A key the rig did not confirm is
    // taken back by an unkey sent right after it, in case it arrived all the same.
    virtual RigReply setPtt(bool keyed) = 0;
    // Starts a dial reading unless a command is still with the rig; false when it did
    // not start.
    virtual bool requestFrequency() = 0;
    // The reading once it is done, given out once; nothing while it runs or when none
    // was asked for.
    virtual std::optional<RigReply> takeFrequency() = 0;
};

// The in-memory twin for tests: answers at once, or not at all while `answering` is
// false, and records what it was asked.
class FakeRig final : public Rig {
public:
    void connect(const RigAddress& address) override;
    void disconnect() override;
    RigReply setPtt(bool keyed) override;
    bool requestFrequency() override;
    std::optional<RigReply> takeFrequency() override;

    bool answering = true;
    double dialHz = 14'074'000.0;
    bool keyed = false;
    std::optional<RigAddress> address;  // while connected
    // "connect", "disconnect", "ptt on", "ptt off", "read", in order.
    std::vector<std::string> log;

private:
    bool reading_ = false;
};

}  // namespace miv
