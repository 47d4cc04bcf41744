// The reference transmissions in tests/vectors were made by a program that shares no
// code with this one: matching them sample for sample catches a fault that our
// transmitter and receiver would share.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "TxTestSupport.h"
#include "tx/Render.h"
#include "tx/SymbolGenerator.h"

namespace miv {
namespace {

using test::analyse;
using test::readSoundFile;

struct Vector {
    std::string name;
    nlohmann::json trace;
    ModemMode mode;
    std::string text;
    RenderOptions options;
};

Vector loadVector(const std::string& name)
{
    Vector v;
    v.name = name;
    std::ifstream in(std::string(MIV_VECTORS_DIR) + "/" + name + ".trace.json");
    v.trace = nlohmann::json::parse(in);
    const auto& m = v.trace["mode"];
    v.mode.bw2250 = m["bw"].get<int>() == 2250;
    v.mode.eme = m["channel"].get<std::string>() == "eme";
    v.mode.baud16 = m["baud"].get<int>() == 16;
    v.text = v.trace["text"].get<std::string>();
    v.options.longInitialTone = v.trace["long_tone"].get<bool>();
    v.options.idleCharacters = v.trace["idle"].is_null() ? 0 : v.trace["idle"].get<long>();
    return v;
}

class ReferenceTransmission : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceTransmission, RenderedAudioMatchesSampleForSample)
{
    const Vector v = loadVector(GetParam());
    const auto reference = readSoundFile(std::string(MIV_VECTORS_DIR) + "/" + v.name + ".flac");
    ASSERT_FALSE(reference.empty());
    const auto rendered = renderTransmission(v.mode, v.text, v.options).samples;

    ASSERT_EQ(rendered.size(), reference.size());
    EXPECT_EQ(static_cast<long>(rendered.size()), v.trace["end"]["total_samples"].get<long>());
    const auto mismatch = std::mismatch(rendered.begin(), rendered.end(), reference.begin());
    EXPECT_TRUE(mismatch.first == rendered.end()) << "first different sample " << (mismatch.first - rendered.begin())
                                                  << ": " << *mismatch.first << " instead of " << *mismatch.second;
}

// The generator's symbols against the trace's interleaver inputs, from x21 on.
TEST_P(ReferenceTransmission, GeneratorMakesTheTracedSymbols)
{
    const Vector v = loadVector(GetParam());
    ModeSwitches switches;
    switches.selectBandwidth(v.mode.bw2250);
    switches.selectChannel(v.mode.eme);
    switches.selectSymbolRate(v.mode.baud16);
    MemoryTextWindow send;
    MemoryTextWindow receive;
    send.setText(v.text);
    FixedClock clock;
    TransmitVariables vars;
    vars.txState = TxState::StopRequested;
    SymbolGenerator generator(switches, send, receive, clock, vars);
    generator.reset();

    const auto& x = v.trace["x"];
    const long endSignal = v.trace["end"]["end_signal_n"].get<long>();
    for (long n = 21; n <= endSignal; ++n) {
        ASSERT_FALSE(vars.EndSignal) << "n = " << n;
        EXPECT_EQ(generator.NextSymbol(n), x[static_cast<std::size_t>(n - 1)].get<int>()) << "n = " << n;
    }
    EXPECT_TRUE(vars.EndSignal);
    EXPECT_EQ(vars.SentCount, static_cast<int>(v.text.size()));
}

// The tone analysis used by the other tests, checked against the trace of the
// reference audio, so that it cannot agree with a wrong transmitter by its own fault.
TEST_P(ReferenceTransmission, AnalysisReadsTheTraceFromTheReferenceAudio)
{
    const Vector v = loadVector(GetParam());
    const auto reference = readSoundFile(std::string(MIV_VECTORS_DIR) + "/" + v.name + ".flac");
    const ModeParameters& mode = v.mode.parameters();
    const auto a = analyse(reference, mode);

    EXPECT_EQ(a.firstSymbolSample, v.trace["first_symbol_sample"].get<int>());
    if (mode.hasInitialTone) {
        EXPECT_EQ(a.leadInSamples, v.trace["lead_in_samples"].get<int>());
        EXPECT_EQ(a.initialTone, v.trace["initial_tone"]["freq"].get<double>());
        EXPECT_EQ(a.initialToneBlocks, v.trace["initial_tone"]["blocks"].get<int>());
    }
    const auto& symbols = v.trace["symbols"];
    ASSERT_EQ(a.positions.size(), symbols.size());
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const int tone = symbols[i]["tone"].get<int>();
        const int group = symbols[i]["group"].get<int>();
        const int position = mode.hops ? (group - 1) * 16 + tone : tone;
        if (a.positions[i] != -1) {
            EXPECT_EQ(a.positions[i], position) << "symbol " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Vectors, ReferenceTransmission,
                         ::testing::Values("hf2250-16", "hf500-16", "hf2250-1", "hf500-1", "eme"),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace miv
