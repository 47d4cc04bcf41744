// A short sensitivity sweep through the real transmitter, channel simulator and receive
// loop: a little above each receive step's measured 50 % point almost every message
// must still be copied, and a little below it almost none may be (a receiver or a
// channel that has become kinder than the measured curves is as wrong as a deafer one).
// The curve values beside the thresholds are those of docs/performance.md.

#include <gtest/gtest.h>

#include "Sweep.h"

namespace miv::test {
namespace {

using namespace sweep;

struct Check {
    const char* mode;
    int trials;
    double strongDb;      // where the published curve copies every message
    int leastCopied;      // of the trials, at strongDb
    double weakDb;        // where the published curve copies (almost) none
    int mostCopied;       // of the trials, at weakDb
};

void PrintTo(const Check& c, std::ostream* os)
{
    *os << c.mode;
}

class DecodingRegression : public testing::TestWithParam<Check> {};

TEST_P(DecodingRegression, CopiesAboveAndLosesBelowTheMeasuredThreshold)
{
    const Check& c = GetParam();
    const SweepMode* mode = findMode(c.mode);
    ASSERT_NE(mode, nullptr);
    SweepOptions options;
    options.plans = {{mode, {c.weakDb, c.strongDb}, c.trials}};
    options.seed = 20261206;
    const ModeResult result = runSweep(options).front();
    const PointSummary& weak = result.points[0];
    const PointSummary& strong = result.points[1];
    EXPECT_GE(strong.copied, c.leastCopied) << "at " << c.strongDb << " dB";
    EXPECT_GE(strong.stopped, c.leastCopied) << "at " << c.strongDb << " dB";
    EXPECT_LE(weak.copied, c.mostCopied) << "at " << c.weakDb << " dB";
}

// 16 baud: 50 % copied at about -14.9 dB; the curve copies 100 % at -13 dB and 0 % at -17 dB.
// 1 baud and EME: TODO
INSTANTIATE_TEST_SUITE_P(
    EveryStep, DecodingRegression,
    testing::Values(Check{"hf2250x16", 8, -13, 7, -17, 1},
                    Check{"hf500x16", 8, -13, 7, -17, 1}),
    [](const auto& info) {
        std::string name = info.param.mode;
        std::erase(name, '-');
        return name;
    });

}  // namespace
}  // namespace miv::test
