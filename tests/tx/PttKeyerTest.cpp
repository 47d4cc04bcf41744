#include "tx/PttKeyer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace miv {
namespace {

const std::string kUsb = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";

ComAssignment twoPorts()
{
    return ComAssignment{SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""},
                         SerialDeviceInfo{kUsb, "ttyUSB0", "FT232R USB UART"}};
}

struct Keyer {
    Keyer() { port.present = {"/dev/ttyS0"}; }
    FakeSerialPort port;
    RecordedMessages messages;
    PttKeyer keyer{port, messages, twoPorts()};
};

// Probing at start-up must not key radios: it never opens a port.
TEST(PttKeyer, ProbingDisablesMissingPortsWithoutRaisingALine)
{
    Keyer k;
    k.keyer.disableMissingPorts();
    for (int n = 0; n <= 16; ++n)
        EXPECT_EQ(k.keyer.menu().entry(n).enabled, n < 2) << n;
    EXPECT_EQ(k.keyer.menu().entry(2).caption, "COM2 (ttyUSB0)");  // listed, with its device, all the same
    EXPECT_TRUE(k.port.keyed().empty());
}

TEST(PttKeyer, KeysTheCheckedPortOrNoneAndUnkeys)
{
    Keyer k;
    EXPECT_TRUE(k.keyer.KeyTransmitter());  // NO COM: the radio keys itself
    EXPECT_TRUE(k.port.log.empty());
    k.keyer.menu().check(1);
    EXPECT_TRUE(k.keyer.KeyTransmitter());
    EXPECT_EQ(k.port.openDevice(), "/dev/ttyS0");
    k.keyer.menu().check(17);  // no such entry: nothing changes
    EXPECT_EQ(k.keyer.menu().checkedIndex(), 1);
    k.keyer.UnkeyTransmitter();
    k.keyer.UnkeyTransmitter();  // unkeying twice is harmless
    EXPECT_EQ(k.port.log, (std::vector<std::string>{"probe /dev/ttyS0", "open /dev/ttyS0", "close /dev/ttyS0"}));

    {
        PttKeyer closing(k.port, k.messages, twoPorts());
        closing.menu().check(1);
        ASSERT_TRUE(closing.KeyTransmitter());
    }  // closing the program while keyed unkeys
    EXPECT_FALSE(k.port.linesHigh());
}

// A port that is missing, or there and busy, asks Abort, Retry or Ignore.
TEST(PttKeyer, AnUnusablePortAsksWhatToDo)
{
    using A = PortErrorAnswer;
    Keyer k;
    k.keyer.menu().check(3);  // no device behind COM3
    k.messages.answers = {A::Abort};
    EXPECT_FALSE(k.keyer.KeyTransmitter());
    ASSERT_EQ(k.messages.shown.size(), 1u);
    EXPECT_EQ(k.messages.shown[0].title, "Port Error");
    EXPECT_EQ(k.messages.shown[0].text, "COM3 not avaiable");

    k.messages.answers = {A::Ignore};
    EXPECT_TRUE(k.keyer.KeyTransmitter());  // goes on without PTT
    EXPECT_FALSE(k.keyer.keyed());

    k.messages.answers = {A::Retry, A::Retry, A::Abort};
    EXPECT_FALSE(k.keyer.KeyTransmitter());
    EXPECT_EQ(k.messages.shown.size(), 5u);

    k.port.refusing = {"/dev/ttyS0"};
    k.keyer.menu().check(1);
    k.messages.answers = {A::Abort};
    EXPECT_FALSE(k.keyer.KeyTransmitter());
    EXPECT_EQ(k.messages.shown.back().text, "COM1 not avaiable");
}

TEST(PttKeyer, RetryKeysAPortPluggedBackIn)
{
    struct Plugging final : OperatorMessages {
        explicit Plugging(FakeSerialPort& serial) : port(serial) {}
        void critical(const std::string&, const std::string&) override {}
        PortErrorAnswer askAbortRetryIgnore(const std::string&, const std::string&) override
        {
            port.present.insert(kUsb);
            return PortErrorAnswer::Retry;
        }
        FakeSerialPort& port;
    };
    FakeSerialPort port;
    Plugging messages(port);
    PttKeyer keyer(port, messages, twoPorts());
    keyer.menu().check(2);
    EXPECT_TRUE(keyer.KeyTransmitter());
    EXPECT_EQ(port.openDevice(), kUsb);
}

TEST(AssignComPorts, BuiltInPortsFirstThenByPathSixteenAtMost)
{
    std::vector<SerialDeviceInfo> devices{
        {"/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0", "ttyUSB1", "CP2102"},
        {"/dev/ttyS10", "ttyS10", ""},
        {kUsb, "ttyUSB0", "FT232R"},
        {"/dev/ttyS2", "ttyS2", ""},
        {"/dev/ttyACM0", "ttyACM0", ""},
    };
    const std::vector<std::string> expected{"ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"};
    for (int pass = 0; pass < 2; ++pass) {  // whatever order they were found in
        const ComAssignment assigned = assignComPorts(devices);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(assigned[i].value().name, expected[i]) << "COM" << i + 1;
        EXPECT_FALSE(assigned[5].has_value());
        std::reverse(devices.begin(), devices.end());
    }
    devices.clear();
    for (int i = 0; i < 20; ++i)
        devices.push_back({"/dev/ttyS" + std::to_string(i), "ttyS" + std::to_string(i), ""});
    EXPECT_EQ(assignComPorts(devices)[15]->name, "ttyS15");
}

}  // namespace
}  // namespace miv
