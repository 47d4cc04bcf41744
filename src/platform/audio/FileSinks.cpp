#include "platform/audio/FileSinks.h"

#include <algorithm>
#include <array>

#include <sndfile.h>

namespace miv {

namespace {

bool endsWith(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::unique_ptr<SoundFileSink> SoundFileSink::create(const std::string& path, std::string& error,
                                                     std::uint64_t rf64ThresholdBytes)
{
    const bool flac = endsWith(path, ".flac");
    if (!flac && !endsWith(path, ".w64")) {
        auto wave = WaveFileWriter::create(path, error, rf64ThresholdBytes);
        return wave ? std::unique_ptr<SoundFileSink>(new SoundFileSink(std::move(wave))) : nullptr;
    }
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_W64) | SF_FORMAT_PCM_16;
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
    return isOpen();
}

void SoundFileSink::write(std::span<const std::int16_t> samples)
{
    if (!isOpen() || failed())
        return;
    if (wave_) {
        if (wave_->write(samples))
            samplesWritten_ += static_cast<long long>(samples.size());
        else
            error_ = wave_->error();
        return;
    }
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t written = sf_write_short(file_, samples.data(), count);
    samplesWritten_ += written;
    if (written != count)
        error_ = sf_strerror(file_);
}

bool SoundFileSink::slotDone(int /*slot*/) const
{
    return isOpen() && !failed();
}

void SoundFileSink::close()
{
    if (wave_) {
        if (!wave_->close() && error_.empty())
            error_ = wave_->error();
        wave_.reset();
        return;
    }
    if (file_ == nullptr)
        return;
    if (sf_close(file_) != 0 && error_.empty())
        error_ = "cannot finish the file";
    file_ = nullptr;
}

bool RawStreamSink::open(int /*slots*/)
{
    open_ = stream_ != nullptr;
    return open_ && !failed_;
}

void RawStreamSink::write(std::span<const std::int16_t> samples)
{
    std::array<unsigned char, 2 * kBlockSamples> bytes;
    while (open_ && !failed_ && !samples.empty()) {
        const std::size_t count = std::min<std::size_t>(samples.size(), kBlockSamples);
        for (std::size_t i = 0; i < count; ++i) {
            const auto v = static_cast<std::uint16_t>(samples[i]);
            bytes[2 * i] = static_cast<unsigned char>(v & 0xFFu);
            bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
        }
        failed_ = std::fwrite(bytes.data(), 1, 2 * count, stream_) != 2 * count;
        if (!failed_)
            samplesWritten_ += static_cast<long long>(count);
        samples = samples.subspan(count);
    }
}

bool RawStreamSink::slotDone(int /*slot*/) const
{
    return open_ && !failed_;
}

void RawStreamSink::close()
{
    if (open_ && std::fflush(stream_) != 0)
        failed_ = true;
    open_ = false;
}

}  // namespace miv
