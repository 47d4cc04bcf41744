#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

namespace miv {

// Reads an audio file of any format libsndfile knows (WAV, FLAC, ...) as 48 kHz
// 16-bit mono: the first channel of a multi-channel file, other rates converted.
// Problems (missing, empty, not audio, unsupported, truncated, corrupt) leave a
// message in `error()` and the reader stops; it never throws. A pipe is read whole into
// a temporary file first, since libsndfile can read most formats only from a file it
// can seek in.
class AudioFileReader {
public:
    explicit AudioFileReader(const std::string& path);
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Up to `count` samples at 48 kHz; fewer only at the end of the file or on an error.
    int read(std::int16_t* out, int count);

    // The whole rest of the file.
    std::vector<std::int16_t> readAll();

private:
    int readDirect(std::int16_t* out, int count);
    int readConverted(std::int16_t* out, int count);
    // Frames of the first channel into `frames_`; false at the end or on an error.
    bool readFrames();
    void fail(const std::string& message);
    void failTruncated();
    bool spool(const std::string& path);

    std::string path_;
    std::string spoolPath_;  // the temporary copy of a pipe
    std::string error_;
    sf_private_tag* file_ = nullptr;
    SRC_STATE_tag* converter_ = nullptr;
    int fileRate_ = 0;
    int channels_ = 0;
    long long framesExpected_ = 0;
    long long framesRead_ = 0;
    bool endOfInput_ = false;
    bool direct_ = false;
    double ratio_ = 1;
    std::vector<short> interleavedShort_;
    std::vector<float> interleavedFloat_;
    std::vector<float> frames_;  // first channel, waiting for the converter
    std::size_t framesUsed_ = 0;
    std::vector<float> converted_;  // converter output (or frames) not yet handed out
    std::size_t convertedUsed_ = 0;
};

}  // namespace miv
