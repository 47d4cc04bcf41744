#pragma once

#include <memory>
#include <vector>

#include "platform/SerialPort.h"

class QSerialPort;

namespace miv {

// PTT through QSerialPort. Probing looks at the device node only, so no line moves; open
// asserts RTS and DTR and sets hang-up-on-close, so the kernel drops both lines when the
// port is closed for any reason, a crash of the program included.
class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    bool probe(const std::string& device) override;
    bool open(const std::string& device) override;
    void close() override;
    bool isOpen() const override;

    // The machine's serial devices, each with the /dev/serial/by-id link that names it
    // when the system offers one (USB adapters), else its device node.
    static std::vector<SerialDeviceInfo> listDevices();

private:
    std::unique_ptr<QSerialPort> port_;
};

}  // namespace miv
