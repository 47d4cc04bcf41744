#include "tx/CatKeyer.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

struct Cat {
    Cat()
    {
        rig.connect({});
        keyer.setRigName("rigctld at localhost:4532");
    }
    FakeRig rig;
    RecordedMessages messages;
    CatKeyer keyer{rig, messages};
};

// A silent rig asks what an unusable COM port asks, with Hamlib's reason.
TEST(CatKeyer, ARigThatDoesNotAnswerAsksAbortRetryOrIgnore)
{
    using A = PortErrorAnswer;
    Cat c;
    c.rig.answering = false;
    c.messages.answers = {A::Retry, A::Abort};
    EXPECT_FALSE(c.keyer.KeyTransmitter());
    ASSERT_EQ(c.messages.shown.size(), 2u);
    EXPECT_EQ(c.messages.shown[0].title, "Port Error");
    EXPECT_EQ(c.messages.shown[0].text, "rigctld at localhost:4532 not available: Communication timed out");

    c.messages.answers = {A::Ignore};
    EXPECT_TRUE(c.keyer.KeyTransmitter());  // sends without keying
    EXPECT_FALSE(c.keyer.keyed());

    c.rig.answering = true;
    ASSERT_TRUE(c.keyer.KeyTransmitter());
    c.rig.answering = false;
    c.keyer.UnkeyTransmitter();
    EXPECT_FALSE(c.keyer.keyed());
    EXPECT_EQ(c.keyer.takeUnkeyFailure(), "Communication timed out");
    EXPECT_FALSE(c.keyer.takeUnkeyFailure());
}

}  // namespace
}  // namespace miv
