#include "rx/CaptureRing.h"

#include <gtest/gtest.h>

namespace miv::test {
namespace {

// Opens, then never fills a block; `gone` unplugs it.
struct VanishingSource final : AudioSource {
    bool open(int) override
    {
        gone = false;
        return true;
    }
    bool slotDone(int) override { return false; }
    void read(int, AudioBlock&) const override {}
    void requeue(int) override {}
    void close() override {}
    bool failed() const override { return gone; }

    bool gone = false;
};

TEST(CaptureRing, ADeviceThatGoesAwayIsToldOncePerOpening)
{
    VanishingSource source;
    RecordedMessages messages;
    CaptureRing ring(source, messages);
    AudioBlock block{};
    source.gone = true;
    EXPECT_FALSE(ring.TakeCaptureBlock(block));  // not open: nothing to tell
    for (int opening = 0; opening < 2; ++opening) {
        ring.OpenCapture();
        for (int tick = 0; tick < 3; ++tick) {
            source.gone = true;
            EXPECT_FALSE(ring.TakeCaptureBlock(block));
        }
    }
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].title, "SoundCard Error");
    EXPECT_EQ(messages.shown[1].text, "Device input not avaiable");
}

}  // namespace
}  // namespace miv::test
