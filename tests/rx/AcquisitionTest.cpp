#include <gtest/gtest.h>

#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

TEST(Acquisition, LocksOnAFullPreambleAndMeasuresTheShiftFromTheCentre)
{
    DecoderRig rig;
    rig.acquire(60, 10);
    EXPECT_TRUE(rig.acquisition.lockFlag());
    EXPECT_EQ(rig.acquisition.startBin(), 60);
    EXPECT_EQ(rig.locks, std::vector<int>{20});
    EXPECT_FLOAT_EQ(rig.acquisition.bestSum(), 200);
    EXPECT_FLOAT_EQ(rig.acquisition.frequencyShift(), 62.5f);  // 8 bins of 7.8125 Hz
    rig.acquisition.unlock();
    rig.acquisition.moveStartBin(-8);
    EXPECT_FLOAT_EQ(rig.acquisition.ShowFrequencyShift(), 62.5f);  // unlocked: the last one measured

    DecoderRig eme;
    eme.switches.clickChannel();
    eme.acquire(3072 - 2663, 10);
    EXPECT_NEAR(eme.acquisition.frequencyShift(), -1300.29f, 0.01f);
    EXPECT_TRUE(eme.switches.mode().baud16);  // EME shows no rate
}

TEST(Acquisition, ThirteenMatchesNeverLockFourteenDo)
{
    DecoderRig rig;
    rig.acquire(40, 1e6f, 13);
    EXPECT_TRUE(rig.locks.empty());
    EXPECT_EQ(rig.acquisition.count(), 13);
    rig.acquire(40, 1e6f, 14);
    EXPECT_EQ(rig.locks, std::vector<int>{14});
}

TEST(Acquisition, EveryStrictImprovementLocksInSearchOrder)
{
    DecoderRig rig;
    for (int k = 0; k < kPreambleSymbolCount; ++k)
        rig.preambleTone(k, 50) = 5;
    rig.acquire(51, 10);
    EXPECT_EQ(rig.acquisition.startBin(), 51);
    EXPECT_EQ(rig.locks.size(), 2u);
    rig.acquire(51, 10);  // the same sum again is no improvement
    EXPECT_EQ(rig.locks.size(), 2u);
}

TEST(Acquisition, ATieBetweenTonesGoesToTheLowerOne)
{
    DecoderRig rig;
    for (int k = 0; k < 7; ++k)
        rig.preambleTone(k, 40, -1) = 10;  // as strong as the preamble's own tone, just below it
    rig.acquire(40, 10);
    EXPECT_EQ(rig.acquisition.count(), 13);
    for (int k = 0; k < 7; ++k) {
        rig.preambleTone(k, 40, -1) = 0;
        if (PreambleSymbols[static_cast<std::size_t>(k)] < 15)
            rig.preambleTone(k, 40, 1) = 10;  // just above: the preamble's tone wins
    }
    rig.acquire(40, 10);
    EXPECT_EQ(rig.locks, std::vector<int>{20});
}

}  // namespace
}  // namespace miv::test
