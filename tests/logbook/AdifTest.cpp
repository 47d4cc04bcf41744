#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "logbook/AdifReader.h"
#include "logbook/Bands.h"
#include "logbook/Qso.h"

namespace miv {
namespace {

using std::chrono::sys_days;
using namespace std::chrono_literals;

Qso contact()
{
    Qso qso;
    qso.callsign = "EA4XYZ";
    qso.start = sys_days{std::chrono::year{2026} / 12 / 7} + 4h + 5min + 9s;
    qso.end = qso.start + 12min;
    qso.frequencyHz = 14'070'150;
    qso.mode = EffectiveMode::Hf500Slow;
    qso.reportSent = "599";
    qso.reportReceived = "579";
    qso.name = "José";
    qso.qth = "Madrid";
    qso.locator = "IN80DO";
    qso.comment = "first line\nsecond <line>";
    qso.snrDb = -7.4;
    qso.ownCallsign = "DL1ABC";
    return qso;
}

TEST(Adif, AContactReadsBackFieldByField)
{
    const std::string text = formatAdifHeader("2.5.0 Beta", contact().start) + formatAdifRecord(adifRecord(contact()));
    const AdifLog log = readAdif(text);
    ASSERT_TRUE(log.problems.empty()) << log.problems.front().what;
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].line, 7);  // after the six lines of the header
    std::vector<std::string> fields;
    for (const AdifField& f : log.records[0].record.fields())
        fields.push_back(f.name + '=' + f.value);
    // ADI is ASCII: one '?' per character it cannot hold, lengths in bytes of what is
    // written. Empty values are left out.
    EXPECT_EQ(fields, (std::vector<std::string>{
                          "CALL=EA4XYZ", "QSO_DATE=20261207", "TIME_ON=040509", "QSO_DATE_OFF=20261207",
                          "TIME_OFF=041709", "FREQ=14.070150", "BAND=20m", "MODE=MFSK", "SUBMODE=MIV500X1",
                          "RST_SENT=599", "RST_RCVD=579", "NAME=Jos?", "QTH=Madrid", "GRIDSQUARE=IN80DO",
                          "COMMENT=first line second <line>", "APP_MIV_SNR=-7", "STATION_CALLSIGN=DL1ABC"}));
}

TEST(Adif, EveryModeHasItsOwnSubmode)
{
    std::set<std::string_view> names;
    for (auto mode : {EffectiveMode::Hf2250Fast, EffectiveMode::Hf2250Slow, EffectiveMode::Hf500Fast,
                      EffectiveMode::Hf500Slow, EffectiveMode::Eme})
        names.insert(submodeName(mode));
    EXPECT_EQ(names.size(), 5u);
}

TEST(Adif, BadRecordsAreNamedByTheirLine)
{
    const std::string text =
        "written by another logger\n<EOH>\n"
        "<call:5>K1ABC<qso_date:8>20261207<time_on:4>0405<mode:4>RTTY<band:3>40m<freq:5>7.040<eor>\n"
        "<CALL:6>DL1ABC <QSO_DATE:8>20261307 <TIME_ON:4>2460 <MODE:4>MFSK\n"
        "<BAND:3>40m <FREQ:6>14.070 <GRIDSQUARE:4>ZZ99 <EOR>\n"
        "<CALL:4>W1AW <TIME_ON:4>1200 <EOR>\n"
        "<CALL:10>TRUNC";
    const AdifLog log = readAdif(text);
    ASSERT_EQ(log.records.size(), 3u);
    EXPECT_EQ(log.records[0].record.get("CALL"), "K1ABC");  // lower-case names read as ADIF allows
    // Line 4: date, time, frequency outside the band, locator; 6: no date, no mode; 7: a
    // field that runs past the end.
    std::vector<int> lines;
    for (const AdifProblem& p : log.problems)
        lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 4, 4, 4, 6, 6, 7}));
}

TEST(Adif, HeaderlessAndBrokenFilesAreReadSafely)
{
    EXPECT_EQ(readAdif("<CALL:3>K1A<QSO_DATE:8>20260101<TIME_ON:6>000000<MODE:3>FT8<EOR>").records.size(), 1u);
    EXPECT_EQ(readAdif("no end of header <CALL:3>K1A").problems.size(), 1u);
    EXPECT_FALSE(readAdif("<CALL:99999999999>x<EOR>").problems.empty());
    EXPECT_FALSE(readAdif("<CALL:3").problems.empty());
    EXPECT_TRUE(readAdif("").records.empty());
}

TEST(Bands, FrequenciesFallInTheirBands)
{
    EXPECT_EQ(bandOf(14'070'000), "20m");
    EXPECT_EQ(bandOf(1'838'000), "160m");
    EXPECT_EQ(bandOf(144'174'000), "2m");
    EXPECT_EQ(bandOf(1'296'050'000), "23cm");
    EXPECT_EQ(bandOf(50'000'000), "6m");  // the lower edge belongs to the band
    EXPECT_FALSE(bandOf(15'000'000));     // WWV, no amateur band
    EXPECT_TRUE(bandHolds("40M", 7'100'000));
}

TEST(Locators, OnlyMaidenheadShapes)
{
    for (const char* good : {"IN80", "in80do", "JN11ck", "RR99XX", "IO91wm45"})
        EXPECT_TRUE(validLocator(good)) << good;
    for (const char* bad : {"", "I", "SN80", "IN8", "IN80DY", "Your Grid", "IN80DO4"})
        EXPECT_FALSE(validLocator(bad)) << bad;
}

}  // namespace
}  // namespace miv
