#include "station/RigControl.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

ComAssignment oneSerialPort()
{
    ComAssignment ports{};
    ports[0] = SerialDeviceInfo{"/dev/ttyUSB0", "ttyUSB0", ""};
    return ports;
}

struct Radio {
    Radio() { serial.present = {"/dev/ttyUSB0"}; }
    RigSettings with(PttMethod method)
    {
        RigSettings settings;
        settings.method = method;
        return settings;
    }

    FakeRig rig;
    FakeSerialPort serial;
    RecordedMessages messages;
    PttKeyer serialKeyer{serial, messages, oneSerialPort()};
    RigControl control{rig, serialKeyer, messages, {{1, "Hamlib", "Dummy"}}};
};

// Each method keys its own way; an unkey reaches every way, so changing the method
// never strands a keyed radio.
TEST(RigControl, KeysByTheChosenMethodAndUnkeysEveryWay)
{
    Radio r;
    r.serialKeyer.menu().check(1);
    r.control.apply(r.with(PttMethod::Serial));
    ASSERT_TRUE(r.control.KeyTransmitter());
    EXPECT_TRUE(r.serial.linesHigh());
    EXPECT_FALSE(r.rig.address);  // no CAT connection for serial keying

    r.control.apply(r.with(PttMethod::Rigctld));  // changed while keyed: unkeyed first
    EXPECT_FALSE(r.serial.linesHigh());
    ASSERT_TRUE(r.rig.address);
    ASSERT_TRUE(r.control.KeyTransmitter());
    EXPECT_TRUE(r.rig.keyed && r.control.catKeyed());
    r.control.UnkeyTransmitter();
    EXPECT_FALSE(r.rig.keyed);

    r.control.apply(r.with(PttMethod::None));
    EXPECT_FALSE(r.rig.address);
    r.rig.log.clear();
    ASSERT_TRUE(r.control.KeyTransmitter());
    EXPECT_TRUE(r.rig.log.empty() && r.serial.keyed().size() == 1);

    r.control.apply(r.with(PttMethod::Hamlib));
    ASSERT_TRUE(r.control.KeyTransmitter());
    r.rig.answering = false;
    r.control.UnkeyTransmitter();
    EXPECT_EQ(r.control.takeUnkeyFailure(),
              "rig model 0 on  did not confirm PTT off (Communication timed out): check that the radio is not "
              "transmitting");
    EXPECT_FALSE(r.control.takeUnkeyFailure());
    r.rig.answering = true;
    {
        RigControl closing(r.rig, r.serialKeyer, r.messages, {});
        closing.apply(r.with(PttMethod::Rigctld));
        ASSERT_TRUE(closing.KeyTransmitter());
    }  // the program ends while keyed
    EXPECT_FALSE(r.rig.keyed || r.rig.address);
}

TEST(RigControl, WatchdogLimitsAndMegahertz)
{
    RigSettings settings;
    settings.watchdog16BaudMinutes = 7;
    settings.watchdogSlowMinutes = 0;
    EXPECT_EQ(watchdogMinutes(settings, ModemMode{}), 7);
    EXPECT_EQ(watchdogMinutes(settings, ModemMode{true, false, false, true}), 0);
    EXPECT_EQ(watchdogMinutes(settings, ModemMode{true, true, true, true}), 0);  // EME

    EXPECT_EQ(formatMegahertz(14'074'000.0), "14.074000 MHz");
    EXPECT_EQ(parseMegahertz("14.074"), 14'074'000.0);
    EXPECT_EQ(parseMegahertz("1296,1 MHz"), 1'296'100'000.0);
    EXPECT_EQ(parseMegahertz(formatMegahertz(10'368'100'000.0)), 10'368'100'000.0);
    for (const char* typo : {"", "abc", "14.074 kHz", "-7", "0", "1e9", "nan"})
        EXPECT_FALSE(parseMegahertz(typo)) << typo;
}

}  // namespace
}  // namespace miv
