#pragma once

#include <chrono>
#include <memory>

#include "platform/AudioSink.h"
#include "platform/AudioSource.h"
#include "platform/audio/ThreadedAudio.h"

namespace miv {

// A recording that plays into the receiver as if from a sound card: blocks complete at
// the pace of a real device, one every `period`, on an audio thread of their own. The
// recording is opened once and kept: while capture is closed (during a transmission)
// it pauses, and it carries on where it stopped when capture reopens. After its last
// block comes silence, as from a sound card with nothing playing into it.
class PacedSource final : public AudioSource {
public:
    static constexpr int kRecordingSlots = 4;

    explicit PacedSource(std::unique_ptr<AudioSource> recording,
                         std::chrono::steady_clock::duration period = kBlockPeriod);
    ~PacedSource() override;
    PacedSource(const PacedSource&) = delete;  // its audio thread points back at it
    PacedSource& operator=(const PacedSource&) = delete;

    // False when the recording cannot be opened.
    bool open(int slots) override;
    bool slotDone(int slot) override { return device_.slotDone(slot); }
    void read(int slot, AudioBlock& out) const override { device_.read(slot, out); }
    void requeue(int slot) override { device_.requeue(slot); }
    void close() override { device_.close(); }

private:
    friend class PacedCaptureStream;
    // The next block of the recording, in its slot order; silence once it has none.
    void nextBlock(AudioBlock& block);

    std::unique_ptr<AudioSource> recording_;
    std::chrono::steady_clock::duration period_;
    bool recordingOpen_ = false;
    int nextSlot_ = 0;
    ThreadedSource device_;
};

// A file writer standing in for the playback device: every block the transmitter hands
// over is written at once, in order, as it goes to a sound card, and its slot is done
// when a real device would have played it, so the transmitter runs at its true pace.
// The file is opened once and kept until the end, so each transmission follows the
// last one in it.
class PacedSink final : public AudioSink {
public:
    explicit PacedSink(std::unique_ptr<AudioSink> file, std::chrono::steady_clock::duration period = kBlockPeriod);
    ~PacedSink() override;
    PacedSink(const PacedSink&) = delete;  // its audio thread points back at it
    PacedSink& operator=(const PacedSink&) = delete;

    // False when the file cannot be opened or has failed a write.
    bool open(int slots) override;
    void queue(int slot, const AudioBlock& block) override { device_.queue(slot, block); }
    bool slotDone(int slot) const override { return device_.slotDone(slot); }
    void close() override { device_.close(); }
    bool failed() const override { return device_.failed(); }

private:
    friend class PacedPlaybackStream;
    bool writeBlock(const AudioBlock& block);

    std::unique_ptr<AudioSink> file_;
    std::chrono::steady_clock::duration period_;
    bool fileOpen_ = false;
    ThreadedSink device_;
};

}  // namespace miv
