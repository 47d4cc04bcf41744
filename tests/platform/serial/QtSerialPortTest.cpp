// The serial-port layer on a pseudo-terminal: no serial hardware is needed.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/serial/QtSerialPort.h"

namespace miv {
namespace {

struct PseudoTerminal {
    PseudoTerminal() { ok = ::openpty(&master, &slave, name, nullptr, nullptr) == 0; }
    ~PseudoTerminal()
    {
        ::close(master);
        ::close(slave);
    }
    bool ok = false;
    int master = -1;
    int slave = -1;
    char name[256] = {};
};

TEST(QtSerialPort, ProbesTheNodeOnlyAndKeysWithHangUpOnCloseWithoutEverReading)
{
    int argc = 1;
    char arg0[] = "serial_port_tests";
    char* argv[] = {arg0, nullptr};
    const QCoreApplication app(argc, argv);
    QtSerialPort port;
    EXPECT_FALSE(port.probe("/nonexistent/ttyUSB9"));
    EXPECT_FALSE(port.probe("/tmp"));  // not a character device
    EXPECT_FALSE(port.open("/nonexistent/ttyUSB9"));
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok);
    EXPECT_TRUE(port.probe(pty.name));
    EXPECT_FALSE(port.isOpen());

    // Hang-up on close drops the lines whatever ends the program.
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &tio), 0);
    ASSERT_TRUE(port.open(pty.name));
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(port.open(pty.name));  // one port at a time
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    EXPECT_NE(tio.c_cflag & HUPCL, 0u);

    // A port that is read wakes the event loop for every byte the interface sends and,
    // once the adapter is unplugged while keyed, for ever: the hang-up keeps it readable.
    ASSERT_EQ(::write(pty.master, "echo", 4), 4);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    int unread = 0;
    ASSERT_EQ(::ioctl(pty.slave, FIONREAD, &unread), 0);
    EXPECT_EQ(unread, 4);
    port.close();
    EXPECT_FALSE(port.isOpen());

    for (const SerialDeviceInfo& device : QtSerialPort::listDevices())
        EXPECT_FALSE(device.path.empty() || device.name.empty());
}

}  // namespace
}  // namespace miv
