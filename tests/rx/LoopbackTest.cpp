// Text -> transmitter -> channel -> receiver -> the same text, in every effective mode,
// through every receive step and both decoders.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "channel/ChannelSimulator.h"
#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "modem/Varicode.h"
#include "rx/RxTestSupport.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

struct LoopCase {
    std::string name;
    StepSettings receiver;
    ModemMode transmitter;  // bandwidth, channel, rate
    double offsetHz;
    double snrDb;  // in 2500 Hz
    std::string text;
    std::string expected;  // the 6-bit alphabet has capitals only; \b removes a character
};

void PrintTo(const LoopCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<std::int16_t> overTheAir(const std::vector<std::int16_t>& samples, double offset, double snr,
                                     std::uint64_t seed)
{
    ChannelSettings settings;
    settings.snrDb = snr;
    settings.frequencyOffsetHz = offset;
    settings.delaySeconds = static_cast<double>(std::mt19937_64(seed)() % 2000) / 1000;  // up to 2 s
    settings.seed = seed;
    return simulateChannel(samples, settings).samples;
}

class Loopback : public testing::TestWithParam<LoopCase> {};

TEST_P(Loopback, TheTextComesBackAndEndsWithStopThroughBothDecoders)
{
    const LoopCase& c = GetParam();
    const RenderedTransmission tx = renderTransmission(c.transmitter, c.text);
    const std::vector<std::int16_t> air = overTheAir(tx.samples, c.offsetHz, c.snrDb, std::hash<std::string>{}(c.name));
    for (const Decoder decoder : {Decoder::Standard, Decoder::Deep}) {
        SCOPED_TRACE(decoder == Decoder::Deep ? "deep" : "standard");
        StepSettings settings = c.receiver;
        settings.decoder = decoder;
        const Decoded rx = decodeSamples(air, settings);
        ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
        EXPECT_FALSE(rx.reports[0].cancelled);
        EXPECT_EQ(rx.reports[0].receivedText, c.expected);
        // Within a start bin of the offset: 7.8125 Hz at 16 baud, 0.488 Hz otherwise.
        const bool fast = !c.transmitter.eme && c.transmitter.baud16;
        EXPECT_NEAR(rx.reports[0].frequencyShift, c.offsetHz, fast ? 7.8125 : 0.48828125);
        EXPECT_TRUE(rx.window.starts_with("\r\nRX: <12:00 UTC> <")) << rx.window;
        EXPECT_EQ(rx.window.substr(rx.window.find("Hz.> ") + 5), c.expected + " <STOP>");
        EXPECT_EQ(rx.reports[0].snrDb.has_value(), decoder == Decoder::Deep);
    }
}

// Switches: bandwidth 2250, EME, 16 baud, Auto, AFC wide.
// Offsets spread over each search range (HF ±203 Hz wide, ±62 Hz narrow; EME ±1304 Hz
// wide, ±601 Hz narrow). SNRs sit 8 to 14 dB above where each mode starts to fail:
// measured with three seeds, short messages decode down to -14 dB at 16 baud and -26 dB
// at 1 baud and in EME, and fail at -16, -28 and -28 dB.
INSTANTIATE_TEST_SUITE_P(
    EveryStep, Loopback,
    testing::Values(
        LoopCase{"hf2250x16_wide",
                 {1, 0, 1, 0, 1},
                 {1, 0, 1},
                 187.5,
                 -2,
                 "Hello Marta, 73 de ON4ZZ",
                 "Hello Marta, 73 de ON4ZZ"},
        LoopCase{"hf2250x16_narrow", {1, 0, 1, 0, 0}, {1, 0, 1}, -55.3, -2, "cq dx de G4ABC\bD k", "cq dx de G4ABD k"},
        LoopCase{"hf500x16_wide", {0, 0, 1, 0, 1}, {0, 0, 1}, -196, -2, "RST 599 tnx", "RST 599 tnx"},
        LoopCase{"hf500x16_narrow", {0, 0, 1, 0, 0}, {0, 0, 1}, 41, -2, "qrz? <a@b.es>", "qrz? <a@b.es>"},
        LoopCase{"hf2250auto_fast", {1, 0, 0, 1, 1}, {1, 0, 1}, -120.2, -2, "73 es gl", "73 es gl"},
        LoopCase{"hf2250auto_slow", {1, 0, 1, 1, 0}, {1, 0, 0}, 58.7, -12, "vk3\bx", "VKX"},
        LoopCase{"hf500auto_fast", {0, 0, 0, 1, 0}, {0, 0, 1}, 12, -2, "ok ok", "ok ok"},
        LoopCase{"hf500auto_slow", {0, 0, 1, 1, 1}, {0, 0, 0}, -171.4, -12, "rO 7", "RO 7"},
        LoopCase{"hf2250x1_wide", {1, 0, 0, 0, 1}, {1, 0, 0}, 199.1, -12, "qf22", "QF22"},
        LoopCase{"hf500x1_narrow", {0, 0, 0, 0, 0}, {0, 0, 0}, -47.9, -12, "73;", "73"},
        // The transmitter's symbol-rate switch is hidden in EME.
        LoopCase{"eme_narrow", {1, 1, 1, 0, 0}, {1, 1, 1}, -563.2, -18, "o@o", "O@O"},
        LoopCase{"eme_wide", {1, 1, 0, 1, 1}, {0, 1, 0}, 1234.5, -18, "rr", "RR"}),
    [](const auto& param) { return param.param.name; });

// The deep path follows timing and frequency through a message: a receiving sound card
// whose clock is 1000 ppm fast (a 16-baud symbol is then 3 samples short by the end of
// this message) and a moonbounce path whose Doppler shift drifts by 6 Hz a minute.
TEST(LoopbackDrift, TheDeepPathFollowsAClockErrorAndADopplerDrift)
{
    const std::string text = "a long message from a station whose clock is not the one of its receiver";
    ChannelSettings clock;
    clock.snrDb = -8;
    clock.frequencyOffsetHz = 37;
    clock.clockPpm = 1000;
    const Decoded fast =
        decodeSamples(simulateChannel(renderTransmission({}, text).samples, clock).samples, {.decoder = Decoder::Deep});
    ASSERT_EQ(fast.reports.size(), 1u) << fast.window;
    EXPECT_EQ(fast.reports[0].receivedText, text);

    // Weak enough that only a search over drift finds the preamble. The report gives the
    // shift where the preamble ends, 15 s in (1.5 Hz of drift), not where the text ends.
    ModemMode eme;
    eme.eme = true;
    ChannelSettings moon;
    moon.snrDb = -24;
    moon.frequencyOffsetHz = -250;
    moon.driftHzPerMinute = 6;
    const Decoded slow = decodeSamples(simulateChannel(renderTransmission(eme, "RRR TNX 73 GL").samples, moon).samples,
                                       {.eme = true, .decoder = Decoder::Deep});
    ASSERT_EQ(slow.reports.size(), 1u) << slow.window;
    EXPECT_EQ(slow.reports[0].receivedText, "RRR TNX 73 GL");
    EXPECT_NEAR(slow.reports[0].frequencyShift, -248.5, 0.5);
}

// On a disturbed HF channel (1 Hz Doppler spread) the carrier's readings wander from
// symbol to symbol; a slope learnt from them must not steer the rest of the message.
// These fades once turned the text into garbage halfway through.
TEST(LoopbackFading, TheDeepPathKeepsTrackThroughDisturbedFadingAtOneBaud)
{
    ModemMode slow;
    slow.baud16 = false;
    const std::string text = "wx here sunny and warm, 24 C";
    const std::vector<std::int16_t> sent = renderTransmission(slow, text).samples;
    for (const std::uint64_t seed : {1, 5}) {
        const ChannelSettings disturbed{.snrDb = -17,
                                        .frequencyOffsetHz = 98,
                                        .delaySeconds = 1.9,
                                        .seed = seed,
                                        .driftHzPerMinute = 0,
                                        .clockPpm = 0,
                                        .fading = Fading::disturbed()};
        const Decoded rx =
            decodeSamples(simulateChannel(sent, disturbed).samples, {.baud16 = false, .decoder = Decoder::Deep});
        ASSERT_EQ(rx.reports.size(), 1u) << "seed " << seed << ": " << rx.window;
        EXPECT_EQ(rx.reports[0].receivedText, "WX HERE SUNNY AND WARM, 24 C") << "seed " << seed;
        EXPECT_FALSE(rx.reports[0].cancelled) << "seed " << seed;
    }
}

// A transmission whose end marker never arrives is never shown as ended: the receiver
// gives it up with " <CANCEL>" when the recording has run out.
TEST(LoopbackEnd, AMessageCutOffBeforeItsEndMarkerNeverShowsStop)
{
    RenderedTransmission tx = renderTransmission({}, "the end marker of this one is lost");
    tx.samples.resize(tx.samples.size() - 40 * kBlockSamples);  // the marker is in the last 26 symbols
    const std::vector<std::int16_t> air = overTheAir(tx.samples, 20, 0, 11);
    for (const Decoder decoder : {Decoder::Standard, Decoder::Deep}) {
        StepSettings settings;
        settings.decoder = decoder;
        const Decoded rx = decodeSamples(air, settings);
        EXPECT_EQ(rx.window.find("<STOP>"), std::string::npos) << rx.window;
        ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
        EXPECT_TRUE(rx.reports[0].cancelled);
        EXPECT_EQ(rx.reports[0].finalScore, 9);
    }
}

// Part of a symbol lost in the middle of a message moves the symbol timing by three
// rows: the timing recovery treats that as loss of the signal.
TEST(LoopbackEnd, LossOfTimingCancelsTheMessage)
{
    RenderedTransmission tx =
        renderTransmission({}, "a long message to give the timing recovery time to notice the jump in it");
    // 60 symbols after the lead-in (11 blocks) and the initial tone (8 blocks).
    const auto cut = tx.samples.begin() + (11 + 8 + 60) * kBlockSamples;
    tx.samples.erase(cut, cut + 3 * kBlockSamples / 8);
    const Decoded rx = decodeSamples(overTheAir(tx.samples, -20, 3, 12), {});
    EXPECT_NE(rx.window.find(" <CANCEL>"), std::string::npos) << rx.window;
    EXPECT_EQ(rx.window.find("<STOP>"), std::string::npos) << rx.window;
    ASSERT_FALSE(rx.reports.empty());
    EXPECT_TRUE(rx.reports[0].cancelled);
}

// An EME transmission from a station whose hidden symbol-rate switch says 16 baud, as
// others send it: its end marker opens with a rate bit of 1.
std::vector<std::int16_t> emeWithRateBitOne(const std::string& text)
{
    std::vector<int> bits;
    for (char c : text)
        for (char b : sixBitField(MapCharacter(c, true)))
            bits.push_back(b - '0');
    bits.push_back(1);
    // Zeros up to where the marker's first bit is the second of a symbol whose
    // interleaver index (21 for the first data symbol) is one more than a multiple of 4.
    const std::size_t zerosEnd = (bits.size() + 9 + 6) / 8 * 8 + 1;
    bits.resize(zerosEnd, 0);
    bits.insert(bits.end(), EndMarkerA.begin(), EndMarkerA.end());
    bits.insert(bits.end(), EndMarkerB.begin(), EndMarkerB.end());

    ConvolutionalEncoder encoder;
    std::vector<std::uint8_t> x(PreambleSymbols.begin(), PreambleSymbols.end());
    for (std::size_t i = 0; i + 1 < bits.size(); i += 2) {
        const auto a = encoder.encode(bits[i]);
        const auto b = encoder.encode(bits[i + 1]);
        x.push_back(GrayTone[symbolValue(a.first, a.second, b.first, b.second)]);
    }
    SymbolInterleaver interleaver;
    std::vector<std::int16_t> samples(10 * kBlockSamples, 0);
    long t = 0;
    for (std::size_t n = 1; n <= x.size(); ++n) {
        const std::uint8_t tone = interleaver.push(x[n - 1]);
        for (int i = 0; n >= 4 && i < 49152; ++i, ++t)
            samples.push_back(static_cast<std::int16_t>(
                std::lround(16000 * std::sin(2 * std::numbers::pi * (1500 + tone * 3.90625) * t / 48000))));
    }
    return samples;
}

TEST(LoopbackEnd, AnEmeEndMarkerWithARateBitOfOneEndsCleanAfterAnAtSign)
{
    const std::vector<std::int16_t> air = overTheAir(emeWithRateBitOne("73@"), 100, -10, 13);
    for (const Decoder decoder : {Decoder::Standard, Decoder::Deep}) {
        const Decoded rx = decodeSamples(air, {true, true, true, false, true, decoder});
        ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
        EXPECT_EQ(rx.reports[0].finalScore, 16);
        EXPECT_EQ(rx.reports[0].receivedText, "73@");
        EXPECT_EQ(rx.window.substr(rx.window.find("Hz.> ") + 5), "73@ <STOP>");
    }
}

}  // namespace
}  // namespace miv::test
