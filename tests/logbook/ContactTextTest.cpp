#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logbook/ContactText.h"
#include "logbook/ContactTracker.h"

namespace miv {
namespace {

// What a text tells of its writer: callsign, report, name, QTH, locator.
TEST(ContactText, EveryWayOperatorsWriteTheDetails)
{
    const struct {
        const char* text;
        const char* ownCallsign;
        std::vector<std::string> details;
    } overs[] = {
        // The QTH is cut at the next keyword "de".
        {"DL1ABC de EA4XYZ good morning, ur rst 579 579. My name is Juan, QTH is San Lorenzo de El Escorial, "
         "loc IN80do. hw? DL1ABC de EA4XYZ k",
         "dl1abc",
         {"EA4XYZ", "579", "Juan", "San Lorenzo", "IN80DO"}},
        // Cut numbers: "5nn" is 599.
        {"cq cq de g4abc/p g4abc/p op Mike qth York es ur 5nn", "EA4XYZ", {"G4ABC/P", "599", "Mike", "York", ""}},
        // Without "de", the first callsign that is not ours; a lone locator needs six characters.
        {"EA4XYZ EA8/K1ABC rst: 449 JN11CK", "EA4XYZ", {"EA8/K1ABC", "449", "", "", "JN11CK"}},
        // Nothing a careless reading could take for details.
        {"tnx fer qso. name is ... 73 de", "EA4XYZ", {"", "", "", "", ""}},
    };
    for (const auto& over : overs) {
        const ContactDetails d = contactDetails(over.text, over.ownCallsign);
        EXPECT_EQ((std::vector{d.callsign, d.report, d.name, d.qth, d.locator}), over.details) << over.text;
    }
}

TEST(ContactText, CallsignShapes)
{
    for (const char* call :
         {"K1ABC", "W1AW", "EA4XYZ", "9A1AA", "3DA0XY", "E73ABC", "VP2V/K1ABC", "DL1ABC/MM", "2E0ABC"})
        EXPECT_TRUE(looksLikeCallsign(call)) << call;
    for (const char* word :
         {"599", "5NN", "73", "FT8", "JT65", "IN80DO", "HF500X16", "CALL", "NONAME", "20M", "A/B/C/D"})
        EXPECT_FALSE(looksLikeCallsign(word)) << word;
}

TEST(ContactTracker, TheContactSpansFirstToLastAndKeepsWhatWasSaid)
{
    using namespace std::chrono_literals;
    const std::chrono::sys_seconds t0{std::chrono::sys_days{std::chrono::year{2026} / 1 / 1}};
    ContactTracker tracker;
    tracker.sent("ea4xyz", "EA4XYZ de DL1ABC ur 599 599", t0);
    tracker.received("EA4XYZ", contactDetails("DL1ABC de EA4XYZ ur 579 name Juan", "DL1ABC"), -3.0, t0 + 2min);
    tracker.received("EA4XYZ", contactDetails("DL1ABC de EA4XYZ 73", "DL1ABC"), std::nullopt, t0 + 5min);
    const auto* contact = tracker.find("EA4XYZ");
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->first, t0);
    EXPECT_EQ(contact->last, t0 + 5min);
    EXPECT_EQ(contact->reportSent, "599");
    EXPECT_EQ(contact->heard.report, "579");
    EXPECT_EQ(contact->heard.name, "Juan");  // the later message said nothing new
    EXPECT_FALSE(contact->snrDb);            // the latest message had no estimate
    EXPECT_EQ(tracker.lastHeard(), "EA4XYZ");
}

}  // namespace
}  // namespace miv
