#include <gtest/gtest.h>

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <thread>

#include "platform/audio/AudioFileReader.h"
#include "platform/audio/FileAudioSource.h"

namespace miv::test {
namespace {

namespace fs = std::filesystem;

class AudioSourcesTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("miv-sources-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Writes interleaved frames in the given format.
    std::string write(const std::string& name, int format, int rate, int channels, const std::vector<float>& frames)
    {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = format;
        SNDFILE* f = sf_open(path(name).c_str(), SFM_WRITE, &info);
        EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
        sf_writef_float(f, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
        sf_close(f);
        return path(name);
    }

    std::string writeBytes(const std::string& name, const std::string& bytes)
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    static std::string readBytes(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static std::vector<float> tone(double frequency, int rate, int count, double amplitude = 0.5)
    {
        std::vector<float> v(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            v[static_cast<std::size_t>(i)] =
                static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * frequency * i / rate));
        return v;
    }

    fs::path dir_;
};

TEST_F(AudioSourcesTest, Reads48kHzSixteenBitSamplesAsTheyAre)
{
    std::vector<short> frames;
    for (int i = -300; i < 300; ++i)
        frames.push_back(static_cast<short>(i * 100));
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path("a.wav").c_str(), SFM_WRITE, &info);
    sf_writef_short(f, frames.data(), static_cast<sf_count_t>(frames.size()));
    sf_close(f);
    AudioFileReader reader(path("a.wav"));
    const auto samples = reader.readAll();
    ASSERT_TRUE(reader.ok()) << reader.error();
    ASSERT_EQ(samples.size(), frames.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], (static_cast<int>(i) - 300) * 100);
}

TEST_F(AudioSourcesTest, TakesTheFirstChannelAndReadsFloatAtTheSameScale)
{
    std::vector<float> frames;
    for (int i = 0; i < 1000; ++i) {
        frames.push_back(0.5f);
        frames.push_back(-0.25f);
    }
    AudioFileReader reader(write("s.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, frames));
    const auto samples = reader.readAll();
    ASSERT_EQ(samples.size(), 1000u);
    EXPECT_EQ(samples[0], 16384);
    EXPECT_EQ(samples[999], 16384);
}

TEST_F(AudioSourcesTest, AFloatFileHoldingNanOrInfinityReadsAsSilenceOrFullScale)
{
    const std::vector<float> frames{0.25f, std::nanf(""), 1e9f, -INFINITY};
    AudioFileReader reader(write("n.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1, frames));
    EXPECT_EQ(reader.readAll(), (std::vector<std::int16_t>{8192, 0, 32767, -32768}));
}

TEST_F(AudioSourcesTest, ConvertsOtherRatesTo48kHz)
{
    // One second of 1000 Hz at 8 kHz: 48000 samples, 1000 cycles.
    AudioFileReader reader(write("r.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 1, tone(1000, 8000, 8000)));
    const auto samples = reader.readAll();
    ASSERT_TRUE(reader.ok()) << reader.error();
    EXPECT_NEAR(static_cast<double>(samples.size()), 48000, 16);
    int rising = 0;
    for (std::size_t i = 1000; i + 1 < samples.size() - 1000; ++i)
        rising += samples[i] < 0 && samples[i + 1] >= 0;
    EXPECT_NEAR(rising, 1000 * (samples.size() - 2001) / 48000.0, 2);
    const auto peak = *std::max_element(samples.begin() + 1000, samples.end() - 1000);
    EXPECT_NEAR(peak, 16384, 400);
}

TEST_F(AudioSourcesTest, AFlacStreamWithoutItsLengthReadsWhole)
{
    // An encoder writing to a pipe cannot go back to fill in the total sample count
    // (the low 36 bits of bytes 18..25), so it leaves 0 for "unknown".
    std::string flac =
        readBytes(write("whole.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 9000)));
    ASSERT_EQ(flac.substr(0, 4), "fLaC");
    flac[21] = static_cast<char>(flac[21] & 0xF0);
    for (std::size_t i = 22; i < 26; ++i)
        flac[i] = 0;
    AudioFileReader reader(writeBytes("stream.flac", flac));
    const auto samples = reader.readAll();
    EXPECT_TRUE(reader.ok()) << reader.error();
    EXPECT_EQ(samples.size(), 9000u);
}

TEST_F(AudioSourcesTest, AWavStreamWithoutItsLengthReadsWhole)
{
    // A writer to a pipe cannot go back to fill in the RIFF and data sizes: it leaves 0
    // or 0xFFFFFFFF there. The float file has more chunks before its data.
    std::vector<float> stereo;
    for (const float v : tone(440, 48000, 3000)) {
        stereo.push_back(v);
        stereo.push_back(-v);
    }
    for (const std::string& original :
         {write("s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 9000)),
          write("float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, stereo)}) {
        const std::string wav = readBytes(original);
        const std::size_t data = wav.find("data");
        ASSERT_NE(data, std::string::npos);
        const auto expected = AudioFileReader(original).readAll();
        ASSERT_FALSE(expected.empty());
        for (const char fill : {'\0', '\xFF'}) {
            std::string stream = wav;
            for (const std::size_t at : {std::size_t{4}, data + 4})
                stream.replace(at, 4, 4, fill);
            AudioFileReader reader(writeBytes("stream.wav", stream));
            EXPECT_EQ(reader.readAll(), expected) << original << " " << int(fill);
            EXPECT_TRUE(reader.ok()) << reader.error();
        }
    }
}

TEST_F(AudioSourcesTest, BadFilesGiveAClearMessage)
{
    const auto errorOf = [](const std::string& p) { return AudioFileReader(p).error(); };
    EXPECT_NE(errorOf(path("missing.wav")).find("no such file"), std::string::npos);
    EXPECT_NE(errorOf(writeBytes("empty.wav", "")).find("empty"), std::string::npos);
    EXPECT_NE(errorOf(writeBytes("text.wav", std::string(400, 'x'))).find("not a readable audio file"),
              std::string::npos);
    EXPECT_NE(errorOf(dir_.string()).find("directory"), std::string::npos);

    const std::string wav =
        readBytes(write("whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 48000)));
    EXPECT_NE(errorOf(writeBytes("cut.wav", wav.substr(0, wav.size() / 2))).find("truncated"), std::string::npos);
    EXPECT_NE(errorOf(writeBytes("header.wav", wav.substr(0, 44))).find("no audio"), std::string::npos);

    const std::string flac =
        readBytes(write("whole.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 96000)));
    AudioFileReader cutFlac(writeBytes("cut.flac", flac.substr(0, flac.size() / 2)));
    cutFlac.readAll();
    EXPECT_NE(cutFlac.error().find("truncated"), std::string::npos);

    // A sample rate the converter cannot reach.
    std::string slow = wav.substr(0, 1000);
    const std::uint32_t rate = 100;
    slow.replace(24, 4, reinterpret_cast<const char*>(&rate), 4);
    EXPECT_NE(errorOf(writeBytes("slow.wav", slow)).find("unsupported sample rate"), std::string::npos);
}

// Randomly damaged files must end in audio or in a message, never in a crash (the
// sanitizers watch every read).
TEST_F(AudioSourcesTest, SurvivesRandomlyCorruptedFiles)
{
    const std::vector<std::string> originals{
        readBytes(write("o.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(700, 48000, 4000))),
        readBytes(write("o.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 2, tone(700, 22050, 4000))),
        readBytes(write("o.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100, 1, tone(700, 44100, 3000)))};
    std::mt19937 random(20240607);
    int failures = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = originals[static_cast<std::size_t>(round) % originals.size()];
        switch (random() % 3) {
        case 0:
            bytes.resize(random() % bytes.size());
            break;
        case 1:
            for (int k = 0; k < 1 + static_cast<int>(random() % 8); ++k)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            break;
        default:
            for (int k = 0; k < 4; ++k)
                bytes[random() % std::min<std::size_t>(bytes.size(), 64)] = static_cast<char>(random());
            break;
        }
        std::string name = "f";
        name += std::to_string(round);
        FileAudioSource source(writeBytes(name, bytes));
        if (source.open(50)) {
            AudioBlock block{};
            for (int slot = 0; source.slotDone(slot % 50); ++slot) {
                source.read(slot % 50, block);
                source.requeue(slot % 50);
            }
        }
        failures += !source.error().empty();
    }
    EXPECT_GT(failures, 0);
}

TEST(RawAudioSource, ReadsLittleEndianSamplesFromAPipe)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const unsigned char bytes[] = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0x7F};  // 1, -1, -32768, half a sample
    std::thread writer([&] {
        EXPECT_EQ(::write(fds[1], bytes, sizeof bytes), static_cast<ssize_t>(sizeof bytes));
        ::close(fds[1]);
    });
    RawAudioSource source(fds[0]);
    ASSERT_TRUE(source.open(2));
    ASSERT_TRUE(source.slotDone(0));
    AudioBlock block{};
    source.read(0, block);
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[1], -1);
    EXPECT_EQ(block[2], -32768);
    EXPECT_EQ(block[3], 0);
    EXPECT_FALSE(source.slotDone(1));
    EXPECT_NE(source.error().find("middle of a sample"), std::string::npos);
}

}  // namespace
}  // namespace miv::test
