#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/audio/FileSinks.h"

namespace miv::cli {

// Where a command writes its audio: a sound file (WAV, or FLAC for a name ending in
// ".flac"), or raw 48 kHz s16le on standard output for "-".
class AudioOutput {
public:
    explicit AudioOutput(const std::string& path);

    // False, with the reason in error(), when the file could not be made.
    bool ready() const { return file_ || raw_; }
    // Only when ready.
    AudioSink& sink();
    void write(std::span<const std::int16_t> samples);
    bool failed() const;
    // Finishes the output; false, with the reason in error(), when a write failed.
    bool finish();
    const std::string& error() const { return error_; }
    long long samplesWritten() const;

private:
    std::string name_;
    std::unique_ptr<SoundFileSink> file_;
    std::unique_ptr<RawStreamSink> raw_;
    std::string error_;
};

}  // namespace miv::cli
