#include "platform/audio/AudioFileReader.h"

#include <samplerate.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/AudioBlock.h"

namespace miv {

namespace {

constexpr int kChunkFrames = 4096;
// The converter's output for one chunk, with room for what it held back from the last.
constexpr int kConverterSlack = 64;

// libsndfile trims a WAV whose data chunk runs past the end of the file to what is
// there and only notes it in its log ("data : 96000 (should be 49956)"). Streaming
// writers put placeholder sizes there, which are not truncation.
bool dataChunkCutShort(SNDFILE* file)
{
    constexpr std::string_view kShould = "(should be";
    constexpr long long kPlaceholderSizes = 0x7FFFF000LL;  // and above: what streaming writers leave
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    const std::string text(log);
    std::size_t at = 0;
    while ((at = text.find("\ndata", at)) != std::string::npos) {
        const std::size_t end = text.find('\n', at + 1);
        const std::string line = text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        at += 1;
        const std::size_t colon = line.find(':');
        const std::size_t should = line.find(kShould);
        if (colon == std::string::npos || should == std::string::npos)
            continue;
        const long long claimed = std::atoll(line.c_str() + colon + 1);
        const long long actual = std::atoll(line.c_str() + should + kShould.size());
        if (claimed > actual && claimed != 0 && claimed < kPlaceholderSizes)
            return true;
    }
    return false;
}

// Where the samples of a RIFF (or big-endian RIFX) WAV file start; 0 when the file is
// not one or holds no data chunk.
sf_count_t wavDataOffset(const std::string& path, bool& bigEndian)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[12] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return 0;
    const bool riff = std::memcmp(header, "RIFF", 4) == 0;
    bigEndian = std::memcmp(header, "RIFX", 4) == 0;
    if ((!riff && !bigEndian) || std::memcmp(header + 8, "WAVE", 4) != 0)
        return 0;
    unsigned char chunk[8] = {};
    while (in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        if (std::memcmp(chunk, "data", 4) == 0)
            return static_cast<sf_count_t>(in.tellg());
        std::uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size |= static_cast<std::uint32_t>(chunk[bigEndian ? 7 - i : 4 + i]) << (8 * i);
        in.seekg(static_cast<std::streamoff>(size) + (size & 1), std::ios::cur);
    }
    return 0;
}

// A streaming writer that never came back to fill in the size of the data chunk leaves
// 0 there, and libsndfile then finds no audio. The samples run to the end of the file,
// so they are opened again as raw data from the chunk's start; null when there are none
// or they are not plain samples (block codecs are framed differently in WAV).
SNDFILE* openUnsizedWavData(const std::string& path, SF_INFO& info)
{
    const int type = info.format & SF_FORMAT_TYPEMASK;
    if (type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX)
        return nullptr;
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        break;
    default:
        return nullptr;
    }
    bool bigEndian = false;
    sf_count_t offset = wavDataOffset(path, bigEndian);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (offset == 0 || ec || static_cast<sf_count_t>(size) <= offset)
        return nullptr;
    SF_INFO raw{};
    raw.samplerate = info.samplerate;
    raw.channels = info.channels;
    raw.format = SF_FORMAT_RAW | (info.format & SF_FORMAT_SUBMASK) | (bigEndian ? SF_ENDIAN_BIG : SF_ENDIAN_LITTLE);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &raw);
    if (file == nullptr)
        return nullptr;
    // The new start takes effect at the next seek.
    if (sf_command(file, SFC_SET_RAW_START_OFFSET, &offset, sizeof offset) != 0 || sf_seek(file, 0, SEEK_SET) != 0 ||
        raw.frames <= 0) {
        sf_close(file);
        return nullptr;
    }
    info = raw;
    return file;
}

std::int16_t toSample(float v)
{
    // A damaged float file can hold NaN, which has no sample value.
    if (std::isnan(v))
        return 0;
    // libsndfile maps 16-bit full scale to ±1.0 with 32768.
    const float scaled = std::nearbyint(v * 32768.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

AudioFileReader::AudioFileReader(const std::string& givenPath) : path_(givenPath)
{
    std::error_code ec;
    if (!std::filesystem::exists(givenPath, ec)) {
        fail("no such file");
        return;
    }
    if (std::filesystem::is_directory(givenPath, ec)) {
        fail("is a directory");
        return;
    }
    std::string path = givenPath;
    if (std::filesystem::is_fifo(givenPath, ec)) {
        if (!spool(givenPath))
            return;
        path = spoolPath_;
    }
    if (std::filesystem::file_size(path, ec) == 0 && !ec) {
        fail("the file is empty");
        return;
    }
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) {
        // libsndfile says "No Error." of some headers it gives up on.
        const std::string reason =
            sf_error(nullptr) == SF_ERR_NO_ERROR ? "unknown format or damaged header" : sf_strerror(nullptr);
        fail("not a readable audio file (" + reason + ")");
        return;
    }
    bool unsized = info.frames == SF_COUNT_MAX;
    if (info.frames <= 0 && info.channels >= 1) {
        if (SNDFILE* raw = openUnsizedWavData(path, info)) {
            sf_close(file_);
            file_ = raw;
            unsized = true;
        }
    }
    fileRate_ = info.samplerate;
    channels_ = info.channels;
    framesExpected_ = info.frames;
    if (channels_ < 1) {
        fail("the file has no channels");
        return;
    }
    if (info.frames <= 0) {
        fail("the file holds no audio");
        return;
    }
    // A stream written without its length (FLAC or WAV from a pipe) can only be read to
    // its end.
    if (unsized)
        framesExpected_ = 0;
    ratio_ = static_cast<double>(kSampleRate) / fileRate_;
    if (fileRate_ <= 0 || src_is_valid_ratio(ratio_) == 0) {
        fail("unsupported sample rate " + std::to_string(fileRate_) + " Hz");
        return;
    }
    if (dataChunkCutShort(file_)) {
        fail("the file is truncated");
        return;
    }
    // 16-bit files at the working rate are read exactly; everything else goes through
    // floating point, where libsndfile puts every format on the same scale.
    direct_ = fileRate_ == kSampleRate && (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    if (fileRate_ != kSampleRate) {
        int srcError = 0;
        converter_ = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &srcError);
        if (converter_ == nullptr) {
            fail(std::string("cannot convert the sample rate (") + src_strerror(srcError) + ")");
            return;
        }
    }
}

void AudioFileReader::failTruncated()
{
    // libsndfile says "No Error." of a stream that just stops.
    fail(sf_error(file_) == SF_ERR_NO_ERROR
             ? "the file is truncated or corrupt"
             : std::string("the file is truncated or corrupt (") + sf_strerror(file_) + ")");
}

bool AudioFileReader::spool(const std::string& path)
{
    std::string name = (std::filesystem::temp_directory_path() / "miv-input-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        fail("cannot make a temporary file to read the stream into");
        return false;
    }
    ::close(fd);
    spoolPath_ = name;
    std::ifstream in(path, std::ios::binary);
    std::ofstream out(spoolPath_, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        out.write(buffer.data(), in.gcount());
    out.close();
    if (in.bad() || !out) {
        fail("cannot read the stream into a temporary file");
        return false;
    }
    return true;
}

AudioFileReader::~AudioFileReader()
{
    if (!spoolPath_.empty()) {
        std::error_code ec;
        std::filesystem::remove(spoolPath_, ec);
    }
    if (converter_ != nullptr)
        src_delete(converter_);
    if (file_ != nullptr)
        sf_close(file_);
}

void AudioFileReader::fail(const std::string& message)
{
    if (error_.empty())
        error_ = path_ + ": " + message;
}

int AudioFileReader::read(std::int16_t* out, int count)
{
    if (!ok() || count <= 0)
        return 0;
    return direct_ ? readDirect(out, count) : readConverted(out, count);
}

std::vector<std::int16_t> AudioFileReader::readAll()
{
    std::vector<std::int16_t> samples;
    std::int16_t chunk[kChunkFrames];
    int n = 0;
    while ((n = read(chunk, kChunkFrames)) > 0)
        samples.insert(samples.end(), chunk, chunk + n);
    return samples;
}

int AudioFileReader::readDirect(std::int16_t* out, int count)
{
    int done = 0;
    while (done < count && !endOfInput_) {
        const int want = std::min(count - done, kChunkFrames);
        interleavedShort_.resize(static_cast<std::size_t>(want) * static_cast<std::size_t>(channels_));
        const sf_count_t got = sf_readf_short(file_, interleavedShort_.data(), want);
        for (sf_count_t i = 0; i < got; ++i)
            out[done + i] = interleavedShort_[static_cast<std::size_t>(i) * static_cast<std::size_t>(channels_)];
        done += static_cast<int>(got);
        framesRead_ += got;
        if (got < want) {
            endOfInput_ = true;
            if (sf_error(file_) != SF_ERR_NO_ERROR || framesRead_ < framesExpected_)
                failTruncated();
        }
    }
    return ok() ? done : 0;
}

bool AudioFileReader::readFrames()
{
    if (endOfInput_)
        return false;
    interleavedFloat_.resize(static_cast<std::size_t>(kChunkFrames) * static_cast<std::size_t>(channels_));
    const sf_count_t got = sf_readf_float(file_, interleavedFloat_.data(), kChunkFrames);
    frames_.resize(static_cast<std::size_t>(got));
    for (sf_count_t i = 0; i < got; ++i)
        frames_[static_cast<std::size_t>(i)] =
            interleavedFloat_[static_cast<std::size_t>(i) * static_cast<std::size_t>(channels_)];
    framesUsed_ = 0;
    framesRead_ += got;
    if (got < kChunkFrames) {
        endOfInput_ = true;
        if (sf_error(file_) != SF_ERR_NO_ERROR || framesRead_ < framesExpected_)
            failTruncated();
    }
    return got > 0;
}

int AudioFileReader::readConverted(std::int16_t* out, int count)
{
    int done = 0;
    bool flushed = false;
    while (done < count && ok()) {
        if (convertedUsed_ < converted_.size()) {
            const auto n = std::min(converted_.size() - convertedUsed_, static_cast<std::size_t>(count - done));
            for (std::size_t i = 0; i < n; ++i)
                out[done + static_cast<int>(i)] = toSample(converted_[convertedUsed_ + i]);
            convertedUsed_ += n;
            done += static_cast<int>(n);
            continue;
        }
        if (flushed)
            break;
        if (framesUsed_ == frames_.size())
            readFrames();
        if (!ok())
            break;
        if (converter_ == nullptr) {
            converted_.swap(frames_);
            frames_.clear();
            framesUsed_ = 0;
            convertedUsed_ = 0;
            flushed = converted_.empty();
            continue;
        }
        const bool last = endOfInput_ && framesUsed_ == frames_.size();
        converted_.resize(static_cast<std::size_t>(std::ceil(kChunkFrames * ratio_)) + kConverterSlack);
        SRC_DATA data{};
        data.data_in = frames_.data() + framesUsed_;
        data.input_frames = static_cast<long>(frames_.size() - framesUsed_);
        data.data_out = converted_.data();
        data.output_frames = static_cast<long>(converted_.size());
        data.src_ratio = ratio_;
        data.end_of_input = last ? 1 : 0;
        const int srcError = src_process(converter_, &data);
        if (srcError != 0) {
            fail(std::string("sample-rate conversion failed (") + src_strerror(srcError) + ")");
            break;
        }
        framesUsed_ += static_cast<std::size_t>(data.input_frames_used);
        converted_.resize(static_cast<std::size_t>(data.output_frames_gen));
        convertedUsed_ = 0;
        if (last && data.output_frames_gen == 0)
            flushed = true;
    }
    return ok() ? done : 0;
}

}  // namespace miv
