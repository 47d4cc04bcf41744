#include "ui/MainWindow.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "station/StationFakes.h"
#include "tx/Render.h"
#include "ui/TextView.h"

using namespace miv;

// The main window's wiring: each control calls the station and shows what it holds.
// The rules behind them are the station's and are tested there.
class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsItsTextsAsTheOperatorKnowsThem();
    void eachSwitchAsksTheStationAndShowsWhatItHolds();
    void macroButtonsFollowTheModeAndFillTheSendWindow();
    void theTransmitButtonTheKeysAndTheAbortDialog();
    void clearButtonsDestinationClockAndPorts();
    void gaugesAndTheCursorReadoutShowTheStation();
    void aMailedReportIsNotifiedUntilItsTimerEnds();

private:
    template <typename T = QWidget>
    T* find(const char* name)
    {
        T* widget = window_->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    bool shown(const char* name) { return !find(name)->isHidden(); }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    void type(const QString& keys) { QTest::keyClicks(&window_->sendWindow(), keys); }
    Station& station() { return window_->station(); }
    QtTextWindow& sendWindow() { return window_->sendWindow().window(); }
    std::string received() { return window_->receiveWindow().window().text(); }
    void tick(int ticks) { testing::runTransmitTimer(station(), ticks); }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\nE-mail=ea4xyz@example.org\n");
    window_ = std::make_unique<MainWindow>(platform_->platform());
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup()
{
    window_.reset();
    QVERIFY(platform_->messages.shown.empty());
}

void MainWindowTest::showsItsTextsAsTheOperatorKnowsThem()
{
    QCOMPARE(window_->windowTitle(), QString("MIV v2.5.0 Beta"));
    QStringList menus;
    for (QAction* action : window_->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus,
             (QStringList{"&Operator", "&COM", "&PTT", "&Decoder", "&SoundCard", "&E-Mail", "&Logbook", "&About"}));
    const QList<QAction*> ports = find<QMenu>("portMenu")->actions();
    QCOMPARE(ports.size(), 17);
    QCOMPARE(ports[0]->text(), QString("NO COM"));
    QCOMPARE(ports[1]->text(), QString("COM1 (ttyS0)"));
    QVERIFY(ports[5]->isEnabled() && !ports[2]->isEnabled());  // missing ports stay listed, disabled

    const std::pair<const char*, const char*> captions[] = {
        {"transmitButton", "PTT"},
        {"clearSendButton", "CLEAR"},
        {"clearScreenButton", "CLEAR SCREEN"},
        {"macroEmail", "@"},
        {"macroCall3", "CALL3"},
        {"destinationLabel", "Destination"},
        {"lampLabel", "TX/RX"},
        {"shiftRangeWideLabel", "\u00b1200 Hz"},
        {"shiftRangeNarrowLabel", "\u00b178 Hz"},
    };
    for (const auto& [name, caption] : captions)
        QVERIFY2(find(name)->property("text").toString() == QString::fromUtf8(caption), name);
    QCOMPARE(text("destination"), QString("NONAME"));
    QStringList frames;
    for (QGroupBox* box : window_->findChildren<QGroupBox*>())
        frames << box->title();
    QCOMPARE(frames, (QStringList{"Bandwidth", "Channel", "Symbol Rate", "Shift Range", "WaterFall", "Alarm"}));
    QCOMPARE(text("volumeCaption"), QString("Volume: -20 dB"));
    QCOMPARE(text("frequencyShiftCaption"), QString("Frequency Shift: 0 Hz"));
    QVERIFY(shown("receiveLamp") && !shown("transmitLamp"));
    QVERIFY(window_->sendWindow().hasFocus());
}

void MainWindowTest::eachSwitchAsksTheStationAndShowsWhatItHolds()
{
    const ModeSwitches& switches = station().switches();
    const struct {
        const char* first;
        const char* second;
        std::function<bool()> firstState;
    } pairs[] = {
        {"bandwidth2250", "bandwidth500", [&] { return switches.mode().bw2250; }},
        {"rate16", "rate1", [&] { return switches.mode().baud16; }},
        {"autoRateOn", "autoRateOff", [&] { return switches.mode().autoBaud; }},
        {"shiftRangeWide", "shiftRangeNarrow", [&] { return switches.afcWide(); }},
        {"waterfallOn", "waterfallOff", [&] { return switches.waterfallOn(); }},
        {"alarmOn", "alarmOff", [&] { return switches.alarmOn(); }},
        {"channelHf", "channelEme", [&] { return !switches.mode().eme; }},
    };
    for (const auto& pair : pairs) {
        QVERIFY2(shown(pair.first) && !shown(pair.second) && pair.firstState(), pair.first);
        click(pair.first);
        QVERIFY2(!shown(pair.first) && shown(pair.second) && !pair.firstState(), pair.first);
    }
    // EME: no waterfall, no bandwidth or rate to choose, and its own ranges.
    for (const char* hidden :
         {"waterfallFrame", "symbolRateFrame", "bandwidthFrame", "waterfall", "cursorReadout", "frequencyScale"})
        QVERIFY2(!shown(hidden), hidden);
    QCOMPARE(find<QLabel>("shiftRangeWideLabel")->text(), QString::fromUtf8("\u00b11300 Hz"));
    click("channelEme");
    click("waterfallOff");
    for (const char* visible :
         {"waterfallFrame", "symbolRateFrame", "bandwidthFrame", "waterfall", "cursorReadout", "frequencyScale"})
        QVERIFY2(shown(visible), visible);
}

void MainWindowTest::macroButtonsFollowTheModeAndFillTheSendWindow()
{
    for (const bool fast : {true, false}) {
        if (!fast)
            click("rate16");
        for (const Macro macro : kMacros) {
            const QByteArray name = QByteArray("macro") + macroName(macro);
            QCOMPARE(shown(name.constData()), station().macroVisible(macro));
            if (!station().macroVisible(macro))
                continue;
            MemoryTextWindow expected;
            insertMacro(macro, station().switches().mode(), "NONAME", station().operatorSection().value(), expected);
            sendWindow().setText("");
            click(name.constData());
            QCOMPARE(sendWindow().text(), expected.text());
            QVERIFY(window_->sendWindow().hasFocus());
        }
    }
}

void MainWindowTest::theTransmitButtonTheKeysAndTheAbortDialog()
{
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);  // nothing to abort
    QVERIFY(!window_->findChild<QWidget*>("abortDialog"));
    type("ABCDEF");
    auto* button = find<QPushButton>("transmitButton");
    click("transmitButton");
    QCOMPARE(button->text(), QString("STOP"));
    QVERIFY(shown("transmitLamp") && !shown("receiveLamp") && !find("macroCQ")->isEnabled());
    while (sendWindow().textIn(Colour::Red).size() < 3)
        tick(1);
    // The keys reach the rules: the sent text stays, the rest may change.
    sendWindow().setSelStart(1);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_X);
    sendWindow().setSelStart(3);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Delete);
    QCOMPARE(sendWindow().text(), std::string("ABCEF"));

    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);
    auto* dialog = find<QDialog>("abortDialog");
    QCOMPARE(dialog->windowTitle(), QString("ABORT TRANSMISSION"));
    QCOMPARE(dialog->findChild<QLabel*>()->text(), QString("The message will be cut. Are you sure?"));
    click("noButton");
    QTRY_VERIFY(!window_->findChild<QWidget*>("abortDialog"));

    click("transmitButton");
    QCOMPARE(button->text(), QString("WAIT"));
    QVERIFY(!button->isEnabled() && button->styleSheet().contains("#e0e0e0"));
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);
    QCOMPARE(find<QPushButton>("yesButton")->text(), QString("YES"));
    click("yesButton");
    tick(2);
    QCOMPARE(button->text(), QString("PTT"));
    QVERIFY(button->styleSheet().contains("#ff0000") && shown("receiveLamp") && !shown("transmitLamp"));
    QVERIFY(QString::fromStdString(received()).endsWith("ABC <CANCEL>"));
    QTRY_VERIFY(!window_->findChild<QWidget*>("abortDialog"));
}

void MainWindowTest::clearButtonsDestinationClockAndPorts()
{
    sendWindow().append("unsent");
    click("clearScreenButton");
    click("clearSendButton");
    QCOMPARE(received(), std::string("\r\n\r\n\r\n\r\n"));
    QCOMPARE(sendWindow().text(), std::string());

    auto* destination = find<QLineEdit>("destination");
    destination->clear();
    QTest::keyClicks(destination, "ea4");
    destination->setCursorPosition(1);
    QTest::keyClicks(destination, "b");
    QCOMPARE(destination->text(), QString("EBA4"));
    QCOMPARE(destination->cursorPosition(), 4);
    QCOMPARE(station().destination(), std::string("EBA4"));

    auto digits = [this] {
        QList<int> shownDigits;
        for (const char* name : {"clockDigit0", "clockDigit1", "clockDigit2", "clockDigit3"})
            shownDigits << find(name)->property("digit").toInt();
        return shownDigits;
    };
    QCOMPARE(digits(), (QList<int>{0, 9, 0, 5}));
    platform_->clock.set({23, 59, 0});
    station().timerFired(StationTimer::Clock);
    QCOMPARE(digits(), (QList<int>{2, 3, 5, 9}));

    find<QAction>("port5")->trigger();
    QCOMPARE(station().portMenu().checkedIndex(), 5);
    QVERIFY(find<QAction>("port5")->isChecked() && !find<QAction>("port0")->isChecked());

    find<QAction>("aboutMenu")->trigger();
    QVERIFY(find<QLabel>("version")->text().contains("2.5.0 Beta"));
}

void MainWindowTest::gaugesAndTheCursorReadoutShowTheStation()
{
    station().timerFired(StationTimer::CpuRefresh);
    QCOMPARE(text("cpuCaption"), QString("CPU Usage: 25 %"));
    QCOMPARE(find<QLineEdit>("cpuCaption")->palette().color(QPalette::Base), QColor(Qt::white));

    find<QLineEdit>("cursorReadout")->setText("Frec: 1500.0 Hz @ Shift: .0 Hz");
    click("waterfallOn");  // the readout stops and empties
    QCOMPARE(text("cursorReadout"), QString());
}

void MainWindowTest::aMailedReportIsNotifiedUntilItsTimerEnds()
{
    window_.reset();
    platform_->settings.save("[Operador]\nCallsign=G4ABC\n[Email]\nOption=1\nServidor SMTP=mail.example.com\n");
    auto audio =
        std::make_unique<MemoryAudioSource>(renderTransmission(ModemMode{}, "Hi <ea4xyz@example.org>").samples);
    audio->appendSilence(200);
    platform_->audio.recording = std::move(audio);
    window_ = std::make_unique<MainWindow>(platform_->platform());
    QVERIFY(testing::receiveUntil(station(), [&] { return received().ends_with(" <STOP>"); }));
    QVERIFY(received().ends_with("<ea4xyz@example.org> <STOP>"));
    platform_->mail.waitForSends(1);
    QCOMPARE(platform_->mail.sent().front().to, std::string("ea4xyz@example.org"));
    QTRY_VERIFY_WITH_TIMEOUT(
        (station().timerFired(StationTimer::Clock), window_->findChild<QWidget*>("emailNotification")), 5000);
    auto* notification = find<QDialog>("emailNotification");
    QCOMPARE(notification->windowTitle(), QString("Email Notification"));
    QCOMPARE(notification->findChild<QLabel*>("outcome")->text(), QString("Email sent"));
    QCOMPARE(station().timerInterval(StationTimer::MailNotification), 4000);
    station().timerFired(StationTimer::MailNotification);
    QTRY_VERIFY(!window_->findChild<QWidget*>("emailNotification"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
