#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "ui/StationFakes.h"
#include "ui/TextView.h"
#include "ui/frmPrincipal.h"

using namespace miv;

// The transmit button, the abort dialog and the send window's rules, with the station's
// output going to memory.
class TransmissionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pttStopWaitPttSendsTheTextAndEndsWithStop();
    void modeClicksAreRefusedWhileSending();
    void escWhileReceivingDoesNothing();
    void escThenYesCutsTheTransmission();
    void escThenNoLetsItRunToTheEnd();
    void sentTextCannotBeEditedButTheRestCan();
    void oneBaudTypingKeepsTheSixBitAlphabetInCapitals();
    void cqIsLockedWhileSendingAndClearKeepsTheSentText();
    void aMissingPortAsksAndAbortKeepsReceiving();
    void aMissingOutputIsToldOnceAndStopStillEnds();
    void closingWhileKeyedUnkeysFirst();
    void soundCardSaveWaitsForTheEndOfTheTransmission();

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
    void type(const QString& text) { QTest::keyClicks(&window_->sendWindow(), text); }
    QString button() { return find<QPushButton>("cmdTX_RX")->text(); }
    Station& station() { return window_->station(); }
    QtTextWindow& sendWindow() { return window_->sendWindow().window(); }
    QtTextWindow& receiveWindow() { return window_->receiveWindow().window(); }
    // Runs the transmit timer's ticks; false when the transmission did not end.
    bool tick(int ticks)
    {
        for (int n = 0; n < ticks && station().timerRunning(StationTimer::TX); ++n)
            station().timerFired(StationTimer::TX);
        return !station().timerRunning(StationTimer::TX);
    }
    bool runToTheEnd() { return tick(100000) && station().txState() == 0; }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<frmPrincipal> window_;
};

void TransmissionTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\n");
    window_ = std::make_unique<frmPrincipal>(platform_->platform());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->sendWindow().setFocus();
}

void TransmissionTest::cleanup()
{
    window_.reset();
}

void TransmissionTest::pttStopWaitPttSendsTheTextAndEndsWithStop()
{
    type("HELLO");
    QCOMPARE(button(), QString("PTT"));
    QVERIFY(shown("imgLedVerde") && !shown("imgLedRojo"));
    click("cmdTX_RX");
    QCOMPARE(button(), QString("STOP"));
    QVERIFY(find<QPushButton>("cmdTX_RX")->isEnabled());
    QVERIFY(shown("imgLedRojo") && !shown("imgLedVerde"));
    QVERIFY(station().timerRunning(StationTimer::TX));
    QCOMPARE(station().timerInterval(StationTimer::TX), 1);
    QVERIFY(!station().timerRunning(StationTimer::PosicionCursor));
    QVERIFY(platform_->audio.output.isOpen());

    tick(40);        // the lead-in, the initial tone and the first symbols
    type(" WORLD");  // typed while sending: it goes too
    click("cmdTX_RX");
    QCOMPARE(button(), QString("WAIT"));
    QVERIFY(!find<QPushButton>("cmdTX_RX")->isEnabled());
    QVERIFY(find<QPushButton>("cmdTX_RX")->styleSheet().contains("#e0e0e0"));
    click("cmdTX_RX");  // disabled: nothing
    QVERIFY(runToTheEnd());

    QCOMPARE(button(), QString("PTT"));
    QVERIFY(find<QPushButton>("cmdTX_RX")->styleSheet().contains("#ff0000"));
    QVERIFY(shown("imgLedVerde") && !shown("imgLedRojo"));
    QVERIFY(!platform_->audio.output.isOpen());
    const std::string received = receiveWindow().text();
    QVERIFY2(received.ends_with("TX <09:05 UTC> HELLO WORLD <STOP>"), received.c_str());
    QCOMPARE(receiveWindow().textIn(Colour::Red), std::string("TX HELLO WORLD <STOP>"));
    QCOMPARE(sendWindow().text(), std::string("HELLO WORLD"));
    for (int i = 0; i < sendWindow().length(); ++i)
        QCOMPARE(sendWindow().colourAt(i), Colour::Black);
    // Ten silent blocks, the initial tone, the symbols: several seconds of audio.
    const auto& samples = platform_->audio.output.samples();
    QVERIFY(samples.size() > 60u * kBlockSamples);
    QVERIFY(std::all_of(samples.begin(), samples.begin() + 10 * kBlockSamples, [](auto v) { return v == 0; }));
    QVERIFY(std::any_of(samples.begin() + 10 * kBlockSamples, samples.end(), [](auto v) { return v != 0; }));
    QVERIFY(station().timerRunning(StationTimer::PosicionCursor));
}

void TransmissionTest::modeClicksAreRefusedWhileSending()
{
    type("AB");
    click("cmdTX_RX");
    click("imgBW2250");
    click("imgONBaud");
    click("imgHF");
    const ModemMode& mode = station().switches().mode();
    QVERIFY(mode.bw2250 && mode.baud16 && !mode.eme);
    QVERIFY(shown("imgBW2250"));
    QCOMPARE(sendWindow().text(), std::string("AB"));
    click("imgONAutoBaud");  // not guarded
    QVERIFY(!mode.autoBaud);
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    click("imgBW2250");
    QVERIFY(!mode.bw2250);
}

void TransmissionTest::escWhileReceivingDoesNothing()
{
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);
    QVERIFY(!window_->findChild<QWidget*>("frmStopTransmission"));
    QCOMPARE(station().txState(), 0);
}

void TransmissionTest::escThenYesCutsTheTransmission()
{
    type("A LONG MESSAGE THAT WILL NOT GO OUT WHOLE");
    click("cmdTX_RX");
    tick(30);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);
    auto* dialog = window_->findChild<QWidget*>("frmStopTransmission");
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QString("ABORT TRANSMISSION"));
    QVERIFY(dialog->findChild<QLabel*>()->text() == "The message will be cut. Are you sure?");
    QCOMPARE(dialog->findChild<QPushButton*>("cmdYES")->text(), QString("YES"));
    QCOMPARE(dialog->findChild<QPushButton*>("cmdNO")->text(), QString("NO"));
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdYES"), Qt::LeftButton);
    QVERIFY(tick(2));  // the next queued block ends it
    QCOMPARE(station().txState(), 0);
    QVERIFY(receiveWindow().text().ends_with(" <CANCEL>"));
    QVERIFY(receiveWindow().text().find("<STOP>") == std::string::npos);
    QCOMPARE(button(), QString("PTT"));
    QTRY_VERIFY(!window_->findChild<QWidget*>("frmStopTransmission"));
}

void TransmissionTest::escThenNoLetsItRunToTheEnd()
{
    type("OK");
    click("cmdTX_RX");
    tick(20);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Escape);
    auto* dialog = window_->findChild<QWidget*>("frmStopTransmission");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdNO"), Qt::LeftButton);
    QTRY_VERIFY(!window_->findChild<QWidget*>("frmStopTransmission"));
    QVERIFY(!tick(20));
    QCOMPARE(station().txState(), 1);
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    QVERIFY(receiveWindow().text().ends_with("OK <STOP>"));
}

void TransmissionTest::sentTextCannotBeEditedButTheRestCan()
{
    type("ABCDEF");
    click("cmdTX_RX");
    while (station().txState() == 1 && sendWindow().textIn(Colour::Red).size() < 3)
        tick(1);
    const std::string sent = sendWindow().textIn(Colour::Red);
    QCOMPARE(sent, std::string("ABC"));
    sendWindow().setSelStart(1);  // inside the sent text
    QTest::keyClick(&window_->sendWindow(), Qt::Key_X);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Backspace);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Delete);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_End);
    QCOMPARE(sendWindow().text(), std::string("ABCDEF"));
    QCOMPARE(sendWindow().selStart(), 1);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Right);  // moving is allowed
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Right);
    QCOMPARE(sendWindow().selStart(), 3);
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Delete);  // at the edge: unsent text may go
    QCOMPARE(sendWindow().text(), std::string("ABCEF"));
    sendWindow().moveToEnd();
    type("G");
    QCOMPARE(sendWindow().text(), std::string("ABCEFG"));
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    QVERIFY(receiveWindow().text().ends_with("ABCEFG <STOP>"));
}

void TransmissionTest::oneBaudTypingKeepsTheSixBitAlphabetInCapitals()
{
    click("imgONBaud");
    type("cq de ea4xyz;");
    QTest::keyClick(&window_->sendWindow(), Qt::Key_Return);
    QCOMPARE(sendWindow().text(), std::string("CQ DE EA4XYZ"));
}

void TransmissionTest::cqIsLockedWhileSendingAndClearKeepsTheSentText()
{
    type("ABCDEFGH");
    click("cmdTX_RX");
    QVERIFY(!find<QPushButton>("cmdCQ")->isEnabled());
    QVERIFY(find<QPushButton>("cmdRRR")->isHidden() && find<QPushButton>("cmdBye")->isEnabled());
    station().clickMacro(Macro::CQ);
    QCOMPARE(sendWindow().text(), std::string("ABCDEFGH"));
    while (station().txState() == 1 && sendWindow().textIn(Colour::Red).size() < 2)
        tick(1);
    click("cmdClearVentanaTX");
    QCOMPARE(sendWindow().text(), std::string("AB"));
    click("cmdBye");  // appending while sending is useful
    QCOMPARE(sendWindow().text(), std::string("ABtnx fer QSO, 73. NONAME de EA4XYZ sk "));
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    QVERIFY(find<QPushButton>("cmdCQ")->isEnabled());
    click("cmdClearVentanaTX");
    QCOMPARE(sendWindow().text(), std::string());
}

void TransmissionTest::aMissingPortAsksAndAbortKeepsReceiving()
{
    window_->findChild<QAction*>("mnuCOMA5")->trigger();
    platform_->serial.present.clear();  // unplugged since start-up
    platform_->messages.answers = {PortErrorAnswer::Abort};
    type("AB");
    click("cmdTX_RX");
    QCOMPARE(station().txState(), 0);
    QCOMPARE(button(), QString("PTT"));
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QCOMPARE(platform_->messages.shown[0].title, std::string("Port Error"));
    QCOMPARE(platform_->messages.shown[0].text, std::string("COM5 not avaiable"));
    QVERIFY(!platform_->audio.output.isOpen());

    platform_->serial.present = {"/dev/serial/by-id/usb-FTDI-if00-port0"};
    click("cmdTX_RX");
    QCOMPARE(station().txState(), 1);
    QCOMPARE(platform_->serial.openDevice(), std::string("/dev/serial/by-id/usb-FTDI-if00-port0"));
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    QVERIFY(!platform_->serial.isOpen());
}

void TransmissionTest::aMissingOutputIsToldOnceAndStopStillEnds()
{
    platform_->audio.output.setAvailable(false);
    for (int round = 0; round < 2; ++round) {
        type("AB");
        click("cmdTX_RX");
        QCOMPARE(station().txState(), 1);
        click("cmdTX_RX");
        QVERIFY(runToTheEnd());
        QVERIFY(receiveWindow().text().ends_with(" <STOP>"));
    }
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QCOMPARE(platform_->messages.shown[0].title, std::string("SoundCard Error"));
    QCOMPARE(platform_->messages.shown[0].text, std::string("Device output not avaiable"));
}

void TransmissionTest::closingWhileKeyedUnkeysFirst()
{
    window_->findChild<QAction*>("mnuCOMA1")->trigger();
    type("AB");
    click("cmdTX_RX");
    QVERIFY(platform_->serial.isOpen());
    window_->close();
    QVERIFY(!platform_->serial.isOpen());
    QVERIFY(!platform_->audio.output.isOpen());
    QCOMPARE(platform_->serial.log.back(), std::string("close /dev/ttyS0"));
    QVERIFY(platform_->settings.text()->find("PTT COM=1") != std::string::npos);
}

void TransmissionTest::soundCardSaveWaitsForTheEndOfTheTransmission()
{
    window_->findChild<QAction*>("mnuTarjetaSonido")->trigger();
    QWidget* dialog = find("frmTarjetaSonido");
    auto* save = dialog->findChild<QPushButton*>("cmdSave");
    QVERIFY(save->isEnabled());
    type("AB");
    click("cmdTX_RX");
    QVERIFY(!save->isEnabled());
    // Closed and opened again during the transmission: still disabled, and saving does
    // nothing while capture belongs to the transmission.
    dialog->close();
    QTRY_VERIFY(!window_->findChild<QWidget*>("frmTarjetaSonido"));
    window_->findChild<QAction*>("mnuTarjetaSonido")->trigger();
    dialog = find("frmTarjetaSonido");
    save = dialog->findChild<QPushButton*>("cmdSave");
    QVERIFY(!save->isEnabled());
    const auto opened = platform_->audio.sourcePositions.size();
    QVERIFY(!station().saveSoundCards({"USB Audio CODEC", "Speakers"}).error.size());
    QCOMPARE(platform_->audio.sourcePositions.size(), opened);
    QVERIFY(!station().timerRunning(StationTimer::RX));
    click("cmdTX_RX");
    QVERIFY(runToTheEnd());
    QVERIFY(save->isEnabled());
    QCOMPARE(platform_->audio.sourcePositions.size(), opened + 1);  // the end reopens capture
}

QTEST_MAIN(TransmissionTest)
#include "TransmissionTest.moc"
