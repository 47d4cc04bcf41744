#include "platform/audio/PacedAudio.h"

#include <thread>

namespace miv {

using SteadyClock = std::chrono::steady_clock;

// Completes one block per period from the opening on; a reader that falls behind
// finds the next block ready at once, as a sound card's queue would hold it.
class PacedCaptureStream final : public CaptureStream {
public:
    explicit PacedCaptureStream(PacedSource& source) : source_(source), deadline_(SteadyClock::now()) {}

    bool read(AudioBlock& block) override
    {
        deadline_ += source_.period_;
        std::this_thread::sleep_until(deadline_);
        source_.nextBlock(block);
        return true;
    }

private:
    PacedSource& source_;
    SteadyClock::time_point deadline_;
};

// A block handed over reaches the file at once; the call returns when a device would
// have finished playing it. After a pause in the blocks the device starts afresh
// rather than rushing to catch up.
class PacedPlaybackStream final : public PlaybackStream {
public:
    explicit PacedPlaybackStream(PacedSink& sink) : sink_(sink) {}

    bool write(const AudioBlock& block) override
    {
        const bool written = sink_.writeBlock(block);
        deadline_ = std::max(deadline_, SteadyClock::now()) + sink_.period_;
        std::this_thread::sleep_until(deadline_);
        return written;
    }

private:
    PacedSink& sink_;
    SteadyClock::time_point deadline_{};
};

PacedSource::PacedSource(std::unique_ptr<AudioSource> recording, SteadyClock::duration period)
    : recording_(std::move(recording)),
      period_(period),
      device_([this] { return std::make_unique<PacedCaptureStream>(*this); })
{
}

PacedSource::~PacedSource()
{
    device_.close();
    if (recordingOpen_)
        recording_->close();
}

bool PacedSource::open(int slots)
{
    device_.close();
    if (!recordingOpen_) {
        if (!recording_->open(kRecordingSlots))
            return false;
        recordingOpen_ = true;
    }
    return device_.open(slots);
}

void PacedSource::nextBlock(AudioBlock& block)
{
    if (!recording_->slotDone(nextSlot_)) {
        block.fill(0);
        return;
    }
    recording_->read(nextSlot_, block);
    recording_->requeue(nextSlot_);
    nextSlot_ = (nextSlot_ + 1) % kRecordingSlots;
}

PacedSink::PacedSink(std::unique_ptr<AudioSink> file, SteadyClock::duration period)
    : file_(std::move(file)),
      period_(period),
      device_([this] { return std::make_unique<PacedPlaybackStream>(*this); })
{
}

PacedSink::~PacedSink()
{
    device_.close();
    if (fileOpen_)
        file_->close();
}

bool PacedSink::open(int slots)
{
    device_.close();
    if (!fileOpen_) {
        if (!file_->open(1))
            return false;
        fileOpen_ = true;
    }
    // A file that no longer takes blocks (a full disk) is as gone as an unplugged device,
    // and the operator hears of it the same way.
    if (!file_->slotDone(0))
        return false;
    return device_.open(slots);
}

bool PacedSink::writeBlock(const AudioBlock& block)
{
    // A file takes a block at once; one that has not taken the last one has failed.
    if (!file_->slotDone(0))
        return false;
    file_->queue(0, block);
    return true;
}

}  // namespace miv
