// Text -> transmitter -> channel -> receiver -> the same text, in every effective mode
// and through every receive step.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "channel/ChannelSimulator.h"
#include "rx/RxTestSupport.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

struct LoopCase {
    std::string name;
    StepSettings receiver;
    ModemMode transmitter;
    double offsetHz;
    double snrDb;  // in 2500 Hz
    std::string text;
    std::string expected;  // the 6-bit alphabet has capitals only; \b removes a character
};

void PrintTo(const LoopCase& c, std::ostream* os)
{
    *os << c.name;
}

ModemMode txMode(bool bw2250, bool eme, bool baud16)
{
    ModemMode m;
    m.bw2250 = bw2250;
    m.eme = eme;
    m.baud16 = baud16;
    return m;
}

std::vector<std::int16_t> overTheAir(const std::vector<std::int16_t>& samples, double offset, double snr,
                                     std::uint64_t seed)
{
    // A random start delay of up to two seconds, from the same seed.
    std::mt19937_64 random(seed);
    ChannelSettings settings;
    settings.snrDb = snr;
    settings.frequencyOffsetHz = offset;
    settings.delaySeconds = static_cast<double>(random() % 2000) / 1000;
    settings.seed = seed;
    return simulateChannel(samples, settings).samples;
}

// Hz per start bin of the spectrum the mode locks in.
double binWidth(const ModemMode& m)
{
    return m.eme || !m.baud16 ? 0.48828125 : 7.8125;
}

class Loopback : public testing::TestWithParam<LoopCase> {};

TEST_P(Loopback, TheTextComesBackAndEndsWithStop)
{
    const LoopCase& c = GetParam();
    const RenderedTransmission tx = renderTransmission(c.transmitter, c.text);
    const Decoded rx =
        decodeSamples(overTheAir(tx.samples, c.offsetHz, c.snrDb, std::hash<std::string>{}(c.name)), c.receiver);

    ASSERT_EQ(rx.reports.size(), 1u) << rx.window;
    const ReceptionReport& report = rx.reports[0];
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.receivedText, c.expected);
    EXPECT_NEAR(report.frequencyShift, c.offsetHz, binWidth(c.transmitter));
    const std::string header = "\r\nRX: <12:00 UTC> <";
    ASSERT_EQ(rx.window.substr(0, header.size()), header);
    EXPECT_EQ(rx.window.substr(rx.window.find("Hz.> ") + 5), c.expected + " <STOP>");
}

const bool kW = true;   // AFC wide
const bool kN = false;  // AFC narrow

// Offsets spread over each search range (HF ±203 Hz wide, ±62 Hz narrow; EME ±1304 Hz
// wide, ±601 Hz narrow). SNRs sit 8 to 14 dB above where each mode starts to fail:
// measured with three seeds, short messages decode down to -14 dB at 16 baud and -26 dB
// at 1 baud and in EME, and fail at -16, -28 and -28 dB.
INSTANTIATE_TEST_SUITE_P(
    EveryStep, Loopback,
    testing::Values(
        LoopCase{"hf2250x16_wide",
                 {true, false, true, false, kW},
                 txMode(true, false, true),
                 187.5,
                 -2,
                 "Hello Marta, 73 de ON4ZZ",
                 "Hello Marta, 73 de ON4ZZ"},
        LoopCase{"hf2250x16_narrow",
                 {true, false, true, false, kN},
                 txMode(true, false, true),
                 -55.3,
                 -2,
                 "cq dx de G4ABC\bD k",
                 "cq dx de G4ABD k"},
        LoopCase{"hf500x16_wide",
                 {false, false, true, false, kW},
                 txMode(false, false, true),
                 -196,
                 -2,
                 "RST 599 tnx",
                 "RST 599 tnx"},
        LoopCase{"hf500x16_narrow",
                 {false, false, true, false, kN},
                 txMode(false, false, true),
                 41,
                 -2,
                 "qrz? <a@b.es>",
                 "qrz? <a@b.es>"},
        LoopCase{"hf2250auto_fast",
                 {true, false, false, true, kW},
                 txMode(true, false, true),
                 -120.2,
                 -2,
                 "73 es gl",
                 "73 es gl"},
        LoopCase{
            "hf2250auto_slow", {true, false, true, true, kN}, txMode(true, false, false), 58.7, -12, "vk3\bx", "VKX"},
        LoopCase{
            "hf500auto_fast", {false, false, false, true, kN}, txMode(false, false, true), 12, -2, "ok ok", "ok ok"},
        LoopCase{
            "hf500auto_slow", {false, false, true, true, kW}, txMode(false, false, false), -171.4, -12, "rO 7", "RO 7"},
        LoopCase{
            "hf2250x1_wide", {true, false, false, false, kW}, txMode(true, false, false), 199.1, -12, "qf22", "QF22"},
        LoopCase{
            "hf500x1_narrow", {false, false, false, false, kN}, txMode(false, false, false), -47.9, -12, "73;", "73"},
        // An EME station whose hidden symbol-rate switch says 16 baud: its message ends
        // clean, with no stray character from the end marker's rate bit.
        LoopCase{"eme_narrow", {true, true, true, false, kN}, txMode(true, true, true), -563.2, -18, "ooo", "OOO"},
        LoopCase{"eme_wide", {true, true, false, true, kW}, txMode(false, true, false), 1234.5, -18, "rr", "RR"}),
    [](const auto& param) { return param.param.name; });

// A transmission whose end marker never arrives is never shown as ended: the receiver
// gives it up with " <CANCEL>" when the recording has run out.
TEST(LoopbackEnd, AMessageCutOffBeforeItsEndMarkerNeverShowsStop)
{
    RenderedTransmission tx = renderTransmission(txMode(true, false, true), "the end marker of this one is lost");
    // The end marker's tones go out in the last 26 symbols; 40 are cut.
    tx.samples.resize(tx.samples.size() - 40 * 3072);
    const Decoded rx = decodeSamples(overTheAir(tx.samples, 20, 0, 11), {true, false, true, false, kW});
    EXPECT_EQ(rx.window.find("<STOP>"), std::string::npos) << rx.window;
    ASSERT_EQ(rx.reports.size(), 1u);
    EXPECT_TRUE(rx.reports[0].cancelled);
    EXPECT_EQ(rx.reports[0].finalScore, 9);
}

// Part of a symbol lost in the middle of a message moves the symbol timing by three
// rows: the timing recovery treats that as loss of the signal.
TEST(LoopbackEnd, LossOfTimingCancelsTheMessage)
{
    RenderedTransmission tx = renderTransmission(
        txMode(true, false, true), "a long message to give the timing recovery time to notice the jump in it");
    // 60 symbols after the lead-in (11 blocks) and the initial tone (8 blocks).
    const auto cut = tx.samples.begin() + (11 + 8 + 60) * 3072;
    tx.samples.erase(cut, cut + 3 * 3072 / 8);
    const Decoded rx = decodeSamples(overTheAir(tx.samples, -20, 3, 12), {true, false, true, false, kW});
    const auto cancel = rx.window.find(" <CANCEL>");
    ASSERT_NE(cancel, std::string::npos) << rx.window;
    EXPECT_EQ(rx.window.find("<STOP>"), std::string::npos) << rx.window;
    ASSERT_FALSE(rx.reports.empty());
    EXPECT_TRUE(rx.reports[0].cancelled);
}

}  // namespace
}  // namespace miv::test
