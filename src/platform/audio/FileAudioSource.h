#pragma once

#include <string>

#include "platform/audio/AudioFileReader.h"
#include "platform/audio/BlockAudioSource.h"

namespace miv {

// Capture from an audio file, as fast as the receiver takes it.
class FileAudioSource final : public BlockAudioSource {
public:
    explicit FileAudioSource(const std::string& path) : reader_(path) {}

    // Empty while the file reads well; a problem stops the audio where it occurred.
    const std::string& error() const { return reader_.error(); }

protected:
    bool produce(AudioBlock& block) override;
    bool available() const override { return reader_.ok(); }

private:
    AudioFileReader reader_;
};

// Capture from raw 48 kHz signed 16-bit little-endian mono on a file descriptor
// (standard input), so a sound card can be piped in. Reads block when the pipe is
// empty, as a device would wait for its next block.
class RawAudioSource final : public BlockAudioSource {
public:
    explicit RawAudioSource(int fd) : fd_(fd) {}

    const std::string& error() const { return error_; }
    long long bytesRead() const { return bytesRead_; }

protected:
    bool produce(AudioBlock& block) override;

private:
    int fd_;
    bool ended_ = false;
    long long bytesRead_ = 0;
    std::string error_;
};

}  // namespace miv
