// Rendered transmissions read back tone by tone from their audio and checked against
// the frame format: lead-in, initial tone, preamble through the interleaver, hopping,
// the end marker's place and the end timing.
#include <gtest/gtest.h>

#include <map>

#include "TxTestSupport.h"
#include "tx/Render.h"

namespace miv {
namespace {

using test::analyse;
using test::hopGroup;
using test::interleaverInput;

struct Case {
    EffectiveMode mode;
    const char* text;
    bool longTone;
    long idle;
    int leadInBlocks;  // silent blocks heard before the first sound
    double initialTone;
    int initialToneBlocks;
};

class ToneByTone : public ::testing::TestWithParam<Case> {};

TEST_P(ToneByTone, TransmissionFollowsTheFrameFormat)
{
    const Case c = GetParam();
    const ModeParameters& mode = modeParameters(c.mode);
    RenderOptions options;
    options.longInitialTone = c.longTone;
    options.idleCharacters = c.idle;
    const auto samples = renderTransmission(test::makeMode(c.mode), c.text, options).samples;
    const auto a = analyse(samples, mode);

    // Ten blocks of lead-in, then one more silent block (HF) or four (EME).
    EXPECT_EQ(a.leadInSamples, c.leadInBlocks * kBlockSamples);
    EXPECT_EQ(a.initialTone, c.initialTone);
    EXPECT_EQ(a.initialToneBlocks, c.initialToneBlocks);

    // Every sent symbol y(n), n from 4, carries x(n − 9), x(n − 7), x(n − 5) or
    // x(n − 3) in the group of hop row n − 3, wrapping after 288.
    std::map<int, int> x;
    for (std::size_t i = 0; i < a.positions.size(); ++i) {
        const int n = static_cast<int>(i) + 4;
        const int position = a.positions[i];
        if (position == -1 && i + 1 == a.positions.size())
            continue;
        ASSERT_GE(position, 0) << "symbol " << n << " is not one steady tone";
        const int tone = mode.hops ? position % 16 : position;
        if (mode.hops) {
            EXPECT_EQ(position / 16 + 1, hopGroup((n - 4) % 288 + 1, mode.hopColumn)) << "symbol " << n;
        }
        const int k = interleaverInput(n);
        if (k < 1) {
            EXPECT_EQ(tone, 0) << "symbol " << n << " should be the interleaver's initial 0";
        } else {
            x[k] = tone;
        }
    }
    for (int k = 1; k <= 20; ++k)
        ASSERT_EQ(x.at(k), PreambleSymbols[static_cast<std::size_t>(k - 1)]) << "preamble x" << k;

    // The end marker: the 28 tones at x(m).., m one more than a multiple of 4, of which
    // the first 16 are sent; the end is signalled at symbol m + 28.
    std::vector<int> markers;
    for (const auto& [m, tone] : x) {
        bool match = true;
        for (int j = 0; j < 28 && match; ++j) {
            const auto it = x.find(m + j);
            if (it == x.end())
                match = j >= 16;
            else
                match = it->second == kEndMarkerTones[static_cast<std::size_t>(j)];
        }
        if (match)
            markers.push_back(m);
        (void)tone;
    }
    ASSERT_EQ(markers.size(), 1u);
    const int m = markers[0];
    EXPECT_EQ(m % 4, 1);
    const int sent = static_cast<int>(a.positions.size());
    EXPECT_EQ(sent + 3, m + 28) << "the end is signalled at the symbol after the marker";

    // End timing: at 16 baud the last symbol goes out whole, at 1 baud only its first
    // block.
    EXPECT_EQ(a.lastSymbolSamples, kBlockSamples);
    const long expectedTotal =
        static_cast<long>(a.firstSymbolSample) + static_cast<long>(sent - 1) * mode.samplesPerSymbol + kBlockSamples;
    EXPECT_EQ(static_cast<long>(samples.size()), expectedTotal);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ToneByTone,
                         ::testing::Values(Case{EffectiveMode::Hf2250Fast, "CQ de DL1ABC", false, 0, 11, 1500, 8},
                                           Case{EffectiveMode::Hf2250Fast, "CQ de DL1ABC", true, 3, 11, 1500, 48},
                                           Case{EffectiveMode::Hf500Fast, "tnx fer QSO, 73", false, 2, 11, 1000, 8},
                                           Case{EffectiveMode::Hf500Fast, "k", true, 0, 11, 1000, 48},
                                           Case{EffectiveMode::Hf2250Slow, "RO 599", false, 0, 11, 1500, 48},
                                           Case{EffectiveMode::Hf500Slow, "73 TU", false, 1, 11, 1000, 48},
                                           Case{EffectiveMode::Eme, "OOO", false, 0, 14, 0, 0}),
                         [](const auto& param) { return std::to_string(param.index); });

// The first sent tones of any transmission, and the groups they hop to in HF 2250.
TEST(ToneByTone, FirstSentTonesAndGroups)
{
    const auto samples = renderTransmission(test::makeMode(EffectiveMode::Hf2250Fast), "").samples;
    const auto a = analyse(samples, modeParameters(EffectiveMode::Hf2250Fast));
    const int tones[] = {2, 0, 0, 6, 10, 0, 8, 12, 4, 1, 4, 11, 12};
    const int groups[] = {3, 7, 4, 8, 8, 6, 2, 9, 7};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(a.positions[static_cast<std::size_t>(i)] % 16, tones[i]) << i;
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(a.positions[static_cast<std::size_t>(i)] / 16 + 1, groups[i]) << i;
    // Group 3, tone 2: 406.25 + 34 × 15.625 = 937.5 Hz, the table's samples 0..3071.
    for (int t = 1; t <= kBlockSamples; ++t)
        ASSERT_EQ(samples[static_cast<std::size_t>(a.firstSymbolSample + t - 1)], ToneTable::toneSample(937.5, t));
}

// Symbol 289 after the first sent one uses hop row 1 again.
TEST(ToneByTone, HoppingWrapsAfter288Rows)
{
    RenderOptions options;
    options.idleCharacters = 60;  // 11 varicode bits each: some 330 symbols
    const auto samples = renderTransmission(test::makeMode(EffectiveMode::Hf2250Fast), "", options).samples;
    const auto a = analyse(samples, modeParameters(EffectiveMode::Hf2250Fast));
    ASSERT_GT(a.positions.size(), 300u);
    for (std::size_t i = 288; i < 300; ++i)
        EXPECT_EQ(a.positions[i] / 16 + 1, test::hopGroup(static_cast<int>(i - 288) + 1, 1)) << i;
}

// At 1 baud the first three symbol times after the initial tone last one block each
// (they repeat the last tone block), then every symbol lasts 16 blocks.
TEST(ToneByTone, SlowSymbolTimesAfterTheInitialTone)
{
    const auto samples = renderTransmission(test::makeMode(EffectiveMode::Hf500Slow), "").samples;
    const auto a = analyse(samples, modeParameters(EffectiveMode::Hf500Slow));
    // 45 tone blocks prepared, the last repeated three times.
    EXPECT_EQ(a.initialToneBlocks, 48);
    EXPECT_EQ(a.firstSymbolSample, (11 + 48) * kBlockSamples);
}

}  // namespace
}  // namespace miv
