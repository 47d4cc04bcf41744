#include "rx/FilterChains.h"

#include <gtest/gtest.h>

#include <cmath>

#include "modem/ModemMode.h"
#include "rx/ReceiverObserver.h"

namespace miv::test {
namespace {

struct WaterfallCounter : ReceiverObserver {
    int samples = 0;
    void waterfallSample(float) override { ++samples; }
};

TEST(FilterChains, AConstantSettlesAtTheSumOfTheTapsWhichTheWaterfallSeesWhileOn)
{
    ModeSwitches switches;
    WaterfallCounter observer;
    FilterChains chains(switches, observer);
    AudioBlock block{};
    block.fill(1000);
    for (int b = 0; b < 2; ++b) {
        chains.resetPeakLevel();  // the second block is past the step response
        chains.rewind();
        for (int i = 0; i < 512; ++i)
            chains.FilterChainHF(block);
        switches.clickWaterfall();
    }
    EXPECT_EQ(observer.samples, 512);
    EXPECT_EQ(chains.ringWriteIndex(), 1024);
    EXPECT_NEAR(chains.basebandRing()[1023].real(), 969.5f, 0.05f);
    EXPECT_NEAR(chains.peakLevel(), 969.5f, 0.05f);
    EXPECT_GT(chains.peakLevelGauge(), chains.peakLevel());  // it saw the overshoot
}

TEST(Mixer, ThePhaseStaysWithinATurnEitherWay)
{
    Mixer up;
    Mixer down;
    for (int i = 0; i < 100000; ++i) {
        up.mix({1, 0}, 1000, 4000);
        down.mix({1, 0}, -1500, 8000);
        ASSERT_LE(std::fabs(up.phase()), 6.2831855f);
        ASSERT_LE(std::fabs(down.phase()), 6.2831855f);
    }
}

}  // namespace
}  // namespace miv::test
