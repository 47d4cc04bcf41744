#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/audio/BlockRings.h"
#include "platform/audio/PacedAudio.h"
#include "platform/audio/ReopeningAudio.h"
#include "platform/audio/ThreadedAudio.h"

namespace miv {
namespace {

using namespace std::chrono_literals;

AudioBlock numbered(int n)
{
    AudioBlock block{};
    block.fill(static_cast<std::int16_t>(n));
    return block;
}

// Polls until the condition holds; a generous limit keeps a broken thread from hanging
// the suite.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(CaptureBlockRing, FillsWaitingSlotsInQueueOrderAndLosesAudioWhenNoneWaits)
{
    CaptureBlockRing ring;
    ring.open(3);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_FALSE(ring.slotDone(slot));
    EXPECT_TRUE(ring.deliver(numbered(1)));
    EXPECT_TRUE(ring.deliver(numbered(2)));
    EXPECT_TRUE(ring.deliver(numbered(3)));
    EXPECT_FALSE(ring.deliver(numbered(4)));
    EXPECT_EQ(ring.lostBlocks(), 1);

    AudioBlock out{};
    ring.read(1, out);
    EXPECT_EQ(out[0], 2);

    // Slot 2 handed back before slot 0: it is filled first.
    ring.requeue(2);
    ring.requeue(0);
    ring.requeue(0);  // already waiting: no second place in the queue
    EXPECT_FALSE(ring.slotDone(2));
    EXPECT_TRUE(ring.slotDone(1));
    ring.deliver(numbered(5));
    ring.deliver(numbered(6));
    EXPECT_FALSE(ring.deliver(numbered(7)));
    ring.read(2, out);
    EXPECT_EQ(out[0], 5);
    ring.read(0, out);
    EXPECT_EQ(out[0], 6);
}

TEST(CaptureBlockRing, IgnoresSlotsOutOfRangeAndForgetsEverythingOnClose)
{
    CaptureBlockRing ring;
    ring.open(2);
    AudioBlock out = numbered(9);
    ring.read(5, out);
    ring.requeue(-1);
    EXPECT_EQ(out[0], 9);
    EXPECT_FALSE(ring.slotDone(7));
    ring.deliver(numbered(1));
    ring.close();
    EXPECT_FALSE(ring.slotDone(0));
    EXPECT_FALSE(ring.deliver(numbered(2)));
}

TEST(PlaybackBlockRing, PlaysQueuedSlotsInOrderAndRefusesBusySlots)
{
    PlaybackBlockRing ring;
    ring.open(3);
    EXPECT_TRUE(ring.slotDone(0) && ring.slotDone(1) && ring.slotDone(2));
    EXPECT_TRUE(ring.queue(2, numbered(1)));
    EXPECT_TRUE(ring.queue(0, numbered(2)));
    EXPECT_FALSE(ring.queue(2, numbered(3)));
    EXPECT_FALSE(ring.queue(3, numbered(3)));
    EXPECT_FALSE(ring.slotDone(2));

    AudioBlock out{};
    auto slot = ring.waitNext(out);
    ASSERT_TRUE(slot);
    EXPECT_EQ(*slot, 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_FALSE(ring.slotDone(2));  // done only once the device has taken it
    ring.markDone(2);
    EXPECT_TRUE(ring.slotDone(2));
    slot = ring.waitNext(out);
    ASSERT_TRUE(slot);
    EXPECT_EQ(*slot, 0);
}

TEST(PlaybackBlockRing, CloseWakesTheDeviceSideAndFreesQueuedSlots)
{
    PlaybackBlockRing ring;
    ring.open(2);
    std::optional<int> result = 99;
    std::thread device([&] {
        AudioBlock out{};
        result = ring.waitNext(out);
    });
    std::this_thread::sleep_for(5ms);
    ring.close();
    device.join();
    EXPECT_FALSE(result);

    ring.open(2);
    ring.queue(1, numbered(1));
    ring.close();
    EXPECT_TRUE(ring.slotDone(1));
    EXPECT_FALSE(ring.queue(0, numbered(2)));
}

// Produces numbered blocks about as a device would, a little faster.
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

// Takes blocks in the receiver's order: slot after slot, each handed back once read.
std::vector<int> takeBlocks(AudioSource& source, int slots, int count)
{
    std::vector<int> firstSamples;
    int slot = 0;
    while (static_cast<int>(firstSamples.size()) < count) {
        if (!eventually([&] { return source.slotDone(slot); }))
            break;
        AudioBlock block{};
        source.read(slot, block);
        source.requeue(slot);
        firstSamples.push_back(block[0]);
        slot = (slot + 1) % slots;
    }
    return firstSamples;
}

TEST(ThreadedSource, DeliversTheStreamInOrderThroughTheRing)
{
    ThreadedSource source([] { return std::make_unique<CountingStream>(); });
    ASSERT_TRUE(source.open(4));
    const std::vector<int> taken = takeBlocks(source, 4, 10);
    const std::vector<int> expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(taken, expected);
    source.close();
    EXPECT_FALSE(source.slotDone(0));
}

TEST(ThreadedSource, ReportsADeviceThatCannotOpenAndStopsOnAFailedStream)
{
    ThreadedSource missing([] { return std::unique_ptr<CaptureStream>(); });
    EXPECT_FALSE(missing.open(4));
    EXPECT_FALSE(missing.slotDone(0));

    int openings = 0;
    ThreadedSource failing([&] { return std::make_unique<CountingStream>(++openings == 1 ? 2 : -1); });
    ASSERT_TRUE(failing.open(4));
    ASSERT_TRUE(eventually([&] { return failing.slotDone(1); }));
    ASSERT_TRUE(eventually([&] { return failing.failed(); }));
    EXPECT_FALSE(failing.slotDone(2));

    // The device is back at the next opening.
    ASSERT_TRUE(failing.open(4));
    EXPECT_FALSE(failing.failed());
    EXPECT_EQ(takeBlocks(failing, 4, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(failing.failed());
}

TEST(ThreadedSource, ReopensWithAFreshRing)
{
    ThreadedSource source([] { return std::make_unique<CountingStream>(); });
    ASSERT_TRUE(source.open(2));
    ASSERT_TRUE(eventually([&] { return source.slotDone(1); }));
    ASSERT_TRUE(source.open(2));
    EXPECT_EQ(takeBlocks(source, 2, 3), (std::vector<int>{1, 2, 3}));
}

struct PlaybackLog {
    std::mutex mutex;
    std::vector<int> written;
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
        std::lock_guard lock(log_.mutex);
        log_.written.push_back(block[0]);
        return true;
    }
    void discard() override
    {
        std::lock_guard lock(log_.mutex);
        ++log_.discarded;
    }

private:
    PlaybackLog& log_;
    bool fail_;
};

// Queues blocks 1..count the way the transmitter does: into the next slot as soon as
// it is done.
void queueBlocks(AudioSink& sink, int slots, int count)
{
    int slot = 0;
    for (int n = 1; n <= count; ++n) {
        ASSERT_TRUE(eventually([&] { return sink.slotDone(slot); }));
        sink.queue(slot, numbered(n));
        slot = (slot + 1) % slots;
    }
}

TEST(ThreadedSink, PlaysEveryBlockInTheOrderQueued)
{
    PlaybackLog log;
    ThreadedSink sink([&] { return std::make_unique<RecordingStream>(log, false); });
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 12);
    ASSERT_TRUE(eventually([&] { return sink.slotDone(0) && sink.slotDone(1) && sink.slotDone(2); }));
    sink.close();
    std::vector<int> expected(12);
    for (int n = 0; n < 12; ++n)
        expected[static_cast<std::size_t>(n)] = n + 1;
    EXPECT_EQ(log.written, expected);
    EXPECT_EQ(log.discarded, 1);
}

TEST(ThreadedSink, KeepsTheDevicePaceWhenTheStreamFails)
{
    PlaybackLog log;
    ThreadedSink sink([&] { return std::make_unique<RecordingStream>(log, true); });
    ASSERT_TRUE(sink.open(2));
    const auto start = std::chrono::steady_clock::now();
    queueBlocks(sink, 2, 4);
    ASSERT_TRUE(eventually([&] { return sink.slotDone(0) && sink.slotDone(1); }));
    // Four blocks, the first taken at once: at least three block times.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 3 * kBlockPeriod);
    EXPECT_TRUE(log.written.empty());
}

TEST(ThreadedSink, ReportsADeviceThatCannotOpen)
{
    ThreadedSink sink([] { return std::unique_ptr<PlaybackStream>(); });
    EXPECT_FALSE(sink.open(10));
}

// A recording: every queued slot is filled at once while blocks remain.
class MemorySource final : public AudioSource {
public:
    explicit MemorySource(int blocks, bool openable = true) : remaining_(blocks), openable_(openable) {}
    bool open(int slots) override
    {
        if (!openable_)
            return false;
        done_.assign(static_cast<std::size_t>(slots), false);
        data_.assign(static_cast<std::size_t>(slots), AudioBlock{});
        for (int slot = 0; slot < slots; ++slot)
            requeue(slot);
        return true;
    }
    bool slotDone(int slot) override { return done_[static_cast<std::size_t>(slot)]; }
    void read(int slot, AudioBlock& out) const override { out = data_[static_cast<std::size_t>(slot)]; }
    void requeue(int slot) override
    {
        done_[static_cast<std::size_t>(slot)] = false;
        waiting_.push_back(slot);
        while (!waiting_.empty() && produced_ < remaining_) {
            const int next = waiting_.front();
            waiting_.pop_front();
            data_[static_cast<std::size_t>(next)] = numbered(++produced_);
            done_[static_cast<std::size_t>(next)] = true;
        }
    }
    void close() override { ++closed; }

    int closed = 0;

private:
    int remaining_;
    bool openable_;
    int produced_ = 0;
    std::vector<bool> done_;
    std::vector<AudioBlock> data_;
    std::deque<int> waiting_;
};

TEST(PacedSource, PlaysTheRecordingAtTheDevicePaceThenSilence)
{
    constexpr auto kPeriod = 2ms;
    auto recording = std::make_unique<MemorySource>(5);
    PacedSource source(std::move(recording), kPeriod);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(source.open(8));
    const std::vector<int> taken = takeBlocks(source, 8, 8);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 8 * kPeriod);
    EXPECT_EQ(taken, (std::vector<int>{1, 2, 3, 4, 5, 0, 0, 0}));
}

TEST(PacedSource, ResumesTheRecordingWhereItPausedAfterReopening)
{
    // Long enough that the recording cannot run out while the test looks.
    auto recording = std::make_unique<MemorySource>(5000);
    MemorySource* inner = recording.get();
    PacedSource source(std::move(recording), 2ms);
    ASSERT_TRUE(source.open(3));
    EXPECT_EQ(takeBlocks(source, 3, 2), (std::vector<int>{1, 2}));
    source.close();
    ASSERT_TRUE(source.open(3));
    // The block filled after the last take but never taken is lost with the old ring,
    // as it is with a sound card.
    const std::vector<int> taken = takeBlocks(source, 3, 2);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_GT(taken[0], 2);
    EXPECT_EQ(taken[1], taken[0] + 1);
    EXPECT_EQ(inner->closed, 0);
}

TEST(PacedSource, ReportsARecordingThatCannotOpen)
{
    PacedSource source(std::make_unique<MemorySource>(3, false), 1ms);
    EXPECT_FALSE(source.open(4));
}

// A file: takes every block at once, until its disk is full after `room` blocks.
class MemorySink final : public AudioSink {
public:
    explicit MemorySink(bool openable = true, std::size_t room = 1000) : openable_(openable), room_(room) {}
    bool open(int) override { return openable_; }
    void queue(int, const AudioBlock& block) override
    {
        std::lock_guard lock(mutex_);
        if (written_.size() < room_)
            written_.push_back(block[0]);
        else
            full_ = true;
    }
    bool slotDone(int) const override
    {
        std::lock_guard lock(mutex_);
        return !full_;
    }
    void close() override { ++closed; }
    std::vector<int> written() const
    {
        std::lock_guard lock(mutex_);
        return written_;
    }

    std::atomic<int> closed = 0;

private:
    bool openable_;
    std::size_t room_;
    mutable std::mutex mutex_;
    std::vector<int> written_;
    bool full_ = false;
};

TEST(PacedSink, WritesEveryBlockInOrderAtTheDevicePace)
{
    constexpr auto kPeriod = 2ms;
    auto file = std::make_unique<MemorySink>();
    MemorySink* inner = file.get();
    PacedSink sink(std::move(file), kPeriod);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 9);
    ASSERT_TRUE(eventually([&] { return sink.slotDone(0) && sink.slotDone(1) && sink.slotDone(2); }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 9 * kPeriod);
    EXPECT_EQ(inner->written(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // The next transmission follows the last in the same file.
    sink.close();
    ASSERT_TRUE(sink.open(3));
    queueBlocks(sink, 3, 2);
    ASSERT_TRUE(eventually([&] { return inner->written().size() == 11; }));
    EXPECT_EQ(inner->closed, 0);
}

TEST(PacedSink, AFileThatFailedRunsTheTransmissionToItsEndAndThenCannotOpen)
{
    auto file = std::make_unique<MemorySink>(true, 2);
    MemorySink* inner = file.get();
    PacedSink sink(std::move(file), 1ms);
    ASSERT_TRUE(sink.open(2));
    queueBlocks(sink, 2, 5);
    ASSERT_TRUE(eventually([&] { return sink.slotDone(0) && sink.slotDone(1); }));
    EXPECT_EQ(inner->written(), (std::vector<int>{1, 2}));
    sink.close();
    // The next transmission hears of it, as of a device that has gone.
    EXPECT_FALSE(sink.open(2));
}

TEST(PacedSink, ReportsAFileThatCannotOpen)
{
    PacedSink sink(std::make_unique<MemorySink>(false), 1ms);
    EXPECT_FALSE(sink.open(10));
}

class FakeDevices final : public AudioDevices {
public:
    std::vector<std::string> captureDevices() override { return {"Default", "USB CODEC"}; }
    std::vector<std::string> playbackDevices() override { return {"Default", "Speakers"}; }
    std::unique_ptr<AudioSource> makeSource(int position) override
    {
        sourcePositions.push_back(position);
        return std::make_unique<MemorySource>(3, position != 9);
    }
    std::unique_ptr<AudioSink> makeSink(int position) override
    {
        sinkPositions.push_back(position);
        return std::make_unique<MemorySink>(position != 9);
    }
    std::vector<int> sourcePositions;
    std::vector<int> sinkPositions;
};

TEST(ReopeningSource, ChoosesTheDeviceAtEveryOpening)
{
    FakeDevices devices;
    int position = 1;
    ReopeningSource source([&] { return devices.makeSource(position); });
    EXPECT_FALSE(source.slotDone(0));  // never opened: nothing ready
    ASSERT_TRUE(source.open(2));
    EXPECT_EQ(takeBlocks(source, 2, 3), (std::vector<int>{1, 2, 3}));
    source.close();
    EXPECT_FALSE(source.slotDone(0));
    position = 9;  // a device that will not open
    EXPECT_FALSE(source.open(2));
    EXPECT_FALSE(source.slotDone(0));
    position = 0;
    ASSERT_TRUE(source.open(2));
    EXPECT_EQ(takeBlocks(source, 2, 1), (std::vector<int>{1}));
    EXPECT_EQ(devices.sourcePositions, (std::vector<int>{1, 9, 0}));
}

TEST(ReopeningSource, PassesOnADeviceThatWentAway)
{
    ReopeningSource source(
        [] { return std::make_unique<ThreadedSource>([] { return std::make_unique<CountingStream>(1); }); });
    EXPECT_FALSE(source.failed());
    ASSERT_TRUE(source.open(2));
    EXPECT_TRUE(eventually([&] { return source.failed(); }));
    source.close();
    EXPECT_FALSE(source.failed());
}

TEST(ReopeningSink, ChoosesTheDeviceAtEveryOpening)
{
    FakeDevices devices;
    int position = 9;
    ReopeningSink sink([&] { return devices.makeSink(position); });
    EXPECT_FALSE(sink.open(10));
    EXPECT_FALSE(sink.slotDone(0));
    sink.queue(0, numbered(1));  // harmless while closed
    position = 1;
    ASSERT_TRUE(sink.open(10));
    EXPECT_TRUE(sink.slotDone(0));
    sink.close();
    EXPECT_EQ(devices.sinkPositions, (std::vector<int>{9, 1}));
}

TEST(StandInAudioDevices, ListsTheStandInsAndKeepsThemAcrossOpenings)
{
    FakeDevices devices;
    StandInAudioDevices standIns(devices);
    EXPECT_EQ(standIns.captureDevices(), devices.captureDevices());
    EXPECT_EQ(standIns.playbackDevices(), devices.playbackDevices());

    standIns.replaceCapture("rec.flac", std::make_unique<MemorySource>(4));
    auto file = std::make_unique<MemorySink>();
    MemorySink* written = file.get();
    standIns.replacePlayback("tx.wav", std::move(file));
    EXPECT_EQ(standIns.captureDevices(), std::vector<std::string>{"rec.flac"});
    EXPECT_EQ(standIns.playbackDevices(), std::vector<std::string>{"tx.wav"});

    auto first = standIns.makeSource(0);
    ASSERT_TRUE(first->open(1));
    EXPECT_EQ(takeBlocks(*first, 1, 1), std::vector<int>{1});
    first->close();
    auto second = standIns.makeSource(3);
    ASSERT_TRUE(second->open(1));
    EXPECT_EQ(takeBlocks(*second, 1, 1), std::vector<int>{3});  // one filled ahead went with the close

    for (int n = 1; n <= 2; ++n) {
        auto sink = standIns.makeSink(0);
        ASSERT_TRUE(sink->open(10));
        sink->queue(0, numbered(n));
        sink->close();
    }
    EXPECT_EQ(written->written(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(devices.sourcePositions.empty() && devices.sinkPositions.empty());
}

}  // namespace
}  // namespace miv
