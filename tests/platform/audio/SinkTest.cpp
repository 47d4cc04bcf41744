#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

#include "tx/TxTestSupport.h"
#include "platform/audio/FileSinks.h"
#include "platform/audio/MemorySink.h"

namespace miv {
namespace {

AudioBlock ramp(int start)
{
    AudioBlock block;
    for (int i = 0; i < kBlockSamples; ++i)
        block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + i * 7 - 10000);
    return block;
}

std::string tempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("miv-sink-" + std::to_string(::getpid()) + "-" + name)).string();
}

TEST(SoundFileSink, WritesWhatWasQueued)
{
    for (const std::string name : {"out.wav", "out.flac"}) {
        const std::string path = tempPath(name);
        std::string error;
        auto sink = SoundFileSink::create(path, error);
        ASSERT_TRUE(sink) << error;
        ASSERT_TRUE(sink->open(10));
        EXPECT_TRUE(sink->slotDone(3));
        sink->queue(0, ramp(0));
        sink->queue(1, ramp(5));
        sink->close();
        EXPECT_FALSE(sink->failed());
        EXPECT_FALSE(sink->open(10));  // one transmission per file

        const auto samples = test::readSoundFile(path);
        ASSERT_EQ(samples.size(), 2u * kBlockSamples);
        EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + kBlockSamples, ramp(0).begin()));
        EXPECT_TRUE(std::equal(samples.begin() + kBlockSamples, samples.end(), ramp(5).begin()));
        std::filesystem::remove(path);
    }
}

// A full disk, played by a file-size limit in a child process of its own: exits 0 when
// the sink took blocks until a write failed and then stopped marking slots done.
[[noreturn]] void fillUpTheDisk(const std::string& path)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    auto sink = SoundFileSink::create(path, error);
    bool tookBlocks = sink && sink->open(10);
    for (int n = 0; n < 100 && tookBlocks && !sink->failed(); ++n) {
        tookBlocks = sink->slotDone(0);
        sink->queue(0, ramp(n));
    }
    std::exit(tookBlocks && sink->failed() && !sink->slotDone(0) ? 0 : 1);
}

TEST(SoundFileSink, TakesNoMoreBlocksOnceAWriteFailed)
{
    const std::string path = tempPath("full.wav");
    EXPECT_EXIT(fillUpTheDisk(path), testing::ExitedWithCode(0), "");
    std::filesystem::remove(path);
}

TEST(SoundFileSink, UnwritablePathIsAnError)
{
    std::string error;
    EXPECT_FALSE(SoundFileSink::create("/nonexistent-dir/out.wav", error));
    EXPECT_FALSE(error.empty());
}

TEST(RawStreamSink, WritesLittleEndianSixteenBitSamples)
{
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    RawStreamSink sink(stream);
    ASSERT_TRUE(sink.open(10));
    AudioBlock block{};
    block[0] = 0x1234;
    block[1] = -2;
    sink.queue(0, block);
    sink.close();
    EXPECT_FALSE(sink.failed());
    EXPECT_EQ(std::ftell(stream), 2 * kBlockSamples);
    std::rewind(stream);
    unsigned char bytes[4];
    ASSERT_EQ(std::fread(bytes, 1, 4, stream), 4u);
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[2], 0xFE);
    EXPECT_EQ(bytes[3], 0xFF);
    std::fclose(stream);
}

TEST(MemorySink, StallsAndPlaysInQueueOrder)
{
    MemorySink sink;
    ASSERT_TRUE(sink.open(3));
    sink.stall();
    sink.queue(0, ramp(0));
    sink.queue(1, ramp(1));
    EXPECT_FALSE(sink.slotDone(0));
    EXPECT_FALSE(sink.slotDone(1));
    EXPECT_TRUE(sink.slotDone(2));
    EXPECT_THROW(sink.queue(0, ramp(2)), std::logic_error);  // would overwrite unplayed audio
    EXPECT_TRUE(sink.playOne());
    EXPECT_TRUE(sink.slotDone(0));
    EXPECT_FALSE(sink.slotDone(1));
    sink.resume();
    EXPECT_TRUE(sink.slotDone(1));
    EXPECT_EQ(sink.queuedBlocks(), 2);

    sink.close();
    sink.setAvailable(false);
    EXPECT_FALSE(sink.open(3));
    EXPECT_FALSE(sink.slotDone(0));
}

}  // namespace
}  // namespace miv
