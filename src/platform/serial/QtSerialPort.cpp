#include "platform/serial/QtSerialPort.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace miv {

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>())
{
}

QtSerialPort::~QtSerialPort()
{
    close();
}

bool QtSerialPort::probe(const std::string& device)
{
    struct stat st {};
    return ::stat(device.c_str(), &st) == 0 && S_ISCHR(st.st_mode) && ::access(device.c_str(), R_OK | W_OK) == 0;
}

bool QtSerialPort::open(const std::string& device)
{
    if (port_->isOpen())
        return false;
    port_->setPortName(QString::fromStdString(device));
    port_->setFlowControl(QSerialPort::NoFlowControl);
    // Write-only: nothing is ever read, so no read notifier wakes the event loop for
    // what the interface sends, nor spins on the hang-up of an adapter unplugged while
    // keyed.
    if (!port_->open(QIODevice::WriteOnly))
        return false;
    // Hang up on close: the kernel lowers DTR and RTS when the last descriptor goes,
    // which covers an exit without close() and a crash.
    termios tio{};
    const int fd = static_cast<int>(port_->handle());
    if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
        tio.c_cflag |= HUPCL;
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    // The kernel raised both lines on open already; say so explicitly for drivers that
    // do not.
    port_->setRequestToSend(true);
    port_->setDataTerminalReady(true);
    return true;
}

void QtSerialPort::close()
{
    if (!port_->isOpen())
        return;
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->close();
}

bool QtSerialPort::isOpen() const
{
    return port_->isOpen();
}

std::vector<SerialDeviceInfo> QtSerialPort::listDevices()
{
    namespace fs = std::filesystem;
    std::vector<std::pair<fs::path, fs::path>> links;  // by-id link, the node it names
    std::error_code ec;
    for (fs::directory_iterator it("/dev/serial/by-id", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code resolveError;
        const fs::path target = fs::canonical(it->path(), resolveError);
        if (!resolveError)
            links.emplace_back(it->path(), target);
    }
    std::vector<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDeviceInfo device{info.systemLocation().toStdString(), info.portName().toStdString(),
                                info.description().toStdString()};
        for (const auto& [link, target] : links)
            if (target == fs::path(device.path))
                device.path = link.string();
        devices.push_back(device);
    }
    return devices;
}

}  // namespace miv
