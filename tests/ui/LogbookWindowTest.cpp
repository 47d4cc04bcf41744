#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "logbook/AdifReader.h"
#include "platform/TestDirectory.h"
#include "platform/logbook/FileLogFiles.h"
#include "station/StationFakes.h"
#include "ui/MainWindow.h"
#include "ui/TextView.h"

using namespace miv;
using namespace std::chrono_literals;

namespace {

const std::chrono::sys_seconds kStart{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 4h};

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
    QVERIFY(testing::receiveUntil(station(), [&] { return received().find("<STOP>") != std::string::npos; }));
    QVERIFY(received().find("G4ABC pse k <STOP>") != std::string::npos);
    QVERIFY(find<QLabel>("signalToNoise")->text().startsWith("SNR "));  // the receiver's estimate

    wallClock_->advance(1min);
    QTest::keyClicks(&window_->sendWindow(), "G4ABC de EA4XYZ ur 599 599 name Ana k");
    station().pressTransmitButton();
    station().pressTransmitButton();  // the end, once all is sent
    testing::runTransmitTimer(station());
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
    std::ofstream(logPath_, std::ios::app) << "Other logger\n<ADIF_VER:5>3.1.4 <EOH>\n" << theirs;
    QTest::mouseClick(find<QPushButton>("okButton"), Qt::LeftButton);
    QTRY_VERIFY(!window_->findChild<QDialog*>("logQsoDialog"));
    std::ofstream(logPath_, std::ios::app) << theirs;

    const std::string text = test::readFile(logPath_);
    QCOMPARE(text.find("<EOH>"), text.rfind("<EOH>"));  // no header of ours
    const AdifLog log = readAdif(text);
    QCOMPARE(log.records.size(), std::size_t{3});
    QCOMPARE(log.records[0].record.get("CALL"), std::optional<std::string>("W1AW"));
    QCOMPARE(log.records[2].record.get("CALL"), std::optional<std::string>("W1AW"));
    QStringList ours;
    for (const AdifField& field : log.records[1].record.fields())
        ours << QString::fromStdString(field.name + '=' + field.value);
    // The SNR is the receiver's estimate, as the window showed it.
    QCOMPARE(ours, (QStringList{"CALL=G4ABC", "QSO_DATE=20261207", "TIME_ON=040000", "QSO_DATE_OFF=20261207",
                                "TIME_OFF=040500", "FREQ=14.070000", "BAND=20m", "MODE=MFSK", "SUBMODE=MIV2250X16",
                                "RST_SENT=599", "RST_RCVD=579", "COMMENT=first MIV contact", "APP_MIV_SNR=18",
                                "STATION_CALLSIGN=EA4XYZ", "MY_GRIDSQUARE=IN80DO"}));
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

    QVERIFY(testing::receiveUntil(station(), [&] { return !datagrams_.sent.empty(); }));
    QCOMPARE(datagrams_.sent.size(), std::size_t{1});
    QCOMPARE(datagrams_.sent[0].target.host, std::string("report.pskreporter.info"));
}

QTEST_MAIN(LogbookWindowTest)
#include "LogbookWindowTest.moc"
