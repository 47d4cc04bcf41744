#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <numbers>
#include <random>
#include <tuple>

#include "platform/TestDirectory.h"
#include "platform/audio/AudioFileReader.h"
#include "platform/audio/FileAudioSource.h"
#include "platform/audio/FileSinks.h"

namespace miv::test {
namespace {

AudioBlock ramp(int start)
{
    AudioBlock block;
    for (int i = 0; i < kBlockSamples; ++i)
        block[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(start + i * 7 - 10000);
    return block;
}

std::vector<float> tone(double frequency, int rate, int count)
{
    std::vector<float> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[static_cast<std::size_t>(i)] =
            static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * frequency * i / rate));
    return v;
}

class AudioFilesTest : public testing::Test {
protected:
    // Interleaved float frames in the given format.
    std::string write(const std::string& name, int format, int rate, int channels, const std::vector<float>& frames)
    {
        SF_INFO info{0, rate, channels, format, 0, 0};
        SNDFILE* file = sf_open((dir_ / name).c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
        sf_close(file);
        return dir_ / name;
    }
    std::string writeBytes(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }

    TestDirectory dir_;
};

// The command line's tests write and read WAV, FLAC and raw streams end to end; here
// what they do not reach.
TEST_F(AudioFilesTest, ASoundFileTakesOneTransmissionAndRawInputMayEndInHalfASample)
{
    std::string error;
    auto sink = SoundFileSink::create(dir_ / "out.wav", error);
    ASSERT_TRUE(sink && sink->open(10)) << error;
    EXPECT_TRUE(sink->slotDone(3));
    const AudioBlock written = ramp(0);
    sink->queue(0, written);
    sink->close();
    EXPECT_FALSE(sink->failed() || sink->open(10));
    EXPECT_EQ(AudioFileReader(dir_ / "out.wav").readAll(), std::vector<std::int16_t>(written.begin(), written.end()));

    // Little-endian 1, -1 and half a sample.
    std::FILE* stream = std::tmpfile();
    std::fwrite("\x01\x00\xFF\xFF\x7F", 1, 5, stream);
    std::rewind(stream);
    RawAudioSource source(::fileno(stream));
    ASSERT_TRUE(source.open(2));
    ASSERT_TRUE(source.slotDone(0));
    AudioBlock block{};
    source.read(0, block);
    EXPECT_EQ(std::vector<std::int16_t>(block.begin(), block.begin() + 3), (std::vector<std::int16_t>{1, -1, 0}));
    EXPECT_FALSE(source.slotDone(1));
    EXPECT_NE(source.error().find("middle of a sample"), std::string::npos);
    std::fclose(stream);
}

TEST_F(AudioFilesTest, AWavThatWouldPassItsSizeLimitIsWrittenAsRf64AndReadWhole)
{
    // The 4 GiB limit lowered to a few blocks; and Wave64 by its extension.
    std::vector<std::int16_t> written;
    for (const auto& [name, threshold, kind] :
         {std::tuple{"small.wav", 1000000, "RIFF"}, {"big.wav", 2000, "RF64"}, {"big.w64", 2000, "riff"}}) {
        SCOPED_TRACE(name);
        std::string error;
        auto sink = SoundFileSink::create(dir_ / name, error, threshold);
        ASSERT_TRUE(sink) << error;
        written.clear();
        for (int n = 0; n < 4; ++n) {
            const AudioBlock block = ramp(n * 100);
            sink->queue(0, block);
            written.insert(written.end(), block.begin(), block.end());
        }
        sink->close();
        ASSERT_FALSE(sink->failed()) << sink->error();
        EXPECT_EQ(readFile(dir_ / name).substr(0, 4), kind);
        AudioFileReader reader(dir_ / name);
        EXPECT_EQ(reader.readAll(), written);
        EXPECT_TRUE(reader.ok()) << reader.error();
    }
}

TEST_F(AudioFilesTest, OtherFormatsAndRatesAreReadAt48kHzOnTheSixteenBitScale)
{
    // The first channel of a float file; NaN has no sample value, infinity clips.
    const std::vector<float> stereo{0.5f, -0.25f, std::nanf(""), 0.0f, 1e9f, 0.0f, -INFINITY, 0.0f};
    AudioFileReader floats(write("f.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, stereo));
    EXPECT_EQ(floats.readAll(), (std::vector<std::int16_t>{16384, 0, 32767, -32768}));

    // One second of 1000 Hz at 8 kHz: 48000 samples, 1000 cycles, the same amplitude.
    AudioFileReader reader(write("r.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 1, tone(1000, 8000, 8000)));
    const auto samples = reader.readAll();
    ASSERT_TRUE(reader.ok()) << reader.error();
    EXPECT_NEAR(static_cast<double>(samples.size()), 48000, 16);
    int rising = 0;
    for (std::size_t i = 1000; i + 1 < samples.size() - 1000; ++i)
        rising += samples[i] < 0 && samples[i + 1] >= 0;
    EXPECT_NEAR(rising, 1000 * (samples.size() - 2001) / 48000.0, 2);
    EXPECT_NEAR(*std::max_element(samples.begin() + 1000, samples.end() - 1000), 16384, 400);
}

TEST_F(AudioFilesTest, AStreamWrittenWithoutItsLengthReadsWhole)
{
    // A FLAC encoder writing to a pipe leaves 0, "unknown", for the total sample count
    // (the low 36 bits of bytes 18..25).
    std::string flac =
        readFile(write("whole.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 9000)));
    ASSERT_EQ(flac.substr(0, 4), "fLaC");
    flac[21] = static_cast<char>(flac[21] & 0xF0);
    flac.replace(22, 4, 4, '\0');
    AudioFileReader stream(writeBytes("stream.flac", flac));
    EXPECT_EQ(stream.readAll().size(), 9000u);
    EXPECT_TRUE(stream.ok()) << stream.error();

    // A WAV writer leaves 0 or 0xFFFFFFFF for the RIFF and data sizes. The float file
    // has more chunks before its data.
    std::vector<float> stereo;
    for (const float v : tone(440, 48000, 3000))
        stereo.insert(stereo.end(), {v, -v});
    for (const std::string& original :
         {write("s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 9000)),
          write("float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, stereo)}) {
        const std::string wav = readFile(original);
        const std::size_t data = wav.find("data");
        ASSERT_NE(data, std::string::npos);
        const auto expected = AudioFileReader(original).readAll();
        ASSERT_FALSE(expected.empty());
        for (const char fill : {'\0', '\xFF'}) {
            std::string unsized = wav;
            for (const std::size_t at : {std::size_t{4}, data + 4})
                unsized.replace(at, 4, 4, fill);
            AudioFileReader reader(writeBytes("stream.wav", unsized));
            EXPECT_EQ(reader.readAll(), expected) << original << " " << int(fill);
            EXPECT_TRUE(reader.ok()) << reader.error();
        }
    }
}

TEST_F(AudioFilesTest, BadFilesGiveAClearMessage)
{
    const std::string wav =
        readFile(write("whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 48000)));
    const std::string flac =
        readFile(write("whole.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, tone(440, 48000, 96000)));
    // A sample rate the converter cannot reach.
    std::string slow = wav.substr(0, 1000);
    const std::uint32_t rate = 100;
    slow.replace(24, 4, reinterpret_cast<const char*>(&rate), 4);
    for (const auto& [file, message] : std::vector<std::pair<std::string, std::string>>{
             {dir_ / "missing.wav", "no such file"},
             {writeBytes("empty.wav", ""), "empty"},
             {writeBytes("text.wav", std::string(400, 'x')), "not a readable audio file"},
             {dir_.path().string(), "directory"},
             {writeBytes("cut.wav", wav.substr(0, wav.size() / 2)), "truncated"},
             {writeBytes("header.wav", wav.substr(0, 44)), "no audio"},
             {writeBytes("cut.flac", flac.substr(0, flac.size() / 2)), "truncated"},  // found while reading
             {writeBytes("slow.wav", slow), "unsupported sample rate"}}) {
        AudioFileReader reader(file);
        reader.readAll();
        EXPECT_NE(reader.error().find(message), std::string::npos) << file << ": " << reader.error();
    }
    std::string error;
    EXPECT_FALSE(SoundFileSink::create("/nonexistent-dir/out.wav", error) || error.empty());
}

// Randomly damaged files must end in audio or in a message, never in a crash (the
// sanitizers watch every read).
TEST_F(AudioFilesTest, SurvivesRandomlyCorruptedFiles)
{
    const std::vector<std::string> originals{
        readFile(write("o.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, tone(700, 48000, 4000))),
        readFile(write("o.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 2, tone(700, 22050, 4000))),
        readFile(write("o.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100, 1, tone(700, 44100, 3000)))};
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
        default:  // the headers
            for (int k = 0; k < 4; ++k)
                bytes[random() % std::min<std::size_t>(bytes.size(), 64)] = static_cast<char>(random());
            break;
        }
        FileAudioSource source(writeBytes(std::to_string(round).insert(0, 1, 'f'), bytes));
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

// A full disk, played by a file-size limit in a child process of its own: exits 0 when
// the sink took blocks until a write failed and then stopped marking slots done.
[[noreturn]] void fillUpTheDisk(const std::string& path)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    auto sink = SoundFileSink::create(path, error);
    bool tookBlocks = sink && sink->open(10);
    for (int n = 0; n < 100 && tookBlocks && !sink->failed(); ++n) {
        tookBlocks = sink->slotDone(0);
        sink->queue(0, ramp(n));
    }
    std::exit(tookBlocks && sink->failed() && !sink->slotDone(0) ? 0 : 1);
}

TEST_F(AudioFilesTest, ASinkTakesNoMoreBlocksOnceAWriteFailed)
{
    EXPECT_EXIT(fillUpTheDisk(dir_ / "full.wav"), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace miv::test
