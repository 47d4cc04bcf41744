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

// The dial follows CAT's readings; a rig that stops answering is lost at every failed
// reading but told once, until it answers again. Without CAT the typed dial counts.
TEST(RigControl, TheDialComesFromCatOrFromTheOperator)
{
    Radio r;
    r.control.typeDial(7'040'000.0);
    EXPECT_EQ(r.control.rfFrequencyHz(1500), 7'041'500.0);
    r.control.apply(r.with(PttMethod::Rigctld));
    EXPECT_FALSE(r.control.dialHz());  // CAT's, not read yet

    EXPECT_FALSE(r.control.poll().dialChanged);  // asks
    const RigControl::Poll read = r.control.poll();
    EXPECT_TRUE(read.dialChanged && !read.lost);
    EXPECT_EQ(r.control.rfFrequencyHz(1000), 14'075'000.0);
    EXPECT_FALSE(r.control.poll().dialChanged);  // the same dial

    r.rig.answering = false;
    const RigControl::Poll lost = r.control.poll();
    EXPECT_TRUE(lost.lost && lost.dialChanged);
    EXPECT_EQ(lost.tell, "rigctld at localhost:4532 not available: Communication timed out");
    EXPECT_FALSE(r.control.dialHz());
    const RigControl::Poll again = r.control.poll();
    EXPECT_TRUE(again.lost && !again.tell);
    r.rig.answering = true;
    r.control.poll();
    r.rig.answering = false;
    EXPECT_TRUE(r.control.poll().tell);

    r.control.apply(r.with(PttMethod::Serial));
    EXPECT_EQ(r.control.dialHz(), 7'040'000.0);
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
