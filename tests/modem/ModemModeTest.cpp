#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/ModemMode.h"

namespace miv {
namespace {

TEST(ModemMode, EffectiveModesAndTheirTonePlans)
{
    struct Case {
        ModemMode mode;
        EffectiveMode effective;
        int samples;
        double spacing;
        double lowest, highest;
        int groups, column;
        CharacterCode code;
    };
    const std::vector<Case> cases{
        {{true, false, true, true},
         EffectiveMode::Hf2250Fast,
         3072,
         15.625,
         406.25,
         2640.625,
         9,
         1,
         CharacterCode::Varicode},
        {{true, false, false, true},
         EffectiveMode::Hf2250Slow,
         49152,
         15.625,
         406.25,
         2640.625,
         9,
         1,
         CharacterCode::SixBit},
        {{false, false, true, true},
         EffectiveMode::Hf500Fast,
         3072,
         15.625,
         750,
         1234.375,
         2,
         3,
         CharacterCode::Varicode},
        {{false, false, false, true},
         EffectiveMode::Hf500Slow,
         49152,
         3.90625,
         750,
         1246.09375,
         8,
         2,
         CharacterCode::SixBit},
        // EME whatever the hidden bandwidth and rate say.
        {{false, true, true, false}, EffectiveMode::Eme, 49152, 3.90625, 1500, 1558.59375, 1, 1, CharacterCode::SixBit},
    };
    for (const Case& c : cases) {
        const ModeParameters& p = c.mode.parameters();
        SCOPED_TRACE(p.name);
        EXPECT_EQ(c.mode.effective(), c.effective);
        EXPECT_EQ(p.samplesPerSymbol, c.samples);
        EXPECT_EQ(p.toneSpacing, c.spacing);
        EXPECT_EQ(p.groups, c.groups);
        EXPECT_EQ(p.hopColumn, c.column);
        EXPECT_EQ(p.code, c.code);
        EXPECT_EQ(c.mode.sixBitAlphabet(), c.code == CharacterCode::SixBit);
        EXPECT_EQ(toneFrequency(p, 1, 0), c.lowest);
        EXPECT_EQ(toneFrequency(p, p.groups, 15), c.highest);
        // Every tone completes a whole number of cycles per symbol.
        for (int g = 1; g <= p.groups; ++g)
            for (int k = 0; k < 16; ++k) {
                const double cycles = toneFrequency(p, g, k) * p.samplesPerSymbol / 48000.0;
                EXPECT_EQ(cycles, static_cast<double>(static_cast<long>(cycles)));
            }
    }
}

TEST(ModemMode, InitialTones)
{
    const auto tone = [](EffectiveMode m) {
        const ModeParameters& p = modeParameters(m);
        return toneFrequency(p, p.initialToneGroup, p.initialTone);
    };
    EXPECT_EQ(tone(EffectiveMode::Hf2250Fast), 1500);
    EXPECT_EQ(tone(EffectiveMode::Hf2250Slow), 1500);
    EXPECT_EQ(tone(EffectiveMode::Hf500Fast), 1000);
    EXPECT_EQ(tone(EffectiveMode::Hf500Slow), 1000);
    EXPECT_FALSE(modeParameters(EffectiveMode::Eme).hasInitialTone);
    EXPECT_EQ(modeParameters(EffectiveMode::Hf2250Fast).shortToneBlocks, 8);
    EXPECT_EQ(modeParameters(EffectiveMode::Hf500Fast).longToneBlocks, 48);
    EXPECT_EQ(modeParameters(EffectiveMode::Hf500Slow).shortToneBlocks, 48);
}

struct FakeGuard : ModeGuard {
    bool transmitting() const override { return sending; }
    bool receiverLocked() const override { return locked; }
    bool sending = false;
    bool locked = false;
};

struct EventLog : ModeListener {
    void bandwidthChanged() override { events.push_back("bandwidth"); }
    void symbolRateChanged() override { events.push_back("rate"); }
    void channelChanged() override { events.push_back("channel"); }
    void autoBaudChanged() override { events.push_back("auto"); }
    void afcRangeChanged() override { events.push_back("afc"); }
    void detectedRateShown() override { events.push_back("detected"); }
    std::vector<std::string> events;
};

class Switches : public ::testing::Test {
protected:
    void SetUp() override
    {
        switches.setGuard(&guard);
        switches.addListener(&log);
    }
    FakeGuard guard;
    EventLog log;
    ModeSwitches switches;
};

TEST_F(Switches, DefaultsAreTheSettingsDefaults)
{
    EXPECT_EQ(switches.mode(), (ModemMode{true, false, true, true}));
    EXPECT_TRUE(switches.afcWide());
    EXPECT_TRUE(switches.waterfallOn());
    EXPECT_TRUE(switches.alarmOn());
}

TEST_F(Switches, ModeClicksAreRefusedWhileTransmittingOrLocked)
{
    for (bool* busy : {&guard.sending, &guard.locked}) {
        *busy = true;
        EXPECT_FALSE(switches.clickBandwidth());
        EXPECT_FALSE(switches.clickChannel());
        EXPECT_FALSE(switches.clickSymbolRate());
        EXPECT_EQ(switches.mode(), ModemMode{});
        *busy = false;
    }
    EXPECT_TRUE(log.events.empty());
    // Auto-baud is not guarded, nor is the AFC range on HF.
    guard.locked = true;
    switches.clickAutoBaud();
    EXPECT_TRUE(switches.clickAfcRange());
    EXPECT_FALSE(switches.mode().autoBaud);
    EXPECT_FALSE(switches.afcWide());
}

TEST_F(Switches, AcceptedClicksSwapThePairAndReportTheirSideEffects)
{
    EXPECT_TRUE(switches.clickBandwidth());
    EXPECT_FALSE(switches.mode().bw2250);
    EXPECT_TRUE(switches.clickSymbolRate());
    EXPECT_FALSE(switches.mode().baud16);
    EXPECT_TRUE(switches.clickChannel());
    EXPECT_TRUE(switches.mode().eme);
    EXPECT_EQ(log.events, (std::vector<std::string>{"bandwidth", "rate", "channel"}));
    // Selecting what is already shown runs nothing.
    EXPECT_TRUE(switches.selectChannel(true));
    EXPECT_EQ(log.events.size(), 3u);
}

TEST_F(Switches, EmeAfcRangeWaitsForAnIdleReceiver)
{
    switches.clickChannel();
    guard.locked = true;
    EXPECT_FALSE(switches.clickAfcRange());
    EXPECT_TRUE(switches.afcWide());
    guard.locked = false;
    guard.sending = true;
    EXPECT_FALSE(switches.clickAfcRange());
    guard.sending = false;
    EXPECT_TRUE(switches.clickAfcRange());
    EXPECT_FALSE(switches.afcWide());
}

TEST_F(Switches, ADetectedRateIsShownWhateverTheGuards)
{
    guard.locked = true;
    switches.showDetectedRate(false);
    EXPECT_FALSE(switches.mode().baud16);
    EXPECT_EQ(log.events, (std::vector<std::string>{"detected"}));
}

TEST(AfcCaptions, FollowTheChannel)
{
    EXPECT_EQ(afcWideCaption(false), "\u00b1200 Hz");
    EXPECT_EQ(afcNarrowCaption(false), "\u00b178 Hz");
    EXPECT_EQ(afcWideCaption(true), "\u00b11300 Hz");
    EXPECT_EQ(afcNarrowCaption(true), "\u00b1600 Hz");
}

}  // namespace
}  // namespace miv
