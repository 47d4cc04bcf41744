#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "platform/AudioSink.h"
#include "platform/audio/WaveFileWriter.h"

typedef struct sf_private_tag SNDFILE;

namespace miv {

// Writes the transmission to a sound file, 48 kHz 16-bit mono: FLAC when the name ends in
// ".flac", Sony Wave64 for ".w64", otherwise WAV (RF64 once it passes 4 GiB), so a file of
// any length keeps every sample. A file takes one transmission: it is finished by close(). Every
// slot is done at once, so the transmitter renders as fast as it can; after a failed
// write none is done any more.
class SoundFileSink final : public AudioSink {
public:
    // Creates (or truncates) the file; null with the reason in `error` when it cannot.
    static std::unique_ptr<SoundFileSink> create(const std::string& path, std::string& error,
                                                 std::uint64_t rf64ThresholdBytes = WaveFileWriter::kRiffLimit);
    ~SoundFileSink() override;
    SoundFileSink(const SoundFileSink&) = delete;
    SoundFileSink& operator=(const SoundFileSink&) = delete;

    bool open(int slots) override;
    void queue(int /*slot*/, const AudioBlock& block) override { write(block); }
    bool slotDone(int slot) const override;
    void close() override;

    // Samples that need not fill a block, for audio that is not a transmission.
    void write(std::span<const std::int16_t> samples);
    // A write or the final flush failed; `error` says why.
    bool failed() const override { return !error_.empty(); }
    const std::string& error() const { return error_; }
    long long samplesWritten() const { return samplesWritten_; }

private:
    explicit SoundFileSink(SNDFILE* file) : file_(file) {}
    explicit SoundFileSink(std::unique_ptr<WaveFileWriter> wave) : wave_(std::move(wave)) {}
    bool isOpen() const { return file_ != nullptr || wave_ != nullptr; }

    SNDFILE* file_ = nullptr;
    std::unique_ptr<WaveFileWriter> wave_;
    std::string error_;
    long long samplesWritten_ = 0;
};

// Writes raw 48 kHz signed 16-bit little-endian mono to a stream (stdout for "-"), for
// piping into aplay or sox. The stream stays the caller's; after a failed write no slot
// is done any more.
class RawStreamSink final : public AudioSink {
public:
    explicit RawStreamSink(std::FILE* stream) : stream_(stream) {}

    bool open(int slots) override;
    void queue(int /*slot*/, const AudioBlock& block) override { write(block); }
    bool slotDone(int slot) const override;
    void close() override;

    void write(std::span<const std::int16_t> samples);
    bool failed() const override { return failed_; }
    long long samplesWritten() const { return samplesWritten_; }

private:
    std::FILE* stream_;
    bool open_ = false;
    bool failed_ = false;
    long long samplesWritten_ = 0;
};

}  // namespace miv
