#include <gtest/gtest.h>

#include <functional>

#include "modem/Frame.h"
#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

// HF 2250 Hz at 16 baud, a row per call, each row filled with the value the test gives
// for the call's phase within the eight-row cycle (phase 1 = the first call after the
// reset).
class SymbolDecoderTest : public testing::Test {
protected:
    void SetUp() override
    {
        rig.state.HopColumn = 1;
        rig.state.ToneStep = 2;
        rig.state.SpectrumPlane = 1;
        rig.state.StartBin = 52;
        rig.decoder.reset();
    }

    // Runs `calls` rows; returns the calls (from 1) that made a decision.
    std::vector<int> run(
        int calls, const std::function<float(int)>& valueForPhase = [](int) { return 0.0f; })
    {
        std::vector<int> decisions;
        for (int i = 0; i < calls; ++i, ++call_) {
            row_ = row_ == 208 ? 1 : row_ + 1;
            rig.fillRow(row_, 1, valueForPhase(call_ % 8 + 1));
            rig.state.CurrentRow = row_;
            rig.peakLevel = 1;  // a decision records the metric and clears it
            rig.decoder.DecodeStep();
            if (rig.peakLevel == 0)
                decisions.push_back(i + 1);
        }
        return decisions;
    }

    DecoderRig rig;
    int row_ = 0;
    int call_ = 0;
};

TEST_F(SymbolDecoderTest, DecidesAtOnceThenEveryEighthRowUntilTheFirstAdjustment)
{
    const std::vector<int> decisions = run(1 + 32 * 8 + 4);
    ASSERT_GE(decisions.size(), 34u);
    for (int d = 0; d < 33; ++d)
        EXPECT_EQ(decisions[static_cast<std::size_t>(d)], 1 + 8 * d);
    // Equal timing sums everywhere: the earliest position wins, a shift of -4 rows.
    ASSERT_EQ(rig.syncs.size(), 2u);
    EXPECT_EQ(rig.syncs[1].shift, -4);
    EXPECT_EQ(rig.syncs[1].caption, "Symbol Synchronization: -4");
    EXPECT_EQ(decisions[33], 257 + 4);
}

TEST_F(SymbolDecoderTest, AShiftOfOneRowIsAppliedWithoutCancelling)
{
    rig.state.LockFlag = true;
    // The energy lies one row after the decision phase.
    const std::vector<int> decisions = run(1 + 32 * 8 + 9, [](int phase) { return phase == 2 ? 5.0f : 0.0f; });
    ASSERT_EQ(rig.syncs.size(), 2u);
    EXPECT_EQ(rig.syncs[1].shift, 1);
    EXPECT_FLOAT_EQ(rig.syncs[1].needle, 62.5f);
    EXPECT_EQ(decisions[33], 257 + 9);
    EXPECT_TRUE(rig.state.LockFlag);
    EXPECT_EQ(rig.window.text().find("<CANCEL>"), std::string::npos);
}

TEST_F(SymbolDecoderTest, LosingTheTimingCancelsTheMessage)
{
    rig.state.LockFlag = true;
    run(1 + 32 * 8, [](int phase) { return phase == 2 ? 5.0f : 0.0f; });
    ASSERT_EQ(rig.syncs.back().shift, 1);
    // Then the energy vanishes: all sums equal, -4, shown as +4 after a positive shift.
    run(33 * 8 + 8);
    EXPECT_EQ(rig.syncs.back().shift, 4);
    EXPECT_FALSE(rig.state.LockFlag);
    EXPECT_TRUE(rig.state.AcquisitionEnabled);
    ASSERT_EQ(rig.reports.size(), 1u);
    EXPECT_TRUE(rig.reports[0].cancelled);
    EXPECT_NE(rig.window.text().find(" <CANCEL>"), std::string::npos);
}

TEST_F(SymbolDecoderTest, AnAllEqualRowDecidesToneOneAndToneZeroNeedsToBeStrictlyLarger)
{
    run(1, [](int) { return 3.0f; });
    EXPECT_EQ(rig.decoder.HardTone(), 1);

    rig.decoder.reset();
    const int base = 52 + (HopTable.group(26, 1) - 1) * 32;
    row_ = row_ == 208 ? 1 : row_ + 1;
    rig.fillRow(row_, 1, 3);
    rig.history(row_, base, 1) = 3.5f;
    rig.state.CurrentRow = row_;
    rig.decoder.DecodeStep();
    EXPECT_EQ(rig.decoder.HardTone(), 0);
}

TEST_F(SymbolDecoderTest, DeinterleavingReadsSixFourTwoAndZeroSymbolsBack)
{
    rig.state.CurrentRow = 10;
    EXPECT_EQ(rig.decoder.DeinterleaveRow(1), 170);
    EXPECT_EQ(rig.decoder.DeinterleaveRow(2), 186);
    EXPECT_EQ(rig.decoder.DeinterleaveRow(3), 202);
    EXPECT_EQ(rig.decoder.DeinterleaveRow(4), 10);
}

class ToneTrackerTest : public testing::Test {
protected:
    // The correction after 16 decisions whose neighbour bin `offset` is the strongest.
    std::vector<int> track(int startBin, int offset)
    {
        rig.state.StartBin = startBin;
        rig.state.CurrentRow = 7;
        rig.state.SpectrumPlane = 1;
        rig.fillRow(7, 1, 1);
        const int bin = 200;
        rig.history(7, bin + offset, 1) = 9;
        std::vector<int> corrections;
        for (int i = 0; i < 16; ++i)
            corrections.push_back(tracker.ToneTracking(bin));
        return corrections;
    }

    DecoderRig rig;
    ToneTracker tracker{rig.state, rig.history, rig.switches};
};

TEST_F(ToneTrackerTest, MovesTowardsTheStrongerNeighbourEverySixteenDecisions)
{
    std::vector<int> expected(16, 0);
    expected[15] = 1;
    EXPECT_EQ(track(52, 1), expected);
    expected[15] = -1;
    EXPECT_EQ(track(52, -1), expected);
}

TEST_F(ToneTrackerTest, NeverMovesBelowTheLowerLimit)
{
    EXPECT_EQ(track(26, -1).back(), 0);
}

TEST_F(ToneTrackerTest, NeverMovesAboveTheUpperLimit)
{
    EXPECT_NE(track(78, 1).back(), 1);
}

}  // namespace
}  // namespace miv::test
