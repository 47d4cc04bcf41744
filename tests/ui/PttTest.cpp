// The window keying a real rig: the dummy rig behind a rigctld the test starts on
// loopback, read back through `rigctl -m 2` as another program would, and a serial
// port on a pseudo-terminal. Every way a transmission or the program ends leaves the
// PTT off.
#include <pty.h>
#include <unistd.h>
#include <QLineEdit>
#include <QtTest>
#include <csignal>

#include "platform/rig/HamlibRig.h"
#include "platform/rig/RigctldProcess.h"
#include "platform/serial/QtSerialPort.h"
#include "station/StationFakes.h"
#include "ui/MainWindow.h"
#include "ui/ShutdownSignals.h"
#include "ui/TextView.h"

using namespace miv;

class PttTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keysAroundATransmissionAndShowsTheDial();
    void aLostRigUnkeysOnceItAnswersAgain();
    void aClosedWindowAndEveryShutdownSignalUnkey();

private:
    // One window at a time: they share the rig.
    void start(const std::string& rigSection)
    {
        window_.reset();
        fakes_->settings.save("[Operador]\nCallsign=EA4XYZ\n" + rigSection);
        const StationPlatform p = fakes_->platform();
        window_ = std::make_unique<MainWindow>(StationPlatform{
            p.clock, p.messages, p.settings, p.audio, p.processorTimes, p.alarm, serial_, ports_, p.mail, *rig_, {}});
        window_->sendWindow().window().setText("CQ DE EA4XYZ");
    }
    std::string rigctldSection() const
    {
        return "[Rig]\nPTT=rigctld\nRigctld Host=127.0.0.1\nRigctld Port=" + std::to_string(rigctld_->port()) + "\n";
    }
    Station& station() { return window_->station(); }
    void press() { QTest::mouseClick(window_->findChild<QWidget*>("transmitButton"), Qt::LeftButton); }
    void tick(int ticks) { testing::runTransmitTimer(station(), ticks); }

    std::unique_ptr<testing::FakePlatform> fakes_;
    std::unique_ptr<test::RigctldProcess> rigctld_;
    std::unique_ptr<HamlibRig> rig_;
    QtSerialPort serial_;
    ComAssignment ports_{};
    std::unique_ptr<MainWindow> window_;
};

void PttTest::init()
{
    fakes_ = std::make_unique<testing::FakePlatform>();
    rigctld_ = std::make_unique<test::RigctldProcess>();
    rig_ = std::make_unique<HamlibRig>();
}

void PttTest::cleanup()
{
    window_.reset();
    rig_.reset();
    rigctld_.reset();
}

void PttTest::keysAroundATransmissionAndShowsTheDial()
{
    rigctld_->setFrequency(10'136'000);
    start(rigctldSection());
    auto* dial = window_->findChild<QLineEdit*>("dialFrequency");
    QVERIFY(dial->isReadOnly());
    QTRY_COMPARE_WITH_TIMEOUT((station().timerFired(StationTimer::DialPoll), dial->text()), QString("10.136000 MHz"),
                              10000);

    press();
    QCOMPARE(rigctld_->ptt(), 1);
    press();  // STOP: the text and the end marker go out keyed
    tick(50);
    QCOMPARE(rigctld_->ptt(), 1);
    testing::runTransmitTimer(station());
    QCOMPARE(station().txState(), TxState::Receiving);
    QCOMPARE(rigctld_->ptt(), 0);
}

void PttTest::aLostRigUnkeysOnceItAnswersAgain()
{
    start(rigctldSection());
    press();
    QCOMPARE(rigctld_->ptt(), 1);
    rigctld_->pause();
    QTRY_VERIFY_WITH_TIMEOUT((station().timerFired(StationTimer::DialPoll), station().txState() == TxState::Receiving),
                             20000);
    rigctld_->resume();
    QTRY_COMPARE_WITH_TIMEOUT(rigctld_->ptt(), 0, 10000);  // the unkey owed reaches it
}

void PttTest::aClosedWindowAndEveryShutdownSignalUnkey()
{
    start(rigctldSection());
    press();
    QCOMPARE(rigctld_->ptt(), 1);
    window_->close();
    QCOMPARE(rigctld_->ptt(), 0);

    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        start(rigctldSection());
        ShutdownSignals shutdown;
        connect(&shutdown, &ShutdownSignals::received, window_.get(), &QWidget::close);
        press();
        QCOMPARE(rigctld_->ptt(), 1);
        ::raise(signalNumber);
        QTRY_VERIFY(!window_->isVisible());
        QCOMPARE(rigctld_->ptt(), 0);
    }

    // The serial lines on a pseudo-terminal: keyed is the port held open.
    int controller = -1;
    int device = -1;
    char name[256] = {};
    QVERIFY(::openpty(&controller, &device, name, nullptr, nullptr) == 0);
    ports_[0] = SerialDeviceInfo{name, "pts", ""};
    start("[Conmutadores]\nPTT COM=1\n");
    ShutdownSignals shutdown;
    connect(&shutdown, &ShutdownSignals::received, window_.get(), &QWidget::close);
    press();
    QVERIFY(serial_.isOpen());
    ::raise(SIGTERM);
    QTRY_VERIFY(!serial_.isOpen());
    ::close(controller);
    ::close(device);
}

QTEST_MAIN(PttTest)
#include "PttTest.moc"
