#include "station/Logbook.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "logbook/AdifReader.h"

namespace miv {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kDomain = 0x4d495601;
constexpr double kDial = 14'070'000;
const std::chrono::sys_seconds kStart{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 4h};

// An information element: (enterprise, element number), enterprise 0 for IANA's.
using Element = std::pair<std::uint32_t, std::uint16_t>;
using Record = std::map<Element, std::string>;

// IPFIX read the way a collector reads it: templates first, then the data sets they
// describe. Each record maps its elements to their bytes.
struct Collected {
    std::uint16_t version = 0;
    std::uint32_t exportSeconds = 0, sequence = 0, domain = 0;
    std::vector<std::pair<std::uint16_t, Record>> records;  // with the id of their template
};

Collected collect(const std::vector<std::uint8_t>& d)
{
    const auto u16 = [&](std::size_t at) { return static_cast<std::uint16_t>(d.at(at) << 8 | d.at(at + 1)); };
    const auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at)) << 16 | u16(at + 2); };
    EXPECT_EQ(u16(2), d.size());
    Collected c{u16(0), u32(4), u32(8), u32(12), {}};
    std::map<std::uint16_t, std::vector<std::pair<Element, std::uint16_t>>> templates;  // elements, lengths
    for (std::size_t set = 16; set < d.size();) {
        const std::uint16_t id = u16(set);
        const std::size_t end = set + u16(set + 2);
        EXPECT_EQ(u16(set + 2) % 4, 0) << "sets are padded to four bytes";
        std::size_t at = set + 4;
        if (id == 2 || id == 3) {  // a template, or an options template with its scope count
            auto& layout = templates[u16(at)];
            const int fields = u16(at + 2);
            at += id == 3 ? 6 : 4;
            for (int f = 0; f < fields; ++f) {
                const std::uint16_t element = u16(at);
                const bool enterprise = (element & 0x8000) != 0;
                layout.push_back(
                    {{enterprise ? u32(at + 4) : 0u, static_cast<std::uint16_t>(element & 0x7fff)}, u16(at + 2)});
                at += enterprise ? 8 : 4;
            }
        } else {
            while (end - at >= 4) {  // records up to the padding
                Record record;
                for (const auto& [element, fixedLength] : templates.at(id)) {
                    const std::size_t length = fixedLength == 0xffff ? d.at(at++) : fixedLength;
                    record[element] = std::string(&d.at(at), &d.at(at) + length);
                    at += length;
                }
                c.records.push_back({id, record});
            }
        }
        set = end;
    }
    return c;
}

std::string pskField(const Record& record, std::uint16_t element)
{
    const auto it = record.find({kPskReporterEnterprise, element});
    return it == record.end() ? "(absent)" : it->second;
}

std::uint32_t bigEndian(const std::string& bytes)
{
    std::uint32_t value = 0;
    for (const char b : bytes)
        value = value << 8 | static_cast<std::uint8_t>(b);
    return value;
}

// A logbook whose datagrams are kept, not sent.
struct RecordedLogbook : ::testing::Test {
    RecordedLogbook() : logbook({clock, files, sent, "/log/miv_log.adi", kDomain}, logSection, operatorSection)
    {
        OperatorDetails me;
        me.callsign = "DL1ABC";
        me.locator = "JO62qm";
        operatorSection.save(me);
    }

    void hear(const std::string& text, std::optional<double> snr = -12.4, bool cancelled = false)
    {
        logbook.heard({text, cancelled, 1523.4, snr, EffectiveMode::Hf2250Fast}, kDial);
    }

    void switchSpotsOn()
    {
        LogSettings settings = logSection.value();
        settings.spotsOn = true;
        settings.collector = "127.0.0.1:4739";
        logSection.save(settings);
    }

    ManualWallClock clock{kStart};
    MemoryLogFiles files;
    MemorySettingsStore store;
    Settings file{store};
    LiveSection<LogSettings> logSection{[this] { return file.readLogSettings(); },
                                        [this](const LogSettings& s) { return file.writeLogSettings(s); }};
    LiveSection<OperatorDetails> operatorSection{
        [this] { return file.readOperatorDetails(); },
        [this](const OperatorDetails& d) { return file.writeOperatorDetails(d); }};
    RecordedDatagrams sent;
    Logbook logbook;
};

TEST_F(RecordedLogbook, AMessageWithACallsignReachesTheCollectorFieldByField)
{
    switchSpotsOn();
    hear("DL1ABC de EA4XYZ EA4XYZ ur 599 k");
    ASSERT_EQ(sent.sent.size(), 1u);
    EXPECT_EQ(sent.sent[0].target, (DatagramTarget{"127.0.0.1", 4739}));
    const Collected c = collect(sent.sent[0].bytes);
    EXPECT_EQ(c.version, 10);
    EXPECT_EQ(c.exportSeconds, kStart.time_since_epoch().count());
    EXPECT_EQ(c.sequence, 0u);
    EXPECT_EQ(c.domain, kDomain);
    ASSERT_EQ(c.records.size(), 2u);

    const auto& receiver = c.records[0].second;
    EXPECT_EQ(c.records[0].first, kReceiverTemplateId);
    EXPECT_EQ(pskField(receiver, 2), "DL1ABC");
    EXPECT_EQ(pskField(receiver, 4), "JO62qm");
    EXPECT_EQ(pskField(receiver, 8), "MIV 2.5.0 Beta");

    const auto& sender = c.records[1].second;
    EXPECT_EQ(sender.size(), 6u);
    EXPECT_EQ(pskField(sender, 1), "EA4XYZ");
    EXPECT_EQ(bigEndian(pskField(sender, 5)), 14'071'523u);  // dial + the signal's audio centre
    EXPECT_EQ(static_cast<std::int8_t>(pskField(sender, 6).at(0)), -12);
    EXPECT_EQ(pskField(sender, 10), "MIV2250X16");
    EXPECT_EQ(pskField(sender, 11), std::string(1, '\1'));  // read from a decode
    EXPECT_EQ(bigEndian(sender.at({0, 150})), kStart.time_since_epoch().count());
}

TEST_F(RecordedLogbook, SpotsKeepPskReportersRates)
{
    switchSpotsOn();
    hear("de EA4XYZ");
    ASSERT_EQ(sent.sent.size(), 1u);

    // Heard within five minutes: waits for the next datagram.
    clock.advance(1min);
    hear("de K1ABC", std::nullopt);
    hear("de EA4XYZ");  // again within the hour: never spotted twice
    clock.advance(3min + 59s);
    logbook.poll();
    EXPECT_EQ(sent.sent.size(), 1u);
    clock.advance(1s);
    logbook.poll();
    ASSERT_EQ(sent.sent.size(), 2u);
    const Collected second = collect(sent.sent[1].bytes);
    EXPECT_EQ(second.sequence, 2u);  // a receiver and a sender record went before
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_EQ(second.records[1].first, kSenderNoSnrTemplateId);  // no estimate: no SNR field
    EXPECT_EQ(pskField(second.records[1].second, 1), "K1ABC");
    EXPECT_EQ(pskField(second.records[1].second, 6), "(absent)");

    // An hour after its spot a station may be spotted again.
    clock.advance(56min);
    hear("de EA4XYZ");
    EXPECT_EQ(sent.sent.size(), 3u);
}

TEST_F(RecordedLogbook, NoSpotsUnlessSwitchedOnWithACallsignAndLocator)
{
    hear("de EA4XYZ");  // off by default
    switchSpotsOn();
    hear("de EA4XYZ", -3, true);  // cancelled: not sure enough
    hear("nothing that names a station");
    OperatorDetails me;  // "CALL", "Your Grid"
    operatorSection.save(me);
    hear("de K1ABC");
    logbook.heard({"de W1AW", false, 1500, 0, EffectiveMode::Eme}, std::nullopt);  // no dial frequency
    clock.advance(2h);
    logbook.poll();
    EXPECT_TRUE(sent.sent.empty());
}

TEST_F(RecordedLogbook, TheDraftGathersTheContactAndOkLogsAndBroadcastsIt)
{
    logbook.sent("EA4XYZ", "EA4XYZ de DL1ABC ur rst 599 599 name Hans");
    clock.advance(3min);
    hear("DL1ABC de EA4XYZ tnx ur 579 name is Juan qth Madrid loc IN80do");
    clock.advance(2min);
    Qso qso = logbook.draft("NONAME", EffectiveMode::Hf500Fast, kDial);  // the placeholder: the station heard
    EXPECT_EQ(
        std::tie(qso.callsign, qso.reportSent, qso.reportReceived, qso.name, qso.qth, qso.locator, qso.ownCallsign),
        std::tuple("EA4XYZ", "599", "579", "Juan", "Madrid", "IN80DO", "DL1ABC"));
    EXPECT_EQ(std::tuple(qso.start, qso.end, qso.snrDb), std::tuple(kStart, kStart + 5min, -12.4));
    EXPECT_EQ(logbook.draft("K1ABC", EffectiveMode::Eme, std::nullopt).start, kStart + 5min);  // never heard

    ASSERT_TRUE(logbook.log(qso));
    EXPECT_TRUE(sent.sent.empty());  // UDP is off by default
    LogSettings settings = logSection.value();
    settings.udpOn = true;
    settings.udpTarget = "192.0.2.7:2333";
    logSection.save(settings);
    ASSERT_TRUE(logbook.log(qso));
    ASSERT_EQ(sent.sent.size(), 1u);
    const std::string text = files.files.at("/log/miv_log.adi");
    const std::string udp(sent.sent[0].bytes.begin(), sent.sent[0].bytes.end());
    EXPECT_EQ(text.substr(text.size() - udp.size()), udp);  // the very record written
    const AdifLog log = readAdif(text);
    EXPECT_TRUE(log.problems.empty());
    EXPECT_EQ(log.records.size(), 2u);
}

}  // namespace
}  // namespace miv
