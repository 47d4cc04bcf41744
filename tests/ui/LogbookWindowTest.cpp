#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/TestDirectory.h"
#include "platform/logbook/FileLogFiles.h"
#include "station/StationFakes.h"
#include "ui/MainWindow.h"
#include "ui/TextView.h"

using namespace miv;
using namespace std::chrono_literals;

namespace {

const std::chrono::sys_seconds kStart{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 4h};

// ADIF read back independently of the program's reader: the fields of each record,
// after the header.
std::vector<std::map<std::string, std::string>> adifRecords(const std::string& text, int& headers)
{
    std::vector<std::map<std::string, std::string>> records(1);
    headers = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        const std::size_t close = text.find('>', at);
        std::string tag = text.substr(at + 1, close - at - 1);
        for (char& c : tag)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        at = close + 1;
        const std::size_t colon = tag.find(':');
        if (colon == std::string::npos) {
            if (tag == "EOH") {
                ++headers;
                records.back().clear();
            } else if (tag == "EOR") {
                records.emplace_back();
            }
            continue;
        }
        const std::size_t length = std::stoul(tag.substr(colon + 1));
        records.back()[tag.substr(0, colon)] = text.substr(at, length);
        at += length;
    }
    records.pop_back();
    return records;
}

void appendAsAnotherProgram(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fd);
}

}  // namespace

// The logbook from the window: a contact heard and answered, logged with Ctrl+L.
class LogbookWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aContactEndsAsOneValidRecordBesideAnotherProgramsRecords();
    void spotsAreSwitchedOnInTheLogbookWindow();

private:
    template <typename T = QWidget>
    T* find(const char* name)
    {
        T* widget = window_->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    Station& station() { return window_->station(); }

    std::unique_ptr<test::TestDirectory> dir_;
    std::string logPath_;
    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<ManualWallClock> wallClock_;
    FileLogFiles files_;
    RecordedDatagrams datagrams_;
    std::unique_ptr<LogPlatform> log_;
    std::unique_ptr<MainWindow> window_;
};

void LogbookWindowTest::init()
{
    dir_ = std::make_unique<test::TestDirectory>();
    logPath_ = *dir_ / "shared.adi";
    platform_ = std::make_unique<testing::FakePlatform>();
    platform_->settings.save(
        "[Operador]\nCallsign=EA4XYZ\nLocator=IN80DO\n[Rig]\nDial Frequency=14070000\n[Log]\nFile=" + logPath_ + "\n");
    platform_->audio.recording = testing::recording("hf2250-16.flac");  // "CQ CQ de G4ABC G4ABC pse k"
    wallClock_ = std::make_unique<ManualWallClock>(kStart);
    log_ = std::make_unique<LogPlatform>(LogPlatform{*wallClock_, files_, datagrams_, *dir_ / "unused.adi", 1});
    StationPlatform platform = platform_->platform();
    platform.log = log_.get();
    window_ = std::make_unique<MainWindow>(platform);
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void LogbookWindowTest::cleanup()
{
    window_.reset();
    QVERIFY(platform_->messages.shown.empty());
}

void LogbookWindowTest::aContactEndsAsOneValidRecordBesideAnotherProgramsRecords()
{
    const auto received = [this] { return window_->receiveWindow().window().text(); };
    for (int n = 0; n < 4000 && received().find("<STOP>") == std::string::npos; ++n)
        station().timerFired(StationTimer::Receive);
    QVERIFY(received().find("G4ABC pse k <STOP>") != std::string::npos);
    QVERIFY(find<QLabel>("signalToNoise")->text().startsWith("SNR "));  // the receiver's estimate

    wallClock_->advance(1min);
    QTest::keyClicks(&window_->sendWindow(), "G4ABC de EA4XYZ ur 599 599 name Ana k");
    station().pressTransmitButton();
    station().pressTransmitButton();  // the end, once all is sent
    for (int n = 0; n < 4000 && station().timerRunning(StationTimer::Transmit); ++n)
        station().timerFired(StationTimer::Transmit);
    QCOMPARE(station().txState(), TxState::Receiving);

    wallClock_->advance(4min);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
    QTRY_VERIFY(window_->findChild<QDialog*>("logQsoDialog"));           // a button's shortcut clicks it a moment later
    QCOMPARE(find<QLineEdit>("qsoCallsign")->text(), QString("G4ABC"));  // the station heard: no destination typed
    QCOMPARE(find<QDateTimeEdit>("qsoStart")->dateTime().toSecsSinceEpoch(), kStart.time_since_epoch().count());
    QCOMPARE(find<QLineEdit>("qsoFrequency")->text(), QString("14.070000"));
    QCOMPARE(find<QLineEdit>("qsoBand")->text(), QString("20m"));
    QCOMPARE(find<QLineEdit>("qsoReportSent")->text(), QString("599"));
    QCOMPARE(find<QLabel>("qsoMode")->text(), QString("MFSK / MIV2250X16"));
    find<QLineEdit>("qsoReportReceived")->setText("579");
    find<QLineEdit>("qsoComment")->setText("first MIV contact");

    // Another logger writes the file first, and again after us.
    const std::string theirs = "<CALL:4>W1AW <QSO_DATE:8>20261207 <TIME_ON:4>0350 <MODE:3>FT8 <EOR>\n";
    appendAsAnotherProgram(logPath_, "Other logger\n<ADIF_VER:5>3.1.4 <EOH>\n" + theirs);
    QTest::mouseClick(find<QPushButton>("okButton"), Qt::LeftButton);
    QTRY_VERIFY(!window_->findChild<QDialog*>("logQsoDialog"));
    appendAsAnotherProgram(logPath_, theirs);

    std::ifstream file(logPath_);
    std::stringstream text;
    text << file.rdbuf();
    int headers = 0;
    const auto records = adifRecords(text.str(), headers);
    QCOMPARE(headers, 1);
    QCOMPARE(records.size(), std::size_t{3});
    QCOMPARE(records[0].at("CALL"), std::string("W1AW"));
    QCOMPARE(records[2].at("CALL"), std::string("W1AW"));
    const std::map<std::string, std::string> expected{
        {"CALL", "G4ABC"},
        {"QSO_DATE", "20261207"},
        {"TIME_ON", "040000"},
        {"QSO_DATE_OFF", "20261207"},
        {"TIME_OFF", "040500"},
        {"FREQ", "14.070000"},
        {"BAND", "20m"},
        {"MODE", "MFSK"},
        {"SUBMODE", "MIV2250X16"},
        {"RST_SENT", "599"},
        {"RST_RCVD", "579"},
        {"COMMENT", "first MIV contact"},
        {"STATION_CALLSIGN", "EA4XYZ"},
        {"MY_GRIDSQUARE", "IN80DO"},
        {"APP_MIV_SNR", "18"},  // the receiver's estimate, as the window showed it
    };
    QCOMPARE(records[1], expected);
    QVERIFY(datagrams_.sent.empty());  // UDP and spots are off by default
}

void LogbookWindowTest::spotsAreSwitchedOnInTheLogbookWindow()
{
    window_->findChild<QAction*>("logMenu")->trigger();
    find<QCheckBox>("spotsOn")->setChecked(true);
    QVERIFY(station().logSection().value().spotsOn);  // the open window is the live store
    QTest::mouseClick(find<QPushButton>("saveButton"), Qt::LeftButton);
    QTRY_VERIFY(!window_->findChild<QDialog*>("logSettingsDialog"));
    QVERIFY(platform_->settings.text()->find("Report Spots=1") != std::string::npos);

    for (int n = 0; n < 4000 && datagrams_.sent.empty(); ++n)
        station().timerFired(StationTimer::Receive);
    QCOMPARE(datagrams_.sent.size(), std::size_t{1});
    QCOMPARE(datagrams_.sent[0].target.host, std::string("report.pskreporter.info"));
}

QTEST_MAIN(LogbookWindowTest)
#include "LogbookWindowTest.moc"
