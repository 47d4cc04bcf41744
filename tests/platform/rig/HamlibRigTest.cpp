// CAT through Hamlib against a real rigctld serving the dummy rig on loopback.
#include "platform/rig/HamlibRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>

#include "platform/rig/RigctldProcess.h"

namespace miv {
namespace {

using namespace std::chrono_literals;
using test::within;

RigAddress rigctldAt(int port)
{
    return {RigLink::Rigctld, 0, {}, 0, "127.0.0.1", port};
}

// A reading as the station makes one: asked for once the rig is free, collected on a
// later tick.
RigReply readDial(HamlibRig& rig)
{
    std::optional<RigReply> reading;
    if (!within(10s, [&] { return rig.requestFrequency(); }) ||
        !within(10s, [&] { return (reading = rig.takeFrequency()).has_value(); }))
        return {false, 0, "the test gave up"};
    return *reading;
}

TEST(HamlibRig, KeysUnkeysAndReadsTheDialAsAnotherClientSeesIt)
{
    test::RigctldProcess rigctld;
    rigctld.setFrequency(14'074'000);
    HamlibRig rig;
    EXPECT_FALSE(rig.setPtt(true).ok);  // no rig chosen yet
    rig.connect(rigctldAt(rigctld.port()));

    const RigReply dial = readDial(rig);
    ASSERT_TRUE(dial.ok) << dial.error;
    EXPECT_EQ(dial.frequencyHz, 14'074'000.0);
    EXPECT_FALSE(rig.takeFrequency());  // given out once

    ASSERT_TRUE(rig.setPtt(true).ok);
    EXPECT_EQ(rigctld.ptt(), 1);
    rigctld.setFrequency(7'047'500);  // the operator turns the dial while sending
    EXPECT_EQ(readDial(rig).frequencyHz, 7'047'500.0);
    ASSERT_TRUE(rig.setPtt(false).ok);
    EXPECT_EQ(rigctld.ptt(), 0);
}

// Letting go of a keyed rig, by choosing another, by dropping CAT or by ending the
// program, unkeys it first.
TEST(HamlibRig, NeverLetsGoOfAKeyedRig)
{
    test::RigctldProcess first;
    test::RigctldProcess second;
    {
        HamlibRig rig;
        rig.connect(rigctldAt(first.port()));
        ASSERT_TRUE(rig.setPtt(true).ok);
        rig.connect(rigctldAt(second.port()));
        ASSERT_TRUE(rig.setPtt(true).ok);
        EXPECT_EQ(first.ptt(), 0);
        EXPECT_EQ(second.ptt(), 1);
        rig.disconnect();
        EXPECT_TRUE(within(5s, [&] { return second.ptt() == 0; }));

        rig.connect(rigctldAt(first.port()));
        ASSERT_TRUE(rig.setPtt(true).ok);
    }
    EXPECT_EQ(first.ptt(), 0);
}

TEST(HamlibRig, ARigThatIsNotThereFailsAtOnceWithHamlibsReason)
{
    const int port = test::RigctldProcess().port();  // and gone again
    HamlibRig rig;
    rig.connect(rigctldAt(port));
    const RigReply key = rig.setPtt(true);
    EXPECT_FALSE(key.ok);
    EXPECT_EQ(key.error, "IO error");
    EXPECT_EQ(readDial(rig).error, "IO error");
}

// A rigctld that stops answering: the key fails within the deadline instead of holding
// the transmission, no reading goes out while the PTT commands are with it, and the key
// that waited in its socket is taken back once it answers again.
TEST(HamlibRig, ARigThatStopsAnsweringIsNeverLeftKeyed)
{
    test::RigctldProcess rigctld;
    HamlibRig rig;
    rig.connect(rigctldAt(rigctld.port()));
    ASSERT_TRUE(readDial(rig).ok);  // connected

    rigctld.pause();
    const RigReply key = rig.setPtt(true);
    EXPECT_FALSE(key.ok);
    EXPECT_FALSE(rig.requestFrequency());  // the unkey is with the rig

    rigctld.resume();
    std::this_thread::sleep_for(300ms);  // the waiting key is carried out now
    EXPECT_TRUE(within(10s, [&] { return rigctld.ptt() == 0; }));
    std::this_thread::sleep_for(HamlibRig::kUnkeyRetry + 500ms);
    EXPECT_EQ(rigctld.ptt(), 0);
    EXPECT_TRUE(readDial(rig).ok);
}

TEST(HamlibRig, TheCatalogueIsHamlibsSortedByMakerAndModel)
{
    const std::vector<RigModel> models = HamlibConnection::catalogue();
    ASSERT_GT(models.size(), 100u);
    EXPECT_TRUE(std::is_sorted(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        return std::tie(a.maker, a.name) < std::tie(b.maker, b.name);
    }));
    const auto dummy = std::find_if(models.begin(), models.end(), [](const RigModel& m) { return m.number == 1; });
    ASSERT_NE(dummy, models.end());
    EXPECT_EQ(dummy->maker + " " + dummy->name, "Hamlib Dummy");
}

}  // namespace
}  // namespace miv
