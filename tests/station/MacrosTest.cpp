#include "station/Macros.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

constexpr ModemMode kHf16{};
constexpr ModemMode kHf1{.bw2250 = true, .eme = false, .baud16 = false};

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

std::string clicked(Macro macro, const ModemMode& mode, const OperatorDetails& details = ea4())
{
    MemoryTextWindow window;
    insertMacro(macro, mode, "G4ABC", details, window);
    return window.text();
}

// Every text as the operator's peer reads it, at 16 baud and at 1 baud: the 1-baud forms
// are the short exchange forms with the locator and the address in capitals.
TEST(Macros, EveryTextAtBothRatesEmeFollowingItsHiddenRate)
{
    const struct {
        Macro macro;
        const char* fast;
        const char* slow;
    } texts[] = {
        {Macro::CQ, "CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k ", "CQ EA4XYZ IN80DK "},
        {Macro::Call, "G4ABC de EA4XYZ ", "G4ABC EA4XYZ IN80DK OOO "},
        {Macro::Call3, "G4ABC G4ABC G4ABC de EA4XYZ EA4XYZ EA4XYZ kn ", nullptr},
        {Macro::Me, "My name is: Luis, my QTH is: Madrid, Locator: in80dk ", nullptr},
        {Macro::RRR, "RRR ", nullptr},
        {Macro::RO, "G4ABC EA4XYZ RO ", nullptr},
        {Macro::Station, "My Station: IC-7300, 100 W, dipole ", nullptr},
        {Macro::Email, "My email is: <ea4xyz@example.org> <ea4xyz@example.org> <ea4xyz@example.org> ",
         "<EA4XYZ@EXAMPLE.ORG> "},
        {Macro::Bye, "tnx fer QSO, 73. G4ABC de EA4XYZ sk ", "73 "},
        {Macro::Custom, "QSL via bureau ", nullptr},
    };
    for (const auto& t : texts) {
        const std::string slow = t.slow ? t.slow : t.fast;  // no short form: the same text
        EXPECT_EQ(clicked(t.macro, kHf16), t.fast) << macroName(t.macro);
        EXPECT_EQ(clicked(t.macro, kHf1), slow) << macroName(t.macro);
        EXPECT_EQ(clicked(t.macro, ModemMode{.eme = true, .baud16 = true}), t.fast) << macroName(t.macro);
        EXPECT_EQ(clicked(t.macro, ModemMode{.eme = true, .baud16 = false}), slow) << macroName(t.macro);
    }
}

// CQ replaces the text and asks for the long initial tone; the others append at the
// end whatever the selection, in black whatever colour came before.
TEST(Macros, CqReplacesOthersAppendInBlack)
{
    MemoryTextWindow window;
    window.setInsertColour(Colour::Red);
    window.setSelText("sent ");
    window.setSelStart(1);
    window.setSelLength(3);
    EXPECT_FALSE(insertMacro(Macro::RRR, kHf16, "", ea4(), window));
    EXPECT_EQ(window.textIn(Colour::Red), "sent ");
    EXPECT_EQ(window.textIn(Colour::Black), "RRR ");
    EXPECT_EQ(window.selStart(), window.length());
    EXPECT_TRUE(insertMacro(Macro::CQ, kHf16, "", ea4(), window));
    EXPECT_EQ(window.text(), "CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k ");
}

TEST(Macros, DetailsAreTakenUntrimmedAndUnsendableCharactersLeftOut)
{
    OperatorDetails d = ea4();
    d.callsign = " EA4XYZ ";
    d.custom = "Grüße \u2603 from Málaga";
    d.locator = "jn\xc3\xa9";  // "jné": the capital keeps its 8-bit code
    EXPECT_EQ(clicked(Macro::RO, kHf16, d), "G4ABC  EA4XYZ  RO ");
    EXPECT_EQ(clicked(Macro::Custom, kHf16, d),
              "Gr\xfc\xdf"
              "e  from M\xe1laga ");
    EXPECT_EQ(clicked(Macro::CQ, kHf1, d), "CQ  EA4XYZ  JN\xc9 ");
    EXPECT_EQ(upperCase1252("\xe0\xe9\xf1\xf7\xfe\xff\x9a\x9c\x9e\xdf"), "\xc0\xc9\xd1\xf7\xde\x9f\x8a\x8c\x8e\xdf");
}

// The channel decides first (EME), then the symbol rate; CQ alone is locked while
// transmitting, since it replaces the text being sent.
TEST(Macros, VisibilityFollowsTheChannelThenTheRate)
{
    for (const ModemMode& mode : {kHf16, kHf1, ModemMode{.eme = true, .baud16 = true}}) {
        const bool conversational = !mode.eme && mode.baud16;
        for (const Macro m : kMacros) {
            const bool onlyConversational = m == Macro::Call3 || m == Macro::Me || m == Macro::Station;
            const bool onlyExchange = m == Macro::RO || m == Macro::RRR;
            EXPECT_EQ(macroVisible(m, mode), onlyConversational ? conversational : !onlyExchange || !conversational)
                << macroName(m);
            EXPECT_EQ(macroEnabled(m, true), m != Macro::CQ);
        }
    }
}

}  // namespace
}  // namespace miv
