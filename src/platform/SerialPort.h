#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace miv {

// The serial port that keys the radio: RTS and DTR are asserted while it is open and
// held low otherwise, so whichever line the interface is wired to keys the transmitter.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Whether `device` exists and may be opened by us. Never opens it: on Linux opening
    // a port raises DTR and RTS, which would key every radio wired to a probed port.
    virtual bool probe(const std::string& device) = 0;
    // Opens `device` and asserts RTS and DTR: the radio is keyed. False when it cannot.
    virtual bool open(const std::string& device) = 0;
    // Drops RTS and DTR and closes the port: the radio is unkeyed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

// A serial device of this machine, as the COM menu shows it.
struct SerialDeviceInfo {
    std::string path;         // what is opened: a stable link when the system offers one
    std::string name;         // the kernel's name, shown in the menu ("ttyUSB0")
    std::string description;  // what the device says it is, may be empty
};

inline constexpr int kComPorts = 16;
using ComAssignment = std::array<std::optional<SerialDeviceInfo>, kComPorts>;

// COM1..COM16 for the machine's serial devices, in an order that does not depend on the
// order they were found or plugged in: the built-in ports (ttyS) first by number, then
// every other device by its path, which for USB adapters is the /dev/serial/by-id link
// naming the adapter. Devices past the sixteenth get no number.
ComAssignment assignComPorts(std::vector<SerialDeviceInfo> devices);

// A port for tests: records what was done to it and which lines it raised.
class FakeSerialPort final : public SerialPort {
public:
    bool probe(const std::string& device) override;
    bool open(const std::string& device) override;
    void close() override;
    bool isOpen() const override { return !openDevice_.empty(); }

    // Devices that exist; the others fail to probe and to open.
    std::set<std::string> present;
    // Devices that exist but refuse to open (busy, no permission at open time).
    std::set<std::string> refusing;
    // "probe DEV", "open DEV", "close DEV", in order.
    std::vector<std::string> log;

    bool linesHigh() const { return isOpen(); }
    // Devices whose lines were ever raised, in order.
    const std::vector<std::string>& keyed() const { return keyed_; }
    const std::string& openDevice() const { return openDevice_; }

private:
    std::string openDevice_;
    std::vector<std::string> keyed_;
};

}  // namespace miv
