#include <gtest/gtest.h>

#include <functional>

#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

// HF 2250 Hz at 16 baud, a row per call from row 101 on. Every group of a row holds the
// level the test gives for the call's phase (1 for the first call), and one tone a
// step higher that changes from call to call, so the decided tone tells which call
// decided.
class SymbolDecoderTest : public testing::Test {
protected:
    std::vector<int> run(
        int calls, const std::function<float(int)>& levelAtPhase = [](int) { return 0.0f; })
    {
        std::vector<int> decisions;
        for (int i = 1; i <= calls; ++i, ++call_) {
            row_ = row_ % SpectrumHistory::kRows + 1;
            const int marker = 1 + call_ % 15;
            const float level = levelAtPhase(call_ % kRowsPerSymbol + 1);
            for (int bin = 0; bin < 400; ++bin)
                rig_.history(row_, bin, 1) = level;
            for (int group = 0; group < 9; ++group)
                rig_.history(row_, rig_.acquisition.startBin() + group * 32 + 2 * marker, 1) = level + 1;
            rig_.decoder.DecodeStep(row_, rig_.mode());
            if (rig_.decoder.hardTone() == marker)
                decisions.push_back(i);
        }
        return decisions;
    }

    DecoderRig rig_;
    int row_ = DecoderRig::kRow;
    int call_ = 0;
};

TEST_F(SymbolDecoderTest, DecidesAtOnceThenEveryEighthRowUntilTheThirtyThirdDecisionMovesTheTiming)
{
    const std::vector<int> decisions = run(1 + 32 * 8 + 4);
    ASSERT_EQ(decisions.size(), 34u);
    for (std::size_t d = 0; d < 33; ++d)
        EXPECT_EQ(decisions[d], static_cast<int>(1 + 8 * d));
    // Equal row peaks at every phase: the earliest position wins, four rows early.
    EXPECT_EQ(rig_.syncs, std::vector<int>{-4});
    EXPECT_EQ(decisions[33], 257 + 4);
}

TEST_F(SymbolDecoderTest, AShiftOfOneRowIsFollowedAShiftOfFourLosesTheMessage)
{
    rig_.acquire(52, 1e6f);
    rig_.syncs.clear();
    // The energy lies one row after the decision phase.
    const std::vector<int> decisions = run(1 + 32 * 8 + 9, [](int phase) { return phase == 2 ? 5.0f : 0.0f; });
    EXPECT_EQ(rig_.syncs, std::vector<int>{1});
    EXPECT_EQ(decisions.back(), 257 + 9);
    EXPECT_TRUE(rig_.messages.empty());
    // The energy vanishes: all phases equal, four rows early, shown as +4 after a move
    // forward; either way the signal is lost.
    run(33 * 8);
    EXPECT_EQ(rig_.syncs.back(), 4);
    ASSERT_EQ(rig_.messages.size(), 1u);
    EXPECT_TRUE(rig_.messages[0].cancelled);
}

TEST_F(SymbolDecoderTest, AnAllEqualRowDecidesToneOneToneZeroMustBeStrictlyStronger)
{
    for (int bin = 0; bin < 400; ++bin)
        rig_.history(101, bin, 1) = 3;
    rig_.decoder.DecodeStep(101, rig_.mode());
    EXPECT_EQ(rig_.decoder.hardTone(), 1);
    rig_.decoder.reset();
    rig_.history(101, (HopTable.group(26, 1) - 1) * 32, 1) = 3.5f;  // tone 0 of the first symbol's group
    rig_.decoder.DecodeStep(101, rig_.mode());
    EXPECT_EQ(rig_.decoder.hardTone(), 0);
}

// The corrections over 16 decisions whose neighbour bin `offset` of bin 200 is strongest.
std::vector<int> track(int startBin, int offset)
{
    SpectrumHistory history;
    ToneTracker tracker(history);
    for (int bin = 190; bin < 210; ++bin)
        history(7, bin, 1) = bin == 200 + offset ? 9 : 1;
    std::vector<int> corrections;
    for (int i = 0; i < 16; ++i)
        corrections.push_back(tracker.ToneTracking(7, receiveMode(ModeSwitches{}), startBin, 200));
    return corrections;
}

TEST(ToneTracker, FollowsTheStrongerNeighbourEverySixteenDecisionsWithinTheLimits)
{
    std::vector<int> expected(16, 0);
    expected[15] = 1;
    EXPECT_EQ(track(52, 1), expected);
    expected[15] = -1;
    EXPECT_EQ(track(52, -1), expected);
    EXPECT_EQ(track(26, -1).back(), 0);  // the lower limit at 2250 Hz, 16 baud
    EXPECT_NE(track(78, 1).back(), 1);   // the upper limit
}

}  // namespace
}  // namespace miv::test
