// How the sweep scores a trial and reads its curves.

#include <gtest/gtest.h>

#include "Sweep.h"

namespace miv::test {
namespace {

using namespace sweep;

ReceptionReport report(float shift, const std::string& text, bool cancelled = false)
{
    ReceptionReport r{};
    r.frequencyShift = shift;
    r.receivedText = text;
    r.cancelled = cancelled;
    return r;
}

TEST(EditDistance, CountsInsertionsDeletionsAndSubstitutions)
{
    EXPECT_EQ(editDistance("", ""), 0u);
    EXPECT_EQ(editDistance("abc", ""), 3u);
    EXPECT_EQ(editDistance("", "ab"), 2u);
    EXPECT_EQ(editDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(editDistance("73 de ON4ZZ", "73 de ON4ZZ"), 0u);
    EXPECT_EQ(editDistance("73 de ON4ZZ", "73 deON4ZZ"), 1u);
    EXPECT_EQ(editDistance("73 de ON4ZZ", "X73 de ON4ZZ"), 1u);
}

TEST(ExpectedText, TheSixBitAlphabetShowsCapitalsAndDropsWhatItCannotCarry)
{
    ModemMode fast;
    ModemMode slow;
    slow.baud16 = false;
    EXPECT_EQ(expectedText("73 de ea4abc; k", fast), "73 de ea4abc; k");
    EXPECT_EQ(expectedText("73 de ea4abc; k", slow), "73 DE EA4ABC K");
    EXPECT_EQ(expectedText("<marta@example.org>", slow), "<MARTA@EXAMPLE.ORG>");
}

TEST(ExpectedText, EveryTextOfTheSweepGoesThroughBothCodesWhole)
{
    ModemMode slow;
    slow.baud16 = false;
    for (const std::string& text : messageTexts()) {
        EXPECT_GE(text.size(), 20u) << text;
        EXPECT_LE(text.size(), 40u) << text;
        std::string upper = text;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(expectedText(text, slow), upper);
    }
}

TEST(ScoreTrial, TheMessageOnTheTransmissionsFrequencyIsTheOneRead)
{
    // 16 baud: tones 15.625 Hz apart; a lock more than 0.7 of that away is elsewhere.
    const std::vector<ReceptionReport> reports{report(62.5, "garbage"), report(39.1, "73 de ON4XZ")};
    const TrialOutcome o = scoreTrial(reports, "73 de ON4ZZ", 37, 15.625);
    EXPECT_TRUE(o.acquired);
    EXPECT_TRUE(o.stopped);
    EXPECT_EQ(o.received, "73 de ON4XZ");
    EXPECT_DOUBLE_EQ(o.cer, 1.0 / 11);
}

TEST(ScoreTrial, NoMessageOrOneElsewhereIsALostMessage)
{
    for (const auto& reports : {std::vector<ReceptionReport>{}, std::vector<ReceptionReport>{report(-60, "x")}}) {
        const TrialOutcome o = scoreTrial(reports, "73", 37, 15.625);
        EXPECT_FALSE(o.acquired);
        EXPECT_FALSE(o.stopped);
        EXPECT_DOUBLE_EQ(o.cer, 1);
    }
}

TEST(ScoreTrial, ACancelledMessageIsScoredButNotStoppedAndGarbageCountsAtMostOnce)
{
    const TrialOutcome o =
        scoreTrial({report(0, "73 de ON4ZZ and a long tail of noise", true)}, "73 de ON4ZZ", 1, 3.90625);
    EXPECT_TRUE(o.acquired);
    EXPECT_FALSE(o.stopped);
    EXPECT_DOUBLE_EQ(o.cer, 1);
}

ModeResult curve(std::vector<std::pair<double, int>> copiedOf10)
{
    ModeResult r{&standardModes()[0], {}, {}, {}};
    for (const auto& [snr, copied] : copiedOf10) {
        PointSummary p;
        p.snrDb = snr;
        p.trials = 10;
        p.copied = copied;
        p.cerSum = (10 - copied) * 0.5;
        r.points.push_back(p);
    }
    return r;
}

TEST(Thresholds, InterpolateBetweenTheGridPointsAroundTheCrossing)
{
    // Copied 9, 7, 3, 0 of 10 at -13, -14, -15, -16 dB: 50 % lies half-way from -14 to -15.
    const ModeResult r = curve({{-16, 0}, {-15, 3}, {-14, 7}, {-13, 9}});
    ASSERT_TRUE(copyThreshold(r));
    EXPECT_NEAR(*copyThreshold(r), -14.5, 1e-9);
    // Mean CER 0.05, 0.15, 0.35, 0.5: 10 % lies half-way from -13 to -14.
    ASSERT_TRUE(cerThreshold(r, 0.1));
    EXPECT_NEAR(*cerThreshold(r, 0.1), -13.5, 1e-9);
}

TEST(Thresholds, ACurveThatNeverCrossesHasNone)
{
    EXPECT_FALSE(copyThreshold(curve({{-16, 9}, {-15, 10}})));
    EXPECT_FALSE(copyThreshold(curve({{-16, 0}, {-15, 2}})));
    EXPECT_FALSE(cerThreshold(curve({{-16, 10}, {-15, 10}}), 0.01));
}

TEST(TrialSetup, DependsOnTheSeedTheModeAndTheTrialOnly)
{
    const SweepMode& a = standardModes()[0];
    const SweepMode& b = standardModes()[2];
    const TrialSetup s = trialSetup(a, 5, 3, messageTexts());
    EXPECT_EQ(trialSetup(a, 5, 3, messageTexts()).text, s.text);
    EXPECT_EQ(trialSetup(a, 5, 3, messageTexts()).offsetHz, s.offsetHz);
    EXPECT_EQ(trialSetup(a, 5, 3, messageTexts()).noiseSeed, s.noiseSeed);
    EXPECT_NE(trialSetup(a, 5, 4, messageTexts()).noiseSeed, s.noiseSeed);
    EXPECT_NE(trialSetup(a, 6, 3, messageTexts()).noiseSeed, s.noiseSeed);
    EXPECT_NE(trialSetup(b, 5, 3, messageTexts()).noiseSeed, s.noiseSeed);
    EXPECT_NE(noiseSeedAt(s, 0), noiseSeedAt(s, 1));
    for (int t = 0; t < 200; ++t) {
        const TrialSetup d = trialSetup(a, 1, t, messageTexts());
        EXPECT_LE(std::abs(d.offsetHz), a.maxOffsetHz);
        EXPECT_GE(d.delaySeconds, 0);
        EXPECT_LT(d.delaySeconds, 2);
    }
}

}  // namespace
}  // namespace miv::test
