#include "platform/audio/WaveFileWriter.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace miv {

namespace {

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::size_t kHeaderBytes = 80;
constexpr std::uint64_t kHeaderRefreshBytes = 2 * kSampleRate;  // a second of audio

class HeaderBytes {
public:
    void tag(const char (&name)[5]) { append(name, 4); }
    void u16(std::uint16_t v) { little(v, 2); }
    void u32(std::uint32_t v) { little(v, 4); }
    void u64(std::uint64_t v) { little(v, 8); }
    void zeros(std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            bytes_[size_++] = 0;
    }
    const unsigned char* data() const { return bytes_.data(); }
    std::size_t size() const { return size_; }

private:
    void append(const char* p, std::size_t n)
    {
        std::memcpy(bytes_.data() + size_, p, n);
        size_ += n;
    }
    void little(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes_[size_++] = static_cast<unsigned char>(v >> (8 * i));
    }

    std::array<unsigned char, kHeaderBytes> bytes_{};
    std::size_t size_ = 0;
};

}  // namespace

std::unique_ptr<WaveFileWriter> WaveFileWriter::create(const std::string& path, std::string& error,
                                                       std::uint64_t rf64ThresholdBytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<WaveFileWriter> writer(new WaveFileWriter(file, std::min(rf64ThresholdBytes, kRiffLimit)));
    if (!writer->writeHeader()) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

WaveFileWriter::~WaveFileWriter()
{
    close();
}

void WaveFileWriter::fail(const char* what)
{
    if (error_.empty())
        error_ = std::string(what) + ": " + std::strerror(errno);
}

bool WaveFileWriter::writeHeader()
{
    // Sizes count from after each chunk's 8-byte head; RIFF's from after "RIFF" and its size.
    const bool rf64 = kHeaderBytes - 8 + dataBytes_ > threshold_;
    const std::uint64_t riffBytes = kHeaderBytes - 8 + dataBytes_;
    HeaderBytes h;
    h.tag(rf64 ? "RF64" : "RIFF");
    h.u32(rf64 ? 0xFFFFFFFFU : static_cast<std::uint32_t>(riffBytes));
    h.tag("WAVE");
    h.tag(rf64 ? "ds64" : "JUNK");
    h.u32(28);
    if (rf64) {
        h.u64(riffBytes);
        h.u64(dataBytes_);
        h.u64(dataBytes_ / 2);  // samples
        h.u32(0);               // no table of other chunks' sizes
    } else {
        h.zeros(28);
    }
    h.tag("fmt ");
    h.u32(16);
    h.u16(1);  // integer PCM
    h.u16(1);  // mono
    h.u32(kSampleRate);
    h.u32(2 * kSampleRate);
    h.u16(2);
    h.u16(16);
    h.tag("data");
    h.u32(rf64 ? 0xFFFFFFFFU : static_cast<std::uint32_t>(dataBytes_));

    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h.data(), 1, h.size(), file_) != h.size() ||
        std::fseek(file_, 0, SEEK_END) != 0 || std::fflush(file_) != 0) {
        fail("cannot write the header");
        return false;
    }
    bytesAtLastHeader_ = dataBytes_;
    return true;
}

bool WaveFileWriter::write(std::span<const std::int16_t> samples)
{
    if (file_ == nullptr || !error_.empty())
        return false;
    std::array<unsigned char, 8192> bytes;
    while (!samples.empty()) {
        const std::size_t count = std::min(samples.size(), bytes.size() / 2);
        for (std::size_t i = 0; i < count; ++i) {
            const auto v = static_cast<std::uint16_t>(samples[i]);
            bytes[2 * i] = static_cast<unsigned char>(v & 0xFFu);
            bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
        }
        if (std::fwrite(bytes.data(), 1, 2 * count, file_) != 2 * count) {
            fail("cannot write the samples");
            return false;
        }
        dataBytes_ += 2 * count;
        samples = samples.subspan(count);
    }
    return dataBytes_ - bytesAtLastHeader_ < kHeaderRefreshBytes || writeHeader();
}

bool WaveFileWriter::close()
{
    if (file_ == nullptr)
        return error_.empty();
    if (error_.empty())
        writeHeader();
    if (std::fclose(file_) != 0)
        fail("cannot finish the file");
    file_ = nullptr;
    return error_.empty();
}

}  // namespace miv
