#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "platform/audio/AudioFileReader.h"
#include "platform/audio/FileAudioSource.h"

namespace miv::cli {

// The channel's input, read twice in blocks: a sound file is opened again for the second
// pass; raw audio from standard input is kept in a temporary file on the first.
class ChannelInput {
public:
    explicit ChannelInput(std::string path) : path_(std::move(path)) {}
    ~ChannelInput();
    ChannelInput(const ChannelInput&) = delete;
    ChannelInput& operator=(const ChannelInput&) = delete;

    // Starts a pass over the input; false, with the reason in error(), when it cannot.
    bool rewind();
    // Up to `block.size()` samples; 0 at the end or on an error.
    std::size_t read(std::span<std::int16_t> block);
    const std::string& error() const { return error_; }

private:
    std::size_t readStandardInput(std::span<std::int16_t> block);

    std::string path_;
    std::string error_;
    int pass_ = 0;
    std::unique_ptr<AudioFileReader> file_;
    std::unique_ptr<RawAudioSource> raw_;
    std::FILE* spool_ = nullptr;
    AudioBlock rawBlock_{};
    std::size_t rawUsed_ = 0;
    std::size_t rawHave_ = 0;
    long long rawSamples_ = 0;
};

}  // namespace miv::cli
