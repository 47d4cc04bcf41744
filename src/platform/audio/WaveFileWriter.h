#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace miv {

// A 48 kHz 16-bit mono WAV file of any length: a plain RIFF WAV while the data fits
// `rf64ThresholdBytes` (4 GiB, where RIFF's 32-bit sizes end), RF64 beyond it. The
// header reserves room for RF64's 64-bit sizes (a JUNK chunk that becomes "ds64"), so
// the switch rewrites only the header. The header is brought up to date every second of
// audio and at close(), so the file can be read while it grows.
class WaveFileWriter {
public:
    static constexpr std::uint64_t kRiffLimit = 0xFFFFFFFFULL;

    // Null with the reason in `error` when the file cannot be made.
    static std::unique_ptr<WaveFileWriter> create(const std::string& path, std::string& error,
                                                  std::uint64_t rf64ThresholdBytes = kRiffLimit);
    ~WaveFileWriter();
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;

    // False, with the reason in error(), when the samples could not all be written.
    bool write(std::span<const std::int16_t> samples);
    bool close();
    const std::string& error() const { return error_; }

private:
    WaveFileWriter(std::FILE* file, std::uint64_t threshold) : file_(file), threshold_(threshold) {}
    bool writeHeader();
    void fail(const char* what);

    std::FILE* file_;
    std::uint64_t threshold_;
    std::uint64_t dataBytes_ = 0;
    std::uint64_t bytesAtLastHeader_ = 0;
    std::string error_;
};

}  // namespace miv
