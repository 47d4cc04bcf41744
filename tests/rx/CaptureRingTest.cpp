#include <gtest/gtest.h>

#include "platform/audio/BlockAudioSource.h"
#include "rx/CaptureRing.h"

namespace miv::test {
namespace {

// Block i of the recording holds the value i in every sample.
std::vector<std::int16_t> numberedBlocks(int count)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < count; ++i)
        samples.insert(samples.end(), kBlockSamples, static_cast<std::int16_t>(i));
    return samples;
}

TEST(CaptureRing, DeliversBlocksInTheOrderTheyWereCaptured)
{
    MemoryAudioSource source(numberedBlocks(120));
    RecordedMessages messages;
    CaptureRing ring(source, messages);
    ring.OpenCapture();
    AudioBlock block{};
    // Past the 50 slots too: the first captured block comes first, none is stale.
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(ring.TakeCaptureBlock(block));
        ASSERT_EQ(block[0], i);
        ASSERT_EQ(block[3071], i);
    }
    EXPECT_FALSE(ring.TakeCaptureBlock(block));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(CaptureRing, AReopenedCaptureGoesOnWithNewAudioOnly)
{
    MemoryAudioSource source(numberedBlocks(20));
    RecordedMessages messages;
    CaptureRing ring(source, messages);
    ring.OpenCapture();
    AudioBlock block{};
    for (int i = 0; i < 5; ++i)
        ring.TakeCaptureBlock(block);
    ring.CloseCapture();
    EXPECT_FALSE(ring.TakeCaptureBlock(block));
    ring.OpenCapture();
    ASSERT_TRUE(ring.TakeCaptureBlock(block));
    EXPECT_EQ(block[0], 5);
}

TEST(CaptureRing, AnUnavailableDeviceIsReportedAndNeverDelivers)
{
    MemoryAudioSource source(numberedBlocks(3));
    source.setAvailable(false);
    RecordedMessages messages;
    CaptureRing ring(source, messages);
    AudioBlock block{};
    block.fill(7);
    EXPECT_FALSE(ring.TakeCaptureBlock(block));  // never opened
    ring.OpenCapture();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "SoundCard Error");
    EXPECT_EQ(messages.shown[0].text, "Device input not avaiable");
    EXPECT_FALSE(ring.TakeCaptureBlock(block));
    EXPECT_EQ(block[0], 7);
    EXPECT_FALSE(ring.CaptureBlockDone(1));
}

// Opens, then never fills a block; `vanish` unplugs it.
class VanishingSource final : public AudioSource {
public:
    bool open(int) override
    {
        gone_ = false;
        return true;
    }
    bool slotDone(int) override { return false; }
    void read(int, AudioBlock&) const override {}
    void requeue(int) override {}
    void close() override {}
    bool failed() const override { return gone_; }

    void vanish() { gone_ = true; }

private:
    bool gone_ = false;
};

TEST(CaptureRing, ADeviceThatGoesAwayIsReportedOncePerOpening)
{
    VanishingSource source;
    RecordedMessages messages;
    CaptureRing ring(source, messages);
    source.vanish();
    AudioBlock block{};
    EXPECT_FALSE(ring.TakeCaptureBlock(block));  // not open: nothing to report
    ring.OpenCapture();
    EXPECT_FALSE(ring.TakeCaptureBlock(block));
    EXPECT_TRUE(messages.shown.empty());

    source.vanish();
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(ring.TakeCaptureBlock(block));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "SoundCard Error");
    EXPECT_EQ(messages.shown[0].text, "Device input not avaiable");

    ring.OpenCapture();
    source.vanish();
    EXPECT_FALSE(ring.TakeCaptureBlock(block));
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST(BlockAudioSource, FillsQueuedSlotsInOrderThenSuppliesTheSilenceAskedFor)
{
    MemoryAudioSource source(std::vector<std::int16_t>(kBlockSamples + 10, 3));
    ASSERT_TRUE(source.open(4));
    source.appendSilence(1);
    EXPECT_TRUE(source.slotDone(1));  // slot 1 is done once slot 0 is
    EXPECT_TRUE(source.slotDone(0));
    AudioBlock block{};
    source.read(1, block);
    EXPECT_EQ(block[9], 3);  // the short last block, padded with silence
    EXPECT_EQ(block[10], 0);
    EXPECT_TRUE(source.slotDone(2));  // the silent block asked for
    EXPECT_FALSE(source.slotDone(3));
    for (int slot = 0; slot < 3; ++slot)
        source.requeue(slot);
    EXPECT_TRUE(source.drained());
    EXPECT_EQ(source.blocksProduced(), 2);
    EXPECT_EQ(source.blocksTaken(), 3);
}

}  // namespace
}  // namespace miv::test
