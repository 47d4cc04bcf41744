#include "platform/audio/ThreadedAudio.h"

#include <chrono>

namespace miv {

ThreadedSource::ThreadedSource(CaptureStreamFactory openStream) : openStream_(std::move(openStream))
{
}

ThreadedSource::~ThreadedSource()
{
    close();
}

bool ThreadedSource::open(int slots)
{
    close();
    stream_ = openStream_();
    if (!stream_)
        return false;
    ring_.open(slots);
    failed_ = false;
    running_ = true;
    thread_ = std::thread(&ThreadedSource::run, this);
    return true;
}

void ThreadedSource::close()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
    stream_.reset();
    ring_.close();
}

void ThreadedSource::run()
{
    AudioBlock block{};
    while (running_) {
        if (!stream_->read(block)) {
            failed_ = true;  // the device went away: no more blocks complete
            return;
        }
        ring_.deliver(block);
    }
}

ThreadedSink::ThreadedSink(PlaybackStreamFactory openStream) : openStream_(std::move(openStream))
{
}

ThreadedSink::~ThreadedSink()
{
    close();
}

bool ThreadedSink::open(int slots)
{
    close();
    stream_ = openStream_();
    if (!stream_)
        return false;
    ring_.open(slots);
    failed_ = false;
    thread_ = std::thread(&ThreadedSink::run, this);
    return true;
}

void ThreadedSink::close()
{
    ring_.close();
    if (thread_.joinable())
        thread_.join();
    if (stream_)
        stream_->discard();
    stream_.reset();
}

void ThreadedSink::run()
{
    AudioBlock block{};
    bool failed = false;
    auto deadline = std::chrono::steady_clock::now();
    while (const auto slot = ring_.waitNext(block)) {
        if (!failed) {
            failed = !stream_->write(block);
            failed_ = failed;
        }
        if (failed) {
            deadline = std::max(deadline + kBlockPeriod, std::chrono::steady_clock::now());
            std::this_thread::sleep_until(deadline);
        }
        ring_.markDone(*slot);
    }
}

}  // namespace miv
