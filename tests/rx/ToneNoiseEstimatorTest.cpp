#include "rx/ToneNoiseEstimator.h"

#include <gtest/gtest.h>

#include "modem/Frame.h"

namespace miv::test {
namespace {

TEST(ToneNoiseEstimator, AveragesTheEarlierSymbolsSentInOtherGroupsOver287)
{
    ModeSwitches switches;  // HF 2250 Hz, 16 baud: tones two bins apart, hop column 1
    SpectrumHistory history;
    ToneNoiseEstimator estimator(history);
    // Only the row eight rows back (row 205 before row 5) holds anything.
    for (int bin = 100; bin < 140; ++bin)
        history(205, bin, 1) = 287.0f * 8;
    int differing = 0;  // of the eight symbols before hop row 1, those in another group
    for (int k = 1; k <= 8; ++k)
        differing += HopTable.group(kHopRows + 1 - k, 1) != HopTable.group(1, 1);
    estimator.EstimateToneNoise(receiveMode(switches), 5, 100, kHopRows + 1);  // hop row 289 is row 1
    for (int tone = 0; tone < 16; ++tone)
        EXPECT_FLOAT_EQ(estimator.toneReference(tone, 5), 8.0f / static_cast<float>(differing));
}

}  // namespace
}  // namespace miv::test
