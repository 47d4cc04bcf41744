#pragma once

#include <cstdint>
#include <vector>

#include "platform/AudioSource.h"

namespace miv {

// An audio source that fills its queued slots as fast as its producer can supply
// blocks, in queue order: files, memory and pipes rather than a live device. After the
// producer runs dry it can supply a number of silent blocks, so a receiver can decide
// the last symbols of what it was given.
class BlockAudioSource : public AudioSource {
public:
    bool open(int slots) override;
    bool slotDone(int slot) override;
    void read(int slot, AudioBlock& out) const override;
    void requeue(int slot) override;
    void close() override;

    // Silent blocks to supply once the producer has nothing more.
    void appendSilence(int blocks) { silenceLeft_ += blocks; }
    // Everything has been produced and taken.
    bool drained() const { return dry_ && silenceLeft_ == 0 && filled_ == 0; }
    // Blocks of real audio produced so far, and blocks taken by the receiver.
    long long blocksProduced() const { return produced_; }
    long long blocksTaken() const { return taken_; }

protected:
    // The next block; false when there is no more. A short last block is padded with 0.
    virtual bool produce(AudioBlock& block) = 0;
    // False when the device would not open.
    virtual bool available() const { return true; }

private:
    bool fillNext();

    std::vector<AudioBlock> data_;
    std::vector<int> queue_;  // slot numbers in the order they were queued
    int head_ = 0;            // queue_ index of the oldest queued slot
    int queued_ = 0;
    int filled_ = 0;  // the oldest `filled_` queued slots hold audio
    std::vector<char> done_;
    bool dry_ = false;
    int silenceLeft_ = 0;
    long long produced_ = 0;
    long long taken_ = 0;
};

// Audio held in memory, for tests and the command line.
class MemoryAudioSource final : public BlockAudioSource {
public:
    MemoryAudioSource() = default;
    explicit MemoryAudioSource(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {}

    void append(const std::vector<std::int16_t>& samples)
    {
        samples_.insert(samples_.end(), samples.begin(), samples.end());
    }
    // A device that does not open.
    void setAvailable(bool available) { available_ = available; }

protected:
    bool produce(AudioBlock& block) override;
    bool available() const override { return available_; }

private:
    std::vector<std::int16_t> samples_;
    std::size_t position_ = 0;
    bool available_ = true;
};

}  // namespace miv
