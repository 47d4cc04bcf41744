#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "platform/AudioSink.h"
#include "platform/AudioSource.h"
#include "platform/audio/AudioStreams.h"
#include "platform/audio/BlockRings.h"

namespace miv {

// A capture device whose stream is read by a thread of its own into the capture ring,
// so the thread that takes blocks only ever polls and copies.
class ThreadedSource final : public AudioSource {
public:
    explicit ThreadedSource(CaptureStreamFactory openStream);
    ~ThreadedSource() override;
    ThreadedSource(const ThreadedSource&) = delete;  // owns a running thread
    ThreadedSource& operator=(const ThreadedSource&) = delete;

    bool open(int slots) override;
    bool slotDone(int slot) override { return ring_.slotDone(slot); }
    void read(int slot, AudioBlock& out) const override { ring_.read(slot, out); }
    void requeue(int slot) override { ring_.requeue(slot); }
    void close() override;
    bool failed() const override { return failed_; }

private:
    void run();

    CaptureStreamFactory openStream_;
    std::unique_ptr<CaptureStream> stream_;
    CaptureBlockRing ring_;
    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

// A playback device whose stream is written by a thread of its own from the playback
// ring. A slot is done once the stream has taken its block. When the stream fails the
// thread keeps taking blocks at the device's pace, so a transmission still runs to its
// end and can be stopped.
class ThreadedSink final : public AudioSink {
public:
    explicit ThreadedSink(PlaybackStreamFactory openStream);
    ~ThreadedSink() override;
    ThreadedSink(const ThreadedSink&) = delete;  // owns a running thread
    ThreadedSink& operator=(const ThreadedSink&) = delete;

    bool open(int slots) override;
    void queue(int slot, const AudioBlock& block) override { ring_.queue(slot, block); }
    bool slotDone(int slot) const override { return ring_.slotDone(slot); }
    void close() override;
    bool failed() const override { return failed_; }

private:
    void run();

    PlaybackStreamFactory openStream_;
    std::unique_ptr<PlaybackStream> stream_;
    PlaybackBlockRing ring_;
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

}  // namespace miv
