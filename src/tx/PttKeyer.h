#pragma once

#include <array>
#include <string>

#include "platform/OperatorMessages.h"
#include "platform/SerialPort.h"

namespace miv {

// What the transmit button needs from whatever keys the radio.
class TransmitKeyer {
public:
    virtual ~TransmitKeyer() = default;
    // True when the transmission may start: keyed, no port wanted, or the operator
    // chose to go on without PTT.
    virtual bool KeyTransmitter() = 0;
    virtual void UnkeyTransmitter() = 0;
};

// Keys nothing, as with "NO COM": the radio keys itself by VOX. For the command line.
class NoPttKeyer final : public TransmitKeyer {
public:
    bool KeyTransmitter() override { return true; }
    void UnkeyTransmitter() override {}
};

// The "COM" menu: entry 0 "NO COM", entries 1..16 the ports, exactly one checked.
class ComPortMenu {
public:
    static constexpr int kEntries = kComPorts + 1;

    struct Entry {
        std::string caption;  // "NO COM", "COM1", or "COM3 (ttyUSB0)" with its device
        std::string device;   // what COMn opens; empty when the machine has no such port
        std::string description;
        bool enabled = true;
        bool checked = false;
    };

    explicit ComPortMenu(const ComAssignment& devices);

    // The operator's choice: checks entry `index` and unchecks every other one.
    void check(int index);
    int checkedIndex() const;
    const Entry& entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    void setEnabled(int index, bool enabled) { entries_.at(static_cast<std::size_t>(index)).enabled = enabled; }

private:
    std::array<Entry, kEntries> entries_;
};

// PTT on a serial port: keying is opening the chosen port, unkeying closing it.
class PttKeyer final : public TransmitKeyer {
public:
    PttKeyer(SerialPort& port, OperatorMessages& messages, const ComAssignment& devices);
    // Closing the program while keyed unkeys.
    ~PttKeyer() override;
    PttKeyer(const PttKeyer&) = delete;
    PttKeyer& operator=(const PttKeyer&) = delete;

    ComPortMenu& menu() { return menu_; }
    const ComPortMenu& menu() const { return menu_; }

    // Whether COMn exists and can be opened; touches no line.
    bool ProbePort(int n);
    // At start-up: disables the entries of the ports found missing.
    void disableMissingPorts();
    // Opens the checked port, asking Abort, Retry or Ignore while it is not available.
    bool KeyTransmitter() override;
    void UnkeyTransmitter() override;

    bool keyed() const { return port_.isOpen(); }

private:
    SerialPort& port_;
    OperatorMessages& messages_;
    ComPortMenu menu_;
};

}  // namespace miv
