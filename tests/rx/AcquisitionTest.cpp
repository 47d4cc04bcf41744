#include <gtest/gtest.h>

#include "modem/Frame.h"
#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

constexpr int kRow = 100;

// HF 2250 Hz at 16 baud: the 20 preamble tones placed where a transmission whose tone 0
// of group 1 is at `pos` puts them, `count` of them, each of magnitude `level`.
class AcquisitionTest : public testing::Test {
protected:
    void SetUp() override
    {
        rig.state.HopColumn = 1;
        rig.state.ToneStep = 2;
        rig.state.SpectrumPlane = 1;
        rig.state.CurrentRow = kRow;
        rig.state.AcquisitionEnabled = true;
    }

    void placePreamble(int pos, float level, int count = 20)
    {
        for (int k = 0; k < count; ++k) {
            const int slot = kPreambleSlot[static_cast<std::size_t>(k)];
            const int row = rowBefore(kRow, (26 - slot) * 8);
            const int s = (HopTable.group(slot, 1) - 1) * 32 + pos;
            rig.history(row, s + PreambleSymbols[static_cast<std::size_t>(k)] * 2, 1) = level;
        }
    }

    DecoderRig rig;
};

TEST_F(AcquisitionTest, LocksOnAFullPreambleAndRunsTheLockActions)
{
    rig.switches.setAlarmOn(true);
    rig.gauges.volume = -7;
    placePreamble(60, 10);
    rig.acquisition.AcquireSignal(26, 78);

    EXPECT_TRUE(rig.state.LockFlag);
    EXPECT_EQ(rig.state.StartBin, 60);
    EXPECT_EQ(rig.state.FrameScore, 20);
    EXPECT_FLOAT_EQ(rig.state.BestSum, 200);
    // The header and report carry the shift of this lock, not the one shown before.
    EXPECT_FLOAT_EQ(rig.state.FrequencyShift, 62.5f);
    EXPECT_FLOAT_EQ(rig.state.AcquisitionVolume, -7);
    EXPECT_EQ(rig.acquisition.count(), 20);
    ASSERT_EQ(rig.frames.size(), 1u);
    EXPECT_EQ(rig.frames[0].caption, "Frame Acquisition: 20/20");
    EXPECT_EQ(rig.frames[0].background, Colour::Green);
    EXPECT_FLOAT_EQ(rig.frames[0].needle, 100);
    EXPECT_EQ(rig.frames[0].holdMilliseconds, 8000);
    EXPECT_EQ(rig.alarms, std::vector<int>{96});
    EXPECT_EQ(rig.rates, std::vector<bool>{true});
    ASSERT_FALSE(rig.syncs.empty());
    EXPECT_EQ(rig.syncs.back().caption, "Symbol Synchronization: 0");
}

TEST_F(AcquisitionTest, ThirteenMatchesNeverLockFourteenDoInRed)
{
    placePreamble(40, 1e6f, 13);
    rig.acquisition.AcquireSignal(26, 78);
    EXPECT_FALSE(rig.state.LockFlag);
    EXPECT_EQ(rig.acquisition.count(), 13);

    placePreamble(40, 1e6f, 14);
    rig.acquisition.AcquireSignal(26, 78);
    EXPECT_TRUE(rig.state.LockFlag);
    ASSERT_EQ(rig.frames.size(), 1u);
    EXPECT_EQ(rig.frames[0].background, Colour::Red);
}

TEST_F(AcquisitionTest, TheLargerSumWinsAndEveryImprovementLocksAgain)
{
    placePreamble(50, 5);
    placePreamble(51, 10);
    rig.acquisition.AcquireSignal(26, 78);
    EXPECT_EQ(rig.state.StartBin, 51);
    EXPECT_EQ(rig.frames.size(), 2u);

    // The same spectra again: the sum must beat the best strictly.
    rig.acquisition.AcquireSignal(26, 78);
    EXPECT_EQ(rig.frames.size(), 2u);
}

TEST_F(AcquisitionTest, ATieGoesToTheLowerTone)
{
    // Seven slots where a tone below the preamble's is as strong: 13 matches, no lock.
    placePreamble(40, 10);
    auto rivalAt = [&](int k, int offset) {
        const int slot = kPreambleSlot[static_cast<std::size_t>(k)];
        const int row = rowBefore(kRow, (26 - slot) * 8);
        const int s = (HopTable.group(slot, 1) - 1) * 32 + 40;
        return &rig.history(row, s + (PreambleSymbols[static_cast<std::size_t>(k)] + offset) * 2, 1);
    };
    for (int k = 0; k < 7; ++k)
        *rivalAt(k, -1) = 10;
    rig.acquisition.AcquireSignal(40, 40);
    EXPECT_FALSE(rig.state.LockFlag);
    EXPECT_EQ(rig.acquisition.count(), 13);

    // The same rivals above the preamble's tones lose the tie: all 20 match.
    for (int k = 0; k < 7; ++k) {
        *rivalAt(k, -1) = 0;
        if (PreambleSymbols[static_cast<std::size_t>(k)] < 15)
            *rivalAt(k, 1) = 10;
    }
    rig.acquisition.AcquireSignal(40, 40);
    EXPECT_TRUE(rig.state.LockFlag);
    EXPECT_EQ(rig.state.FrameScore, 20);
}

TEST_F(AcquisitionTest, ALockForgetsThePreviousMessagesText)
{
    rig.output.resetCharacterDecoders();
    rig.output.decodeBits(1, 0);
    rig.output.decodeBits(0, 0);
    rig.output.decodeBits(1, 0);  // "1000" then the next "1": "e"
    ASSERT_EQ(rig.output.ReceivedText(), "e");
    placePreamble(60, 10);
    rig.acquisition.AcquireSignal(26, 78);
    EXPECT_EQ(rig.output.ReceivedText(), "");
}

TEST_F(AcquisitionTest, PrimesTheMetricFromTheLastPeakLevel)
{
    float peak = 1000;
    rig.output.RecordMetricSample(0, peak);
    placePreamble(60, 10);
    rig.acquisition.AcquireSignal(26, 78);
    // 20 samples of 200 / (20 · 1000) among 64, against 128 on HF at 16 baud.
    EXPECT_NEAR(rig.output.metricDb(), 20 * std::log10(20 * 0.01 / 64 / 128), 1e-4);
}

TEST(FrequencyShiftDisplay, ShowsTheOffsetOfStartBinWhileLocked)
{
    DecoderRig rig;
    rig.state.LockFlag = true;
    rig.state.StartBin = 60;
    EXPECT_FLOAT_EQ(rig.shiftDisplay.ShowFrequencyShift(), 62.5f);
    EXPECT_EQ(rig.shifts.back().caption, "Frequency Shift: 62.5 Hz");
    EXPECT_EQ(rig.shifts.back().background, Colour::White);

    rig.state.StartBin = 52;
    rig.shiftDisplay.ShowFrequencyShift();
    EXPECT_EQ(rig.shifts.back().caption, "Frequency Shift: 0.0 Hz");
    EXPECT_FLOAT_EQ(rig.shifts.back().needle, 50);

    // Unlocked, the last measured shift stays on show.
    rig.state.LockFlag = false;
    rig.state.StartBin = 26;
    EXPECT_FLOAT_EQ(rig.shiftDisplay.ShowFrequencyShift(), 0);
}

TEST(FrequencyShiftDisplay, TurnsRedOnlyBeyondTheLimitOfTheRange)
{
    DecoderRig rig;
    rig.switches.setAfcWide(false);
    rig.state.LockFlag = true;
    rig.state.StartBin = 62;  // 78.125 Hz, the narrow limit itself
    rig.shiftDisplay.ShowFrequencyShift();
    EXPECT_EQ(rig.shifts.back().background, Colour::White);
    rig.state.StartBin = 63;
    rig.shiftDisplay.ShowFrequencyShift();
    EXPECT_EQ(rig.shifts.back().background, Colour::Red);
    rig.state.StartBin = 26;  // -203.125 Hz: the needle stops at the end of its scale
    rig.shiftDisplay.ShowFrequencyShift();
    EXPECT_FLOAT_EQ(rig.shifts.back().needle, 0);

    rig.switches.clickChannel();  // EME wide: centre 3072, 0.48828125 Hz per bin
    rig.switches.setAfcWide(true);
    rig.state.StartBin = 3072 - 2663;
    EXPECT_NEAR(rig.shiftDisplay.ShowFrequencyShift(), -1300.29f, 0.01f);
    EXPECT_EQ(rig.shifts.back().background, Colour::Red);
}

class FinalAcquisitionTest : public testing::Test {
protected:
    // The 22 tones up to and including the newest, with `matching` of the 16 end-marker
    // tones in place and the others wrong.
    bool feed(int matching)
    {
        std::array<std::uint8_t, 23> tones{};
        for (int k = 0; k < matching; ++k)
            tones[kPreambleSlot[static_cast<std::size_t>(k)]] = ReceiverSequence[static_cast<std::size_t>(k)];
        bool found = false;
        for (int slot = 1; slot <= 22; ++slot)
            found = rig.finalAcquisition.add(tones[static_cast<std::size_t>(slot)]);
        return found;
    }

    DecoderRig rig;
};

TEST_F(FinalAcquisitionTest, SevenMatchesAreNotTheEnd)
{
    EXPECT_FALSE(feed(7));
    EXPECT_EQ(rig.finalAcquisition.count(), 7);
    EXPECT_TRUE(rig.finals.empty());
}

TEST_F(FinalAcquisitionTest, EightMatchesAreTheEndShownInRed)
{
    EXPECT_TRUE(feed(8));
    EXPECT_EQ(rig.finalAcquisition.FinalScore(), 8);
    ASSERT_EQ(rig.finals.size(), 1u);
    EXPECT_EQ(rig.finals[0].caption, "Final Acquisition: 8/16");
    EXPECT_EQ(rig.finals[0].background, Colour::Red);
    EXPECT_FLOAT_EQ(rig.finals[0].needle, 50);
}

}  // namespace
}  // namespace miv::test
