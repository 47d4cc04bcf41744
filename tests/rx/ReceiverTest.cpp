// The receiver whole. Its reference: transmissions made by a program that shares no
// code with this one (tests/vectors), so a table wrong in both our halves shows here.

#include "rx/Receiver.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "channel/ChannelSimulator.h"
#include "platform/audio/BlockAudioSource.h"
#include "rx/RxTestSupport.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

struct VectorCase {
    std::string name;
    StepSettings settings;
};

void PrintTo(const VectorCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string caseName(const testing::TestParamInfo<VectorCase>& param)
{
    const StepSettings& s = param.param.settings;
    std::string name = param.param.name + (s.autoBaud ? "_auto" : "_fixed") + (s.afcWide ? "_wide" : "_narrow");
    std::erase(name, '-');
    return name + "_" + std::to_string(param.index);
}

std::string tracedText(const std::string& name)
{
    return nlohmann::json::parse(readTextFile(vectorPath(name + ".trace.json")))["text"].get<std::string>();
}

class CleanVector : public testing::TestWithParam<VectorCase> {};

// Both decoders read each vector to its traced text without a symbol wrong, on its
// nominal frequency.
TEST_P(CleanVector, DecodesToTheTracedTextWithEverySymbolRight)
{
    const VectorCase& c = GetParam();
    for (const Decoder decoder : {Decoder::Standard, Decoder::Deep}) {
        SCOPED_TRACE(decoder == Decoder::Deep ? "deep" : "standard");
        StepSettings settings = c.settings;
        settings.decoder = decoder;
        const Decoded rx = decodeFile(vectorPath(c.name + ".flac"), settings);
        ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
        EXPECT_EQ(rx.window, "\r\nRX: <12:00 UTC> <0.0 Hz.> " + tracedText(c.name) + " <STOP>");
        EXPECT_EQ(rx.reports[0].receivedText, tracedText(c.name));
        EXPECT_NEAR(rx.reports[0].frequencyShift, 0, decoder == Decoder::Deep ? 0.25 : 0.05);
        EXPECT_EQ(std::tuple(rx.reports[0].frameScore, rx.reports[0].finalScore, rx.reports[0].viterbiErrors),
                  std::tuple(20, 16, 0));
    }
}

// Switches: bandwidth 2250, EME, 16 baud, Auto, AFC wide. Every receive step that can
// hear each vector: the fixed rate, and Auto with the symbol-rate switch showing the
// other rate (the lock switches it).
INSTANTIATE_TEST_SUITE_P(
    Vectors, CleanVector,
    testing::Values(VectorCase{"hf2250-16", {1, 0, 1, 0, 1}}, VectorCase{"hf2250-16", {1, 0, 0, 1, 1}},
                    VectorCase{"hf500-16", {0, 0, 1, 0, 0}}, VectorCase{"hf500-16", {0, 0, 0, 1, 1}},
                    VectorCase{"hf2250-1", {1, 0, 0, 0, 0}}, VectorCase{"hf2250-1", {1, 0, 1, 1, 1}},
                    VectorCase{"hf500-1", {0, 0, 0, 0, 1}}, VectorCase{"hf500-1", {0, 0, 1, 1, 0}},
                    VectorCase{"eme", {1, 1, 1, 0, 1}}, VectorCase{"eme", {0, 1, 0, 1, 0}}),
    caseName);

class NoisyVector : public testing::TestWithParam<VectorCase> {};

TEST_P(NoisyVector, ReproducesTheExpectedWindowTextExactly)
{
    const VectorCase& c = GetParam();
    std::string window = decodeFile(vectorPath(c.name + ".noisy.flac"), c.settings).window;
    for (std::size_t at = 0; (at = window.find("\r\n", at)) != std::string::npos;)
        window.erase(at, 1);  // LF line ends, as in the expected file, which also ends in one
    EXPECT_EQ(window + "\n", readTextFile(vectorPath(c.name + ".noisy.expected.txt")));
}

// Where the standard path loses characters of a noisy vector, the deep one copies it whole.
TEST_P(NoisyVector, TheDeepPathCopiesTheTracedText)
{
    VectorCase c = GetParam();
    c.settings.decoder = Decoder::Deep;
    const Decoded rx = decodeFile(vectorPath(c.name + ".noisy.flac"), c.settings);
    ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
    EXPECT_EQ(rx.reports[0].receivedText, tracedText(c.name));
}

INSTANTIATE_TEST_SUITE_P(Vectors, NoisyVector,
                         testing::Values(VectorCase{"hf2250-16", {1, 0, 1, 0, 1}},
                                         VectorCase{"hf500-16", {0, 0, 1, 0, 1}}, VectorCase{"eme", {1, 1, 1, 1, 1}}),
                         caseName);

struct Messages : ReceiverObserver {
    std::vector<ReceivedMessage> ended;
    void messageEnded(const ReceivedMessage& m) override { ended.push_back(m); }
};

// A receiver over audio in memory, ticked by hand.
struct Station {
    explicit Station(std::vector<std::int16_t> samples) : source(std::move(samples)) {}

    void start()
    {
        receiver.OpenCapture();
        receiver.StartReception();
    }
    // False when no audio was left.
    bool tick()
    {
        const long long taken = source.blocksTaken();
        receiver.tick();
        return source.blocksTaken() != taken;
    }

    ModeSwitches switches;
    MemoryTextWindow window;
    FixedClock clock{{9, 5, 0}};
    RecordedMessages messages;
    MemoryAudioSource source;
    Messages observer;
    Receiver receiver{switches, window, clock, messages, source, observer};
};

std::vector<std::int16_t> withSilence(std::vector<std::int16_t> samples, int blocksBefore, int blocksAfter)
{
    samples.insert(samples.begin(), static_cast<std::size_t>(blocksBefore) * kBlockSamples, 0);
    samples.resize(samples.size() + static_cast<std::size_t>(blocksAfter) * kBlockSamples, 0);
    return samples;
}

TEST(Receiver, AChangeOfChannelOrOfTheEmeRangeRestartsTheBasebandRing)
{
    Station s(withSilence({}, 8, 0));
    s.start();
    s.tick();
    s.tick();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 1024);
    s.switches.clickChannel();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 0);
    s.tick();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 512);
    s.switches.clickAfcRange();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 0);
}

// The reply after a transmission starts where capture reopens: it decodes even though
// it runs on past the 50 blocks of the capture ring.
TEST(Receiver, AReplyAfterCaptureReopensIsReceivedWhole)
{
    const std::string text = "a reply longer than the fifty blocks of the ring, 73";
    Station s(withSilence(renderTransmission({}, text).samples, 10, 40));
    s.start();
    for (int i = 0; i < 6; ++i)
        s.tick();
    s.receiver.stopReception();  // a transmission
    s.receiver.CloseCapture();
    EXPECT_FALSE(s.tick());
    s.start();
    while (s.tick()) {
    }
    ASSERT_EQ(s.observer.ended.size(), 1u);
    EXPECT_EQ(s.window.text(), "\r\nRX: <09:05 UTC> <0.0 Hz.> " + text + " <STOP>");
}

// After a lock far off centre in EME, an HF mode must not read past its spectrum.
TEST(Receiver, TheStartBinStaysInsideTheRangeOfANewMode)
{
    ChannelSettings channel;
    channel.snrDb = 10;
    channel.frequencyOffsetHz = 1290;
    std::vector<std::int16_t> start = renderTransmission({true, true}, "e").samples;
    start.resize(30 * 48000);  // the preamble is enough to lock
    Station s(simulateChannel(start, channel).samples);
    s.switches.clickChannel();
    s.start();
    while (!s.receiver.lockFlag())
        ASSERT_TRUE(s.tick());
    EXPECT_GT(s.receiver.startBin(), 5600);
    s.receiver.CancelMessage();
    s.switches.clickChannel();  // HF 2250 Hz at 16 baud: start bins 26..78
    EXPECT_EQ(s.receiver.startBin(), 78);
    s.switches.clickSymbolRate();
    s.switches.setAutoBaud(false);  // at 1 baud: 416..1248
    EXPECT_EQ(s.receiver.startBin(), 416);
}

TEST(Receiver, TwoReceiversRunSideBySideSharingNothing)
{
    Station one(withSilence(renderTransmission({}, "first").samples, 0, 30));
    Station two(withSilence(renderTransmission({false}, "second").samples, 0, 30));
    two.switches.clickBandwidth();
    one.start();
    two.start();
    for (bool more = true; more;) {
        const bool first = one.tick();
        more = two.tick() || first;
    }
    ASSERT_EQ(one.observer.ended.size(), 1u);
    ASSERT_EQ(two.observer.ended.size(), 1u);
    EXPECT_EQ(one.observer.ended[0].receivedText, "first");
    EXPECT_EQ(two.observer.ended[0].receivedText, "second");
}

}  // namespace
}  // namespace miv::test
