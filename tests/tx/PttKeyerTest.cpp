#include <gtest/gtest.h>

#include <algorithm>

#include "platform/OperatorMessages.h"
#include "platform/SerialPort.h"
#include "tx/PttKeyer.h"

namespace miv {
namespace {

ComAssignment twoPorts()
{
    return ComAssignment{
        SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""},
        SerialDeviceInfo{"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "ttyUSB0", "FT232R USB UART"}};
}

TEST(ComPortMenu, SeventeenEntriesShowingTheirDevices)
{
    const ComPortMenu menu(twoPorts());
    EXPECT_EQ(menu.entry(0).caption, "NO COM");
    EXPECT_EQ(menu.entry(1).caption, "COM1 (ttyS0)");
    EXPECT_EQ(menu.entry(2).caption, "COM2 (ttyUSB0)");
    EXPECT_EQ(menu.entry(2).device, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(menu.entry(2).description, "FT232R USB UART");
    EXPECT_EQ(menu.entry(16).caption, "COM16");
    EXPECT_TRUE(menu.entry(16).device.empty());
    EXPECT_EQ(menu.checkedIndex(), 0);
}

TEST(ComPortMenu, ExactlyOneEntryIsChecked)
{
    ComPortMenu menu(twoPorts());
    menu.mnuCOMA_Click(5);
    EXPECT_EQ(menu.checkedIndex(), 5);
    int checked = 0;
    for (int i = 0; i < ComPortMenu::kEntries; ++i)
        checked += menu.entry(i).checked;
    EXPECT_EQ(checked, 1);
    EXPECT_FALSE(menu.entry(0).checked);
    menu.mnuCOMA_Click(0);
    EXPECT_EQ(menu.checkedIndex(), 0);
    menu.mnuCOMA_Click(17);  // no such entry: nothing changes
    EXPECT_EQ(menu.checkedIndex(), 0);
}

// Probing at start-up must not key radios: it never opens a port.
TEST(PttKeyer, ProbingDisablesMissingPortsWithoutRaisingALine)
{
    FakeSerialPort port;
    port.present = {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"};
    RecordedMessages messages;
    PttKeyer keyer(port, messages, twoPorts());
    keyer.DisableMissingPorts();
    EXPECT_FALSE(keyer.menu().entry(1).enabled);
    EXPECT_TRUE(keyer.menu().entry(2).enabled);
    for (int n = 3; n <= 16; ++n)
        EXPECT_FALSE(keyer.menu().entry(n).enabled) << n;
    EXPECT_TRUE(keyer.menu().entry(0).enabled);
    EXPECT_TRUE(port.keyed().empty());
    EXPECT_TRUE(std::all_of(port.log.begin(), port.log.end(),
                            [](const std::string& call) { return call.rfind("probe ", 0) == 0; }));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(PttKeyer, KeysTheCheckedPortAndUnkeys)
{
    FakeSerialPort port;
    port.present = {"/dev/ttyS0"};
    RecordedMessages messages;
    PttKeyer keyer(port, messages, twoPorts());
    keyer.mnuCOMA_Click(1);
    EXPECT_TRUE(keyer.KeyTransmitter());
    EXPECT_TRUE(keyer.keyed());
    EXPECT_EQ(port.openDevice(), "/dev/ttyS0");
    keyer.UnkeyTransmitter();
    EXPECT_FALSE(port.linesHigh());
    keyer.UnkeyTransmitter();  // unkeying twice is harmless
    EXPECT_EQ(port.log, (std::vector<std::string>{"probe /dev/ttyS0", "open /dev/ttyS0", "close /dev/ttyS0"}));
}

TEST(PttKeyer, NoComNeedsNoPort)
{
    FakeSerialPort port;
    RecordedMessages messages;
    PttKeyer keyer(port, messages, ComAssignment{});
    EXPECT_TRUE(keyer.KeyTransmitter());
    EXPECT_FALSE(keyer.keyed());
    EXPECT_TRUE(port.log.empty());
}

TEST(PttKeyer, PortErrorQuestion)
{
    using A = PortErrorAnswer;
    FakeSerialPort port;
    RecordedMessages messages;
    PttKeyer keyer(port, messages, twoPorts());
    keyer.mnuCOMA_Click(3);  // no device behind COM3

    messages.answers = {A::Abort};
    EXPECT_FALSE(keyer.KeyTransmitter());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Port Error");
    EXPECT_EQ(messages.shown[0].text, "COM3 not avaiable");

    messages.answers = {A::Ignore};
    EXPECT_TRUE(keyer.KeyTransmitter());  // goes on without PTT
    EXPECT_FALSE(keyer.keyed());

    messages.answers = {A::Retry, A::Retry, A::Abort};
    EXPECT_FALSE(keyer.KeyTransmitter());
    EXPECT_EQ(messages.shown.size(), 5u);
}

// A port that exists but will not open (another program has it) asks the same question.
TEST(PttKeyer, BusyPortAsksToo)
{
    FakeSerialPort port;
    port.present = {"/dev/ttyS0"};
    port.refusing = {"/dev/ttyS0"};
    RecordedMessages messages;
    PttKeyer keyer(port, messages, twoPorts());
    keyer.mnuCOMA_Click(1);
    messages.answers = {PortErrorAnswer::Abort};
    EXPECT_FALSE(keyer.KeyTransmitter());
    EXPECT_EQ(messages.shown.at(0).text, "COM1 not avaiable");
}

TEST(PttKeyer, DestroyedWhileKeyedUnkeys)
{
    FakeSerialPort port;
    port.present = {"/dev/ttyS0"};
    RecordedMessages messages;
    {
        PttKeyer keyer(port, messages, twoPorts());
        keyer.mnuCOMA_Click(1);
        ASSERT_TRUE(keyer.KeyTransmitter());
    }
    EXPECT_FALSE(port.linesHigh());
}

TEST(AssignComPorts, OrderDoesNotDependOnDiscovery)
{
    std::vector<SerialDeviceInfo> devices{
        {"/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0", "ttyUSB1", "CP2102"},
        {"/dev/ttyS10", "ttyS10", ""},
        {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "ttyUSB0", "FT232R"},
        {"/dev/ttyS2", "ttyS2", ""},
        {"/dev/ttyACM0", "ttyACM0", ""},
    };
    const ComAssignment first = assignComPorts(devices);
    std::reverse(devices.begin(), devices.end());
    const ComAssignment second = assignComPorts(devices);
    // Built-in ports by number, then the rest by path: the adapters' by-id names
    // before a device that has none.
    const std::vector<std::string> expected{"ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(first[i].has_value());
        EXPECT_EQ(first[i]->name, expected[i]) << "COM" << i + 1;
        EXPECT_EQ(second[i]->name, expected[i]) << "COM" << i + 1;
    }
    EXPECT_FALSE(first[5].has_value());
}

TEST(AssignComPorts, SixteenAtMost)
{
    std::vector<SerialDeviceInfo> devices;
    for (int i = 0; i < 20; ++i)
        devices.push_back({"/dev/ttyS" + std::to_string(i), "ttyS" + std::to_string(i), ""});
    const ComAssignment assignment = assignComPorts(devices);
    EXPECT_EQ(assignment[15]->name, "ttyS15");
}

}  // namespace
}  // namespace miv
