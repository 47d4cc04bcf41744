#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "ui/StationFakes.h"
#include "ui/TextView.h"
#include "ui/frmPrincipal.h"

using namespace miv;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleMenusAndCaptions();
    void bandwidthClickSwapsThePairAndKeepsTheText();
    void symbolRateClickClearsTheSendWindowAndSwapsTheMacros();
    void emeHidesTheHfFramesAndSetsTheAfcCaptions();
    void theOtherSwitchesSwapTheirPairs();
    void everyMacroButtonInEveryMode();
    void cqReplacesTheTextAndClearScreenForgetsIt();
    void clearButtons();
    void destinationIsUpperCaseWithTheCaretAtTheEnd();
    void clockShowsTheUtcDigits();
    void comMenuChecksOneEntry();
    void aboutBoxShowsDescriptionAndVersion();
    void displaysStartAtRestAndTheCpuGaugeFollowsTheLoad();
    void cursorReadoutRunsOnlyWithAWaterfallToPointAt();

private:
    template <typename T>
    T* find(const char* name)
    {
        T* widget = window_->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }
    bool shown(const char* name) { return !find<QWidget>(name)->isHidden(); }
    std::string sendText() { return window_->sendWindow().window().text(); }
    std::string receiveText() { return window_->receiveWindow().window().text(); }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<frmPrincipal> window_;
};

void MainWindowTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\nLocator=in80dk\nE-mail=ea4xyz@example.org\n");
    window_ = std::make_unique<frmPrincipal>(platform_->platform());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup()
{
    window_.reset();
    QVERIFY(platform_->messages.shown.empty());
}

void MainWindowTest::titleMenusAndCaptions()
{
    QCOMPARE(window_->windowTitle(), QString("MIV v2.5.0 Beta"));
    QStringList menus;
    for (QAction* action : window_->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, (QStringList{"&Operator", "&COM", "&SoundCard", "&E-Mail", "&About"}));
    QStringList ports;
    for (QAction* action : window_->menuBar()->actions()[1]->menu()->actions())
        ports << action->text();
    QCOMPARE(ports.size(), 17);
    QCOMPARE(ports.front(), QString("NO COM"));
    // Each port with the device it stands for; the missing ones are there but disabled.
    QCOMPARE(ports[1], QString("COM1 (ttyS0)"));
    QCOMPARE(ports[2], QString("COM2"));
    QCOMPARE(ports.back(), QString("COM16"));
    const QList<QAction*> entries = window_->menuBar()->actions()[1]->menu()->actions();
    QVERIFY(entries[0]->isEnabled() && entries[1]->isEnabled() && entries[5]->isEnabled());
    QVERIFY(!entries[2]->isEnabled() && !entries[16]->isEnabled());

    QCOMPARE(find<QPushButton>("cmdTX_RX")->text(), QString("PTT"));
    QCOMPARE(find<QPushButton>("cmdClearVentanaTX")->text(), QString("CLEAR"));
    QCOMPARE(find<QPushButton>("cmdClearScreen")->text(), QString("CLEAR SCREEN"));
    QCOMPARE(find<QPushButton>("cmdEmail")->text(), QString("@"));
    QCOMPARE(find<QLabel>("Label18")->text(), QString("Destination"));
    QCOMPARE(find<QLineEdit>("Text14")->text(), QString("NONAME"));
    QCOMPARE(find<QLabel>("Label1")->text(), QString("TX/RX"));
    QCOMPARE(find<QGroupBox>("fraChannel")->title(), QString("Channel"));
    QCOMPARE(find<QGroupBox>("fraSymbolRate")->title(), QString("Symbol Rate"));
    QCOMPARE(find<QGroupBox>("fraWaterFall")->title(), QString("WaterFall"));
    QCOMPARE(find<QGroupBox>("fraAlarma")->title(), QString("Alarm"));
    QVERIFY(shown("imgLedVerde") && !shown("imgLedRojo"));
    for (const char* gauge : {"pctVumetro", "pctMetrica", "pctErrores", "pctSimbolosCoincidentes", "pctTramaFinal",
                              "pctCPU", "pctJitter", "pctOffsetFrecuencia"})
        QVERIFY2(shown(gauge), gauge);
    for (const char* caption : {"Text7", "Text10", "Text3", "Text1", "Text11", "Text5", "Text4", "Text6"})
        QVERIFY2(shown(caption), caption);
    QVERIFY(window_->sendWindow().hasFocus());
}

void MainWindowTest::bandwidthClickSwapsThePairAndKeepsTheText()
{
    window_->sendWindow().window().append("keep me");
    QVERIFY(shown("imgBW2250") && !shown("imgBW500"));
    click("imgBW2250");
    QVERIFY(!shown("imgBW2250") && shown("imgBW500"));
    QVERIFY(!window_->station().switches().mode().bw2250);
    QCOMPARE(sendText(), std::string("keep me"));
    click("imgBW500");
    QVERIFY(window_->station().switches().mode().bw2250);
}

void MainWindowTest::symbolRateClickClearsTheSendWindowAndSwapsTheMacros()
{
    window_->sendWindow().window().append("gone");
    QVERIFY(shown("cmdCall3") && !shown("cmdRRR"));
    click("imgONBaud");
    QVERIFY(!shown("imgONBaud") && shown("imgOFFBaud"));
    QCOMPARE(sendText(), std::string());
    QVERIFY(!shown("cmdCall3") && !shown("cmdMe") && !shown("cmdStation"));
    QVERIFY(shown("cmdRO") && shown("cmdRRR"));
    click("imgOFFBaud");
    QVERIFY(window_->station().switches().mode().baud16);
    QVERIFY(shown("cmdCall3"));
}

void MainWindowTest::emeHidesTheHfFramesAndSetsTheAfcCaptions()
{
    QCOMPARE(find<QLabel>("lblAFCAmplio")->text(), QString::fromUtf8("\u00b1200 Hz"));
    QCOMPARE(find<QLabel>("lblAFCEstrecho")->text(), QString::fromUtf8("\u00b178 Hz"));
    window_->sendWindow().window().append("gone");
    click("imgHF");
    QVERIFY(!shown("imgHF") && shown("imgEME"));
    QCOMPARE(sendText(), std::string());
    for (const char* hidden : {"fraWaterFall", "fraSymbolRate", "fraBW", "pctWaterfall", "Text2"})
        QVERIFY2(!shown(hidden), hidden);
    QCOMPARE(find<QLabel>("lblAFCAmplio")->text(), QString::fromUtf8("\u00b11300 Hz"));
    QCOMPARE(find<QLabel>("lblAFCEstrecho")->text(), QString::fromUtf8("\u00b1600 Hz"));
    QVERIFY(!shown("cmdCall3") && shown("cmdRO") && shown("cmdRRR"));

    click("imgEME");
    for (const char* visible : {"fraWaterFall", "fraSymbolRate", "fraBW", "pctWaterfall", "Text2"})
        QVERIFY2(shown(visible), visible);
    QCOMPARE(find<QLabel>("lblAFCAmplio")->text(), QString::fromUtf8("\u00b1200 Hz"));
}

void MainWindowTest::theOtherSwitchesSwapTheirPairs()
{
    const ModeSwitches& switches = window_->station().switches();
    click("imgONAutoBaud");
    QVERIFY(!switches.mode().autoBaud && shown("imgOFFAutoBaud") && !shown("imgONAutoBaud"));
    click("imgAFC200");
    QVERIFY(!switches.afcWide() && shown("imgAFC50"));
    click("imgONAlarm");
    QVERIFY(!switches.alarmOn() && shown("imgOFFAlarm"));
    click("imgONWaterFall");
    QVERIFY(!switches.waterfallOn() && shown("imgOFFWaterFall"));
    QVERIFY(!shown("pctWaterfall") && !shown("Text2"));
    click("imgOFFWaterFall");
    QVERIFY(shown("pctWaterfall") && shown("Text2"));
}

void MainWindowTest::everyMacroButtonInEveryMode()
{
    struct Case {
        const char* button;
        const char* fast;
        const char* slow;  // nullptr: hidden at 1 baud
    };
    const Case cases[] = {
        {"cmdCQ", "CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k ", "CQ EA4XYZ IN80DK "},
        {"cmdCall", "G4ABC de EA4XYZ ", "G4ABC EA4XYZ IN80DK OOO "},
        {"cmdCall3", "G4ABC G4ABC G4ABC de EA4XYZ EA4XYZ EA4XYZ kn ", nullptr},
        {"cmdMe", "My name is: Name, my QTH is: Your QTH, Locator: in80dk ", nullptr},
        {"cmdStation", "My Station: Features of your Radio Station ", nullptr},
        {"cmdRRR", nullptr, "RRR "},
        {"cmdRO", nullptr, "G4ABC EA4XYZ RO "},
        {"cmdEmail", "My email is: <ea4xyz@example.org> <ea4xyz@example.org> <ea4xyz@example.org> ",
         "<EA4XYZ@EXAMPLE.ORG> "},
        {"cmdBye", "tnx fer QSO, 73. G4ABC de EA4XYZ sk ", "73 "},
        {"cmdCustom", "(Write what you wish) ", "(Write what you wish) "},
    };
    find<QLineEdit>("Text14")->clear();
    QTest::keyClicks(find<QLineEdit>("Text14"), "g4abc");
    for (int mode = 0; mode < 3; ++mode) {  // HF 16 baud, HF 1 baud, EME (1 baud chosen)
        if (mode == 1)
            click("imgONBaud");
        if (mode == 2)
            click("imgHF");
        for (const Case& c : cases) {
            const char* expected = mode == 0 ? c.fast : c.slow;
            QCOMPARE(shown(c.button), expected != nullptr);
            if (!expected)
                continue;
            window_->sendWindow().window().setText("");
            click(c.button);
            QVERIFY2(sendText() == expected, c.button);
            QVERIFY(window_->sendWindow().hasFocus());
        }
    }
}

void MainWindowTest::cqReplacesTheTextAndClearScreenForgetsIt()
{
    window_->sendWindow().window().append("typed ");
    window_->station().clickMacro(Macro::RRR);  // hidden at 16 baud: does nothing
    QCOMPARE(sendText(), std::string("typed "));
    click("cmdCQ");
    click("cmdCQ");
    QCOMPARE(sendText(), std::string("CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k "));
    QVERIFY(window_->station().longInitialTone());
    click("cmdBye");
    click("cmdBye");
    QCOMPARE(sendText(), std::string("CQ CQ CQ de EA4XYZ EA4XYZ EA4XYZ pse k "
                                     "tnx fer QSO, 73. NONAME de EA4XYZ sk "
                                     "tnx fer QSO, 73. NONAME de EA4XYZ sk "));
    click("cmdClearScreen");
    QVERIFY(!window_->station().longInitialTone());
}

void MainWindowTest::clearButtons()
{
    window_->receiveWindow().window().append("RX: old text");
    click("cmdClearScreen");
    QCOMPARE(receiveText(), std::string("\r\n\r\n\r\n\r\n"));
    QCOMPARE(window_->receiveWindow().window().selStart(), 8);
    click("cmdClearScreen");
    QCOMPARE(receiveText(), std::string("\r\n\r\n\r\n\r\n"));

    window_->sendWindow().window().append("unsent text");
    click("cmdClearVentanaTX");
    QCOMPARE(sendText(), std::string());
}

void MainWindowTest::destinationIsUpperCaseWithTheCaretAtTheEnd()
{
    auto* box = find<QLineEdit>("Text14");
    box->clear();
    QTest::keyClicks(box, "ea4");
    QCOMPARE(box->text(), QString("EA4"));
    QCOMPARE(box->cursorPosition(), 3);
    box->setCursorPosition(1);
    QTest::keyClicks(box, "b");
    QCOMPARE(box->text(), QString("EBA4"));
    QCOMPARE(box->cursorPosition(), 4);
    QCOMPARE(window_->station().destination(), std::string("EBA4"));
}

void MainWindowTest::clockShowsTheUtcDigits()
{
    auto digits = [this] {
        QList<int> shownDigits;
        for (int i = 0; i < 4; ++i)
            shownDigits << find<QLabel>(qPrintable(QString("imgFondo%1").arg(i)))->property("digit").toInt();
        return shownDigits;
    };
    QCOMPARE(digits(), (QList<int>{0, 9, 0, 5}));
    platform_->clock.set({23, 59, 0});
    QTRY_COMPARE_WITH_TIMEOUT(digits(), (QList<int>{2, 3, 5, 9}), 3000);
    QCOMPARE(window_->station().clock().utcNow().hour, 23);
}

void MainWindowTest::comMenuChecksOneEntry()
{
    QMenu* menu = window_->menuBar()->actions()[1]->menu();
    const QList<QAction*> entries = menu->actions();
    QVERIFY(entries[0]->isChecked());
    entries[5]->trigger();
    int checked = 0;
    for (QAction* entry : entries)
        checked += entry->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);
    QVERIFY(entries[5]->isChecked());
    QCOMPARE(entries[5]->text(), QString("COM5 (ttyUSB0)"));
    QCOMPARE(window_->station().comMenu().checkedIndex(), 5);
}

void MainWindowTest::aboutBoxShowsDescriptionAndVersion()
{
    window_->menuBar()->actions()[4]->trigger();
    QDialog* about = window_->findChild<QDialog*>("frmAbout");
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QString("About MIV"));
    QVERIFY(about->findChild<QLabel*>("lblVersion")->text().contains("2.5.0 Beta"));
    QVERIFY(about->findChild<QLabel*>("lblDescription")->text().contains("amateur radio"));
    about->close();
}

void MainWindowTest::displaysStartAtRestAndTheCpuGaugeFollowsTheLoad()
{
    QCOMPARE(find<QLineEdit>("Text7")->text(), QString("Volume: -20 dB"));
    QCOMPARE(find<QLineEdit>("Text10")->text(), QString("Metric: -18 dB"));
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString("Frame Acquisition: 0/20"));
    QCOMPARE(find<QLineEdit>("Text4")->text(), QString("Frequency Shift: 0 Hz"));
    Station& station = window_->station();
    QVERIFY(station.timerRunning(StationTimer::RefrescoCPU));
    QCOMPARE(station.timerInterval(StationTimer::RefrescoCPU), 1000);
    station.timerFired(StationTimer::RefrescoCPU);
    QCOMPARE(find<QLineEdit>("Text6")->text(), QString("CPU Usage: 25 %"));
    QCOMPARE(find<QLineEdit>("Text6")->palette().color(QPalette::Base), QColor(Qt::white));
}

void MainWindowTest::cursorReadoutRunsOnlyWithAWaterfallToPointAt()
{
    Station& station = window_->station();
    QVERIFY(station.timerRunning(StationTimer::PosicionCursor));
    QCOMPARE(station.timerInterval(StationTimer::PosicionCursor), 100);
    QCOMPARE(station.cursorReadout(0, 10, 769, 100), std::string("Frec: .0 Hz @ Shift: -1500.0 Hz"));
    QCOMPARE(station.cursorReadout(-1, 10, 769, 100), std::string());
    click("imgONWaterFall");
    QVERIFY(!station.timerRunning(StationTimer::PosicionCursor));
    click("imgOFFWaterFall");
    QVERIFY(station.timerRunning(StationTimer::PosicionCursor));
    click("imgHF");
    QVERIFY(!station.timerRunning(StationTimer::PosicionCursor));
    click("imgEME");
    QVERIFY(station.timerRunning(StationTimer::PosicionCursor));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
