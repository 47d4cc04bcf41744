#include "platform/audio/FileSinks.h"

#include <array>
#include <cstdint>

#include <sndfile.h>

namespace miv {

namespace {

bool endsWith(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::unique_ptr<SoundFileSink> SoundFileSink::create(const std::string& path, std::string& error)
{
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = (endsWith(path, ".flac") ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = sf_strerror(nullptr);
        return nullptr;
    }
    // The header follows every write, so the file can be read while it grows (the
    // window keeps one file for a whole session).
    sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    return std::unique_ptr<SoundFileSink>(new SoundFileSink(file));
}

SoundFileSink::~SoundFileSink()
{
    close();
}

bool SoundFileSink::open(int /*slots*/)
{
    return file_ != nullptr;
}

void SoundFileSink::queue(int /*slot*/, const AudioBlock& block)
{
    if (file_ == nullptr || failed())
        return;
    const sf_count_t written = sf_write_short(file_, block.data(), kBlockSamples);
    samplesWritten_ += written;
    if (written != kBlockSamples)
        error_ = sf_strerror(file_);
}

bool SoundFileSink::slotDone(int /*slot*/) const
{
    return file_ != nullptr && !failed();
}

void SoundFileSink::close()
{
    if (file_ == nullptr)
        return;
    if (sf_close(file_) != 0 && error_.empty())
        error_ = "cannot finish the file";
    file_ = nullptr;
}

bool RawStreamSink::open(int /*slots*/)
{
    open_ = stream_ != nullptr;
    return open_;
}

void RawStreamSink::queue(int /*slot*/, const AudioBlock& block)
{
    if (!open_ || failed_)
        return;
    std::array<unsigned char, 2 * kBlockSamples> bytes;
    for (std::size_t i = 0; i < block.size(); ++i) {
        const auto v = static_cast<std::uint16_t>(block[i]);
        bytes[2 * i] = static_cast<unsigned char>(v & 0xFFu);
        bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size())
        failed_ = true;
    else
        samplesWritten_ += kBlockSamples;
}

bool RawStreamSink::slotDone(int /*slot*/) const
{
    return open_;
}

void RawStreamSink::close()
{
    if (open_ && std::fflush(stream_) != 0)
        failed_ = true;
    open_ = false;
}

}  // namespace miv
