#include <gtest/gtest.h>

#include "station/Macros.h"

namespace miv {
namespace {

ModemMode hf16()
{
    return {};
}
ModemMode hf1()
{
    return {.bw2250 = true, .eme = false, .baud16 = false};
}
ModemMode eme(bool baud16)
{
    return {.bw2250 = false, .eme = true, .baud16 = baud16};
}

OperatorDetails ea4()
{
    OperatorDetails d;
    d.callsign = "EA4XYZ";
    d.name = "Luis";
    d.qth = "Madrid";
    d.locator = "in80dk";
    d.station = "IC-7300, 100 W, dipole";
    d.email = "ea4xyz@example.org";
    d.custom = "QSL via bureau";
    return d;
}

std::string clicked(Macro macro, const ModemMode& mode, const std::string& destination = "G4ABC",
                    const OperatorDetails& details = ea4())
{
    MemoryTextWindow window;
    insertMacro(macro, mode, destination, details, window);
    return window.text();
}

struct Expected {
    Macro macro;
    const char* fast;  // 16 baud
    const char* slow;  // 1 baud
};

// Every text as the operator's peer will read it; the 1-baud forms are the short
// exchange forms with the locator and address in capitals.
constexpr Expected kTexts[] = {
    {Macro::CQ, "CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k ", "CQ EA4XYZ IN80DK "},
    {Macro::Call, "G4ABC de EA4XYZ ", "G4ABC EA4XYZ IN80DK OOO "},
    {Macro::Call3, "G4ABC G4ABC G4ABC de EA4XYZ EA4XYZ EA4XYZ kn ", "G4ABC G4ABC G4ABC de EA4XYZ EA4XYZ EA4XYZ kn "},
    {Macro::Me, "My name is: Luis, my QTH is: Madrid, Locator: in80dk ",
     "My name is: Luis, my QTH is: Madrid, Locator: in80dk "},
    {Macro::RRR, "RRR ", "RRR "},
    {Macro::RO, "G4ABC EA4XYZ RO ", "G4ABC EA4XYZ RO "},
    {Macro::Station, "My Station: IC-7300, 100 W, dipole ", "My Station: IC-7300, 100 W, dipole "},
    {Macro::Email, "My email is: <ea4xyz@example.org> <ea4xyz@example.org> <ea4xyz@example.org> ",
     "<EA4XYZ@EXAMPLE.ORG> "},
    {Macro::Bye, "tnx fer QSO, 73. G4ABC de EA4XYZ sk ", "73 "},
    {Macro::Custom, "QSL via bureau ", "QSL via bureau "},
};

TEST(Macros, EveryTextInEveryMode)
{
    for (const Expected& e : kTexts) {
        SCOPED_TRACE(macroButtonName(e.macro));
        EXPECT_EQ(clicked(e.macro, hf16()), e.fast);
        EXPECT_EQ(clicked(e.macro, hf1()), e.slow);
        // EME keeps the hidden symbol-rate choice for the texts.
        EXPECT_EQ(clicked(e.macro, eme(true)), e.fast);
        EXPECT_EQ(clicked(e.macro, eme(false)), e.slow);
    }
}

TEST(Macros, MeIsTwoInsertionsOneAfterTheOther)
{
    const auto texts = macroTexts(Macro::Me, hf16(), "", ea4());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "My name is: Luis");
    EXPECT_EQ(texts[1], ", my QTH is: Madrid, Locator: in80dk ");
}

TEST(Macros, CqReplacesTheTextAndAsksForTheLongToneOthersAppend)
{
    MemoryTextWindow window;
    window.setText("typed ");
    window.setSelStart(1);
    window.setSelLength(3);
    EXPECT_FALSE(insertMacro(Macro::RRR, hf16(), "", ea4(), window));
    EXPECT_FALSE(insertMacro(Macro::RRR, hf16(), "", ea4(), window));
    EXPECT_EQ(window.text(), "typed RRR RRR ");
    EXPECT_EQ(window.selStart(), window.length());

    EXPECT_TRUE(insertMacro(Macro::CQ, hf16(), "", ea4(), window));
    EXPECT_TRUE(insertMacro(Macro::CQ, hf16(), "", ea4(), window));
    EXPECT_EQ(window.text(), "CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k ");
}

TEST(Macros, InsertedTextIsBlackWhateverColourCameBefore)
{
    MemoryTextWindow window;
    window.setInsertColour(Colour::Red);
    window.setSelText("sent ");
    insertMacro(Macro::Custom, hf16(), "", ea4(), window);
    EXPECT_EQ(window.textIn(Colour::Red), "sent ");
    EXPECT_EQ(window.textIn(Colour::Black), "QSL via bureau ");
}

TEST(Macros, FirstStartDetailsAndAnEmptyDestination)
{
    const OperatorDetails initial;
    EXPECT_EQ(clicked(Macro::Call, hf16(), "", initial), " de CALL ");
    EXPECT_EQ(clicked(Macro::CQ, hf1(), "", initial), "CQ CALL YOUR GRID ");
    EXPECT_EQ(clicked(Macro::Me, hf16(), "", initial), "My name is: Name, my QTH is: Your QTH, Locator: Your Grid ");
}

TEST(Macros, DetailsAreTakenUntrimmedAndUnsendableCharactersLeftOut)
{
    OperatorDetails d = ea4();
    d.callsign = " EA4XYZ ";
    d.custom = "Grüße \u2603 from Málaga";
    EXPECT_EQ(clicked(Macro::RO, hf16(), "G4ABC", d), "G4ABC  EA4XYZ  RO ");
    EXPECT_EQ(clicked(Macro::Custom, hf16(), "", d),
              "Gr\xfc\xdf"
              "e  from M\xe1laga ");
    d.locator = "jn\xc3\xa9";  // "jné": the capital keeps its 8-bit code
    EXPECT_EQ(clicked(Macro::CQ, hf1(), "", d), "CQ  EA4XYZ  JN\xc9 ");
}

TEST(Macros, VisibilityFollowsTheChannelFirstThenTheRate)
{
    const Macro conversational[] = {Macro::Call3, Macro::Me, Macro::Station};
    const Macro exchange[] = {Macro::RO, Macro::RRR};
    const Macro always[] = {Macro::CQ, Macro::Call, Macro::Email, Macro::Bye, Macro::Custom};
    for (const ModemMode& mode : {hf16(), hf1(), eme(true), eme(false)}) {
        const bool hf16Mode = !mode.eme && mode.baud16;
        for (Macro m : conversational)
            EXPECT_EQ(macroVisible(m, mode), hf16Mode) << macroButtonName(m);
        for (Macro m : exchange)
            EXPECT_EQ(macroVisible(m, mode), !hf16Mode) << macroButtonName(m);
        for (Macro m : always)
            EXPECT_TRUE(macroVisible(m, mode)) << macroButtonName(m);
    }
}

TEST(Macros, OnlyCqIsLockedWhileTransmitting)
{
    for (Macro m : kMacros) {
        EXPECT_TRUE(macroEnabled(m, false));
        EXPECT_EQ(macroEnabled(m, true), m != Macro::CQ);
    }
}

TEST(Macros, CaptionsAndButtonNames)
{
    std::string captions;
    for (Macro m : kMacros)
        captions += std::string(macroCaption(m)) + "|";
    EXPECT_EQ(captions, "CQ|CALL|CALL3|Me|RRR|RO|Station|@|BYE|Custom|");
    EXPECT_STREQ(macroButtonName(Macro::Email), "cmdEmail");
}

TEST(Macros, UpperCaseCoversTheAccentedLettersOfTheCodePage)
{
    EXPECT_EQ(upperCase1252("abc xyz 09 @<>"), "ABC XYZ 09 @<>");
    EXPECT_EQ(upperCase1252("\xe0\xe9\xf1\xf7\xfe\xff\x9a\x9c\x9e\xdf"), "\xc0\xc9\xd1\xf7\xde\x9f\x8a\x8c\x8e\xdf");
}

}  // namespace
}  // namespace miv
