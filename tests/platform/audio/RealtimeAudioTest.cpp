// Real threads and real time, so ordering and shutdown faults show.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/Within.h"
#include "platform/audio/BlockAudioSource.h"
#include "platform/audio/BlockRings.h"
#include "platform/audio/MemorySink.h"
#include "platform/audio/PacedAudio.h"
#include "platform/audio/ReopeningAudio.h"
#include "platform/audio/ThreadedAudio.h"

namespace miv {
namespace {

using namespace std::chrono_literals;
using test::within;
using Blocks = std::vector<int>;  // the first sample of each block, which numbers it

AudioBlock numbered(int n)
{
    AudioBlock block{};
    block.fill(static_cast<std::int16_t>(n));
    return block;
}

// A recording of blocks numbered 1..count.
std::unique_ptr<MemoryAudioSource> recording(int count, bool openable = true)
{
    auto source = std::make_unique<MemoryAudioSource>();
    for (int n = 1; n <= count; ++n)
        source->append(std::vector<std::int16_t>(kBlockSamples, static_cast<std::int16_t>(n)));
    source->setAvailable(openable);
    return source;
}

std::unique_ptr<MemorySink> file(bool openable = true)
{
    auto sink = std::make_unique<MemorySink>();
    sink->setAvailable(openable);
    return sink;
}

Blocks blocksIn(const MemorySink& sink)
{
    Blocks blocks;
    for (std::size_t at = 0; at < sink.samples().size(); at += kBlockSamples)
        blocks.push_back(sink.samples()[at]);
    return blocks;
}

// Takes blocks in the receiver's order: slot after slot, each handed back once read.
Blocks takeBlocks(AudioSource& source, int slots, int count)
{
    Blocks taken;
    for (int slot = 0; static_cast<int>(taken.size()) < count; slot = (slot + 1) % slots) {
        if (!within(5s, [&] { return source.slotDone(slot); }))
            break;
        AudioBlock block{};
        source.read(slot, block);
        source.requeue(slot);
        taken.push_back(block[0]);
    }
    return taken;
}

// Queues blocks 1..count the way the transmitter does: into the next slot as soon as
// it is done; then waits until every slot is done again.
void queueBlocks(AudioSink& sink, int slots, int count)
{
    for (int n = 1; n <= count; ++n) {
        const int slot = (n - 1) % slots;
        ASSERT_TRUE(within(5s, [&] { return sink.slotDone(slot); }));
        sink.queue(slot, numbered(n));
    }
    for (int slot = 0; slot < slots; ++slot)
        ASSERT_TRUE(within(5s, [&] { return sink.slotDone(slot); }));
}

// The rings in the orders the threads below never use.
TEST(BlockRings, FillInQueueOrderAndRefuseWhatWouldLoseOrOverwriteAudio)
{
    CaptureBlockRing capture;
    capture.open(3);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(capture.deliver(numbered(n)));
    EXPECT_FALSE(capture.deliver(numbered(4)));  // no slot waits: lost, as with a sound card
    EXPECT_EQ(capture.lostBlocks(), 1);
    capture.requeue(2);  // handed back before slot 0: filled first
    capture.requeue(0);
    capture.requeue(0);  // already waiting: no second place in the queue
    capture.requeue(-1);
    EXPECT_FALSE(capture.slotDone(2) || capture.slotDone(7));
    EXPECT_TRUE(capture.slotDone(1));
    capture.deliver(numbered(5));
    capture.deliver(numbered(6));
    EXPECT_FALSE(capture.deliver(numbered(7)));
    AudioBlock out = numbered(9);
    capture.read(5, out);
    EXPECT_EQ(out[0], 9);
    capture.read(2, out);
    EXPECT_EQ(out[0], 5);
    capture.read(0, out);
    EXPECT_EQ(out[0], 6);
    capture.close();
    EXPECT_FALSE(capture.slotDone(0) || capture.deliver(numbered(8)));

    PlaybackBlockRing playback;
    playback.open(3);
    EXPECT_TRUE(playback.queue(2, numbered(1)));
    EXPECT_FALSE(playback.queue(2, numbered(2)));  // still playing
    EXPECT_FALSE(playback.queue(3, numbered(2)));
    EXPECT_TRUE(playback.queue(0, numbered(2)));
    EXPECT_EQ(playback.waitNext(out), 2);
    EXPECT_FALSE(playback.slotDone(2));  // done only once the device has taken it
    playback.markDone(2);
    EXPECT_TRUE(playback.slotDone(2));
    playback.close();  // drops what is queued
    EXPECT_TRUE(playback.slotDone(0));
    EXPECT_FALSE(playback.queue(1, numbered(3)));
}

// Produces numbered blocks a little faster than a device, until it fails.
class CountingStream final : public CaptureStream {
public:
    explicit CountingStream(int failAfter = -1) : failAfter_(failAfter) {}
    bool read(AudioBlock& block) override
    {
        std::this_thread::sleep_for(1ms);
        if (failAfter_ >= 0 && count_ >= failAfter_)
            return false;
        block = numbered(++count_);
        return true;
    }

private:
    int failAfter_;
    int count_ = 0;
};

TEST(ThreadedSource, DeliversTheStreamInOrderAndStopsOnAFailedStreamUntilReopened)
{
    ThreadedSource missing([] { return std::unique_ptr<CaptureStream>(); });
    EXPECT_FALSE(missing.open(4) || missing.slotDone(0));

    ThreadedSource source([] { return std::make_unique<CountingStream>(); });
    ASSERT_TRUE(source.open(4));
    EXPECT_EQ(takeBlocks(source, 4, 10), (Blocks{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    ASSERT_TRUE(source.open(2));  // a fresh ring and stream
    EXPECT_EQ(takeBlocks(source, 2, 3), (Blocks{1, 2, 3}));
    source.close();
    EXPECT_FALSE(source.slotDone(0));

    int openings = 0;
    ThreadedSource failing([&] { return std::make_unique<CountingStream>(++openings == 1 ? 2 : -1); });
    ASSERT_TRUE(failing.open(4));
    ASSERT_TRUE(within(5s, [&] { return failing.slotDone(1) && failing.failed(); }));
    EXPECT_FALSE(failing.slotDone(2));
    ASSERT_TRUE(failing.open(4));  // the device is back
    EXPECT_FALSE(failing.failed());
    EXPECT_EQ(takeBlocks(failing, 4, 3), (Blocks{1, 2, 3}));
    EXPECT_FALSE(failing.failed());
}

// Read once the sink has closed, which ends its thread.
struct PlaybackLog {
    Blocks written;
    int discarded = 0;
};

class RecordingStream final : public PlaybackStream {
public:
    RecordingStream(PlaybackLog& log, bool fail) : log_(log), fail_(fail) {}
    bool write(const AudioBlock& block) override
    {
        if (fail_)
            return false;
        std::this_thread::sleep_for(1ms);
        log_.written.push_back(block[0]);
        return true;
    }
    void discard() override { ++log_.discarded; }

private:
    PlaybackLog& log_;
    bool fail_;
};

TEST(ThreadedSink, PlaysEveryBlockInTheOrderQueuedAndKeepsThePaceOfAFailedStream)
{
    ThreadedSink missing([] { return std::unique_ptr<PlaybackStream>(); });
    EXPECT_FALSE(missing.open(10));

    PlaybackLog log;
    ThreadedSink sink([&] { return std::make_unique<RecordingStream>(log, false); });
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 12);
    sink.close();
    EXPECT_EQ(log.written, (Blocks{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(log.discarded, 1);

    // A failed stream still takes blocks at the device's pace, so a transmission runs
    // to its end: four blocks, the first taken at once, last at least three block times.
    PlaybackLog failedLog;
    ThreadedSink failing([&] { return std::make_unique<RecordingStream>(failedLog, true); });
    ASSERT_TRUE(failing.open(2));
    const auto start = std::chrono::steady_clock::now();
    queueBlocks(failing, 2, 4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 3 * kBlockPeriod);
    EXPECT_TRUE(failedLog.written.empty());
}

TEST(PacedSource, PlaysTheRecordingAtTheDevicePaceThenSilenceAndResumesAfterAPause)
{
    EXPECT_FALSE(PacedSource(recording(3, false), 1ms).open(4));

    constexpr auto kPeriod = 2ms;
    PacedSource source(recording(5), kPeriod);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(source.open(8));
    EXPECT_EQ(takeBlocks(source, 8, 8), (Blocks{1, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 8 * kPeriod);

    // Long enough that the recording cannot run out while the test looks.
    PacedSource paused(recording(5000), kPeriod);
    ASSERT_TRUE(paused.open(3));
    EXPECT_EQ(takeBlocks(paused, 3, 2), (Blocks{1, 2}));
    paused.close();
    ASSERT_TRUE(paused.open(3));
    // A block filled after the last take but never taken is lost with the old ring, as
    // it is with a sound card; the recording itself carries on.
    const Blocks taken = takeBlocks(paused, 3, 2);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_GT(taken[0], 2);
    EXPECT_EQ(taken[1], taken[0] + 1);
}

TEST(PacedSink, WritesEveryBlockInOrderAtTheDevicePaceIntoOneFileUntilItFails)
{
    EXPECT_FALSE(PacedSink(file(false), 1ms).open(10));

    constexpr auto kPeriod = 2ms;
    auto written = file();
    const MemorySink& inner = *written;
    PacedSink sink(std::move(written), kPeriod);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 9);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 9 * kPeriod);
    sink.close();
    EXPECT_EQ(blocksIn(inner), (Blocks{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // The next transmission follows the last in the same file.
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 2);
    sink.close();
    EXPECT_EQ(blocksIn(inner).size(), 11u);

    // A stalled file never finishes its first block, as a full disk: the transmission
    // runs to its end, and the next one hears of it as of a device that has gone.
    auto full = file();
    full->stall();
    const MemorySink& fullInner = *full;
    PacedSink failing(std::move(full), 1ms);
    ASSERT_TRUE(failing.open(2));
    queueBlocks(failing, 2, 5);
    failing.close();
    EXPECT_EQ(blocksIn(fullInner), Blocks{1});
    EXPECT_FALSE(failing.open(2));
}

// Devices by position; position 9 does not open.
class FakeDevices final : public AudioDevices {
public:
    std::vector<std::string> captureDevices() override { return {"Default", "USB CODEC"}; }
    std::vector<std::string> playbackDevices() override { return {"Default", "Speakers"}; }
    std::unique_ptr<AudioSource> makeSource(int position) override
    {
        positions.push_back(position);
        return recording(3, position != 9);
    }
    std::unique_ptr<AudioSink> makeSink(int position) override
    {
        positions.push_back(position);
        return file(position != 9);
    }
    std::vector<int> positions;
};

TEST(ReopeningAudio, ChoosesTheDeviceAtEveryOpening)
{
    FakeDevices devices;
    int position = 1;
    ReopeningSource source([&] { return devices.makeSource(position); });
    EXPECT_FALSE(source.slotDone(0));  // never opened: nothing ready
    ASSERT_TRUE(source.open(2));
    EXPECT_EQ(takeBlocks(source, 2, 3), (Blocks{1, 2, 3}));
    source.close();
    EXPECT_FALSE(source.slotDone(0));
    position = 9;
    EXPECT_FALSE(source.open(2) || source.slotDone(0));
    position = 0;
    ASSERT_TRUE(source.open(2));
    EXPECT_EQ(takeBlocks(source, 2, 1), Blocks{1});

    ReopeningSink sink([&] { return devices.makeSink(position); });
    position = 9;
    EXPECT_FALSE(sink.open(10) || sink.slotDone(0));
    sink.queue(0, numbered(1));  // harmless while closed
    position = 1;
    ASSERT_TRUE(sink.open(10));
    EXPECT_TRUE(sink.slotDone(0));
    EXPECT_EQ(devices.positions, (std::vector<int>{1, 9, 0, 9, 1}));

    ReopeningSource failing(
        [] { return std::make_unique<ThreadedSource>([] { return std::make_unique<CountingStream>(1); }); });
    EXPECT_FALSE(failing.failed());
    ASSERT_TRUE(failing.open(2));
    EXPECT_TRUE(within(5s, [&] { return failing.failed(); }));  // the device went away
    failing.close();
    EXPECT_FALSE(failing.failed());
}

TEST(StandInAudioDevices, ListsTheStandInsAndKeepsThemAcrossOpenings)
{
    FakeDevices devices;
    StandInAudioDevices standIns(devices);
    EXPECT_EQ(standIns.captureDevices(), devices.captureDevices());
    EXPECT_EQ(standIns.playbackDevices(), devices.playbackDevices());

    standIns.replaceCapture("rec.flac", recording(4));
    auto playback = file();
    const MemorySink& written = *playback;
    standIns.replacePlayback("tx.wav", std::move(playback));
    EXPECT_EQ(standIns.captureDevices(), std::vector<std::string>{"rec.flac"});
    EXPECT_EQ(standIns.playbackDevices(), std::vector<std::string>{"tx.wav"});
    for (int n = 1; n <= 2; ++n) {
        auto source = standIns.makeSource(n);
        ASSERT_TRUE(source->open(1));
        EXPECT_EQ(takeBlocks(*source, 1, 1), Blocks{n});  // the recording carries on
        source->close();
        auto sink = standIns.makeSink(n);
        ASSERT_TRUE(sink->open(10));
        sink->queue(0, numbered(n));
        sink->close();
        EXPECT_EQ(blocksIn(written), Blocks{n});
    }
    EXPECT_TRUE(devices.positions.empty());
}

}  // namespace
}  // namespace miv
