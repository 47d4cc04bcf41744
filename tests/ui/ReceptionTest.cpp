#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/audio/FileAudioSource.h"
#include "ui/StationFakes.h"
#include "ui/TextView.h"
#include "ui/frmPrincipal.h"

using namespace miv;

// Reception wired to the window: recorded transmissions through the receive timer into
// the receive window, the gauges and the e-mail report; and the window's own
// transmission decoded by a second station.
class ReceptionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aRecordedTransmissionIsDecodedIntoTheReceiveWindow();
    void modeClicksAreRefusedWhileAMessageIsBeingReceived();
    void pttCancelsTheMessageBeingReceivedAndClosesCapture();
    void aTransmissionFromTheWindowIsDecodedByAnotherStation();
    void aMissingInputIsToldOnceAndSoundCardSaveReopensIt();
    void anInputThatGoesAwayWhileReceivingIsTold();

private:
    std::unique_ptr<frmPrincipal> start(testing::FakePlatform& platform)
    {
        auto window = std::make_unique<frmPrincipal>(platform.platform());
        window->show();
        return window;
    }
    static std::unique_ptr<AudioSource> recording(const char* name, int silentBlocks = 200)
    {
        auto file = std::make_unique<FileAudioSource>(std::string(MIV_VECTORS_DIR) + "/" + name);
        file->appendSilence(silentBlocks);  // the receiver decides the last symbols on silence
        return file;
    }
    // Runs the receive timer's ticks until `done` holds or the ticks run out.
    template <typename Done>
    static bool receive(frmPrincipal& window, Done done, int ticks = 2000)
    {
        for (int n = 0; n < ticks && !done(); ++n)
            window.station().timerFired(StationTimer::RX);
        return done();
    }
    static std::string received(frmPrincipal& window) { return window.receiveWindow().window().text(); }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<frmPrincipal> window_;
};

void ReceptionTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\n");
}

void ReceptionTest::cleanup()
{
    window_.reset();
}

void ReceptionTest::aRecordedTransmissionIsDecodedIntoTheReceiveWindow()
{
    platform_->audio.recording = recording("hf2250-16.flac");
    window_ = start(*platform_);
    Station& station = window_->station();
    QVERIFY(station.timerRunning(StationTimer::RX));
    QCOMPARE(station.timerInterval(StationTimer::RX), 1);
    QVERIFY(station.timerRunning(StationTimer::RefrescoVumetro));
    QVERIFY(receive(*window_, [&] { return received(*window_).ends_with(" <STOP>"); }));
    const std::string text = received(*window_);
    QVERIFY2(text.find("RX: <09:05 UTC> <") != std::string::npos, text.c_str());
    QVERIFY2(text.ends_with("Hz.> CQ CQ de G4ABC G4ABC pse k <STOP>"), text.c_str());
    QtTextWindow& window = window_->receiveWindow().window();
    QCOMPARE(window.textIn(Colour::Blue), std::string("RX: CQ CQ de G4ABC G4ABC pse k <STOP>"));
    QVERIFY(!station.receiverLocked());

    // The acquisitions reached the gauges and their holds run.
    const QString frame = window_->findChild<QLineEdit*>("Text1")->text();
    QVERIFY2(frame.startsWith("Frame Acquisition: ") && frame.endsWith("/20") && frame != "Frame Acquisition: 0/20",
             qPrintable(frame));
    QVERIFY(window_->findChild<QLineEdit*>("Text11")->text().startsWith("Final Acquisition: "));
    QVERIFY(station.timerRunning(StationTimer::RefrescoAdquisicionMaxima));
    QCOMPARE(station.timerInterval(StationTimer::RefrescoAdquisicionMaxima), 8000);
    station.timerFired(StationTimer::RefrescoAdquisicionMaxima);
    QVERIFY(!station.timerRunning(StationTimer::RefrescoAdquisicionMaxima));
    QVERIFY(station.timerRunning(StationTimer::RefrescoAdquisicion));
    // The alarm was armed at the lock and sounds once, away from the transmitter's output.
    QVERIFY(station.timerRunning(StationTimer::Alarma));
    QCOMPARE(station.timerInterval(StationTimer::Alarma), 96);
    station.timerFired(StationTimer::Alarma);
    QVERIFY(!station.timerRunning(StationTimer::Alarma));
    QCOMPARE(platform_->alarm.played.size(), std::size_t{1});
    QCOMPARE(platform_->alarm.devices.front(), std::string());  // the transmitter plays on the default
    // No address in angle brackets: no report.
    station.timerFired(StationTimer::UTC);
    QVERIFY(platform_->mail.sent().empty());
    QVERIFY(platform_->messages.shown.empty());
}

void ReceptionTest::modeClicksAreRefusedWhileAMessageIsBeingReceived()
{
    platform_->audio.recording = recording("hf2250-16.flac");
    window_ = start(*platform_);
    Station& station = window_->station();
    QVERIFY(receive(*window_, [&] { return station.receiverLocked(); }));
    QTest::mouseClick(window_->findChild<QWidget*>("imgBW2250"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("imgHF"), Qt::LeftButton);
    QVERIFY(station.switches().mode().bw2250 && !station.switches().mode().eme);
    QVERIFY(receive(*window_, [&] { return !station.receiverLocked(); }));
    QTest::mouseClick(window_->findChild<QWidget*>("imgBW2250"), Qt::LeftButton);
    QVERIFY(!station.switches().mode().bw2250);
}

void ReceptionTest::pttCancelsTheMessageBeingReceivedAndClosesCapture()
{
    platform_->audio.recording = recording("hf2250-16.flac");
    window_ = start(*platform_);
    Station& station = window_->station();
    QVERIFY(receive(*window_, [&] { return received(*window_).find("CQ CQ") != std::string::npos; }));
    window_->sendWindow().window().append("QRL?");
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    QCOMPARE(station.txState(), 1);
    QVERIFY(!station.receiverLocked());
    QVERIFY(received(*window_).find(" <CANCEL>") != std::string::npos);
    QVERIFY(!station.timerRunning(StationTimer::RX));
    QVERIFY(!station.timerRunning(StationTimer::RefrescoVumetro));
    const auto opened = platform_->audio.sourcePositions.size();
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    for (int n = 0; n < 100000 && station.timerRunning(StationTimer::TX); ++n)
        station.timerFired(StationTimer::TX);
    QCOMPARE(station.txState(), 0);
    QVERIFY(station.timerRunning(StationTimer::RX));                // reception restarted
    QCOMPARE(platform_->audio.sourcePositions.size(), opened + 1);  // capture reopened
}

void ReceptionTest::aTransmissionFromTheWindowIsDecodedByAnotherStation()
{
    // This station sends a message with its address; the other one decodes it, says
    // " <STOP>" and mails the report.
    window_ = start(*platform_);
    QTest::keyClicks(&window_->sendWindow(), "Hello <g4abc@example.com> 73");
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    for (int n = 0; n < 100000 && window_->station().timerRunning(StationTimer::TX); ++n)
        window_->station().timerFired(StationTimer::TX);
    std::vector<std::int16_t> audio = platform_->audio.output.samples();
    QVERIFY(audio.size() > 100u * kBlockSamples);
    window_.reset();

    testing::FakePlatform other;
    other.settings.save("[Operador]\nCallsign=G4ABC\n[Email]\nOption=1\nServidor SMTP=mail.example.com\n");
    auto source = std::make_unique<MemoryAudioSource>(std::move(audio));
    source->appendSilence(200);
    other.audio.recording = std::move(source);
    auto station = start(other);
    QVERIFY(receive(
        *station, [&] { return received(*station).ends_with(" <STOP>"); }, 4000));
    QVERIFY2(received(*station).ends_with("Hz.> Hello <g4abc@example.com> 73 <STOP>"), received(*station).c_str());

    other.mail.waitForSends(1);
    QCOMPARE(other.mail.sent().front().to, std::string("g4abc@example.com"));
    QTRY_VERIFY_WITH_TIMEOUT(
        (station->station().timerFired(StationTimer::UTC), station->findChild<QWidget*>("frmEmailNotification")), 5000);
    QWidget* notification = station->findChild<QWidget*>("frmEmailNotification");
    QCOMPARE(notification->windowTitle(), QString("Email Notification"));
    QVERIFY(!notification->findChild<QLabel*>("lblEmailSent")->isHidden());
    QVERIFY(notification->findChild<QLabel*>("lblEmailNoSent")->isHidden());
    QVERIFY(station->station().timerRunning(StationTimer::Email));
    QCOMPARE(station->station().timerInterval(StationTimer::Email), 4000);
    station->station().timerFired(StationTimer::Email);
    QTRY_VERIFY(!station->findChild<QWidget*>("frmEmailNotification"));
}

void ReceptionTest::aMissingInputIsToldOnceAndSoundCardSaveReopensIt()
{
    platform_->audio.recording.reset();
    window_ = start(*platform_);
    Station& station = window_->station();
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QCOMPARE(platform_->messages.shown[0].title, std::string("SoundCard Error"));
    QCOMPARE(platform_->messages.shown[0].text, std::string("Device input not avaiable"));
    QVERIFY(station.timerRunning(StationTimer::RX));  // reception runs on, with nothing to take

    // A transmission closes and reopens capture: no second box.
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("cmdTX_RX"), Qt::LeftButton);
    for (int n = 0; n < 100000 && station.timerRunning(StationTimer::TX); ++n)
        station.timerFired(StationTimer::TX);
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});

    // The operator picks the USB card: capture reopens on it at once.
    platform_->audio.recording = recording("hf2250-16.flac");
    window_->findChild<QAction*>("mnuTarjetaSonido")->trigger();
    QWidget* dialog = window_->findChild<QWidget*>("frmTarjetaSonido");
    QVERIFY(dialog);
    dialog->findChild<QComboBox*>("cboTarjetaSonidoEntrada")->setCurrentIndex(1);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    QCOMPARE(platform_->audio.sourcePositions.back(), 1);
    QVERIFY(receive(*window_, [&] { return received(*window_).ends_with(" <STOP>"); }));
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
}

namespace {

// A recording whose device is unplugged once it has been read through.
class VanishingRecording final : public AudioSource {
public:
    explicit VanishingRecording(std::unique_ptr<AudioSource> recording) : recording_(std::move(recording)) {}
    bool open(int count) override { return recording_->open(count); }
    bool slotDone(int slot) override { return recording_->slotDone(slot); }
    void read(int slot, AudioBlock& out) const override { recording_->read(slot, out); }
    void requeue(int slot) override { recording_->requeue(slot); }
    void close() override { recording_->close(); }
    bool failed() const override { return static_cast<const BlockAudioSource&>(*recording_).drained(); }

private:
    std::unique_ptr<AudioSource> recording_;
};

}  // namespace

void ReceptionTest::anInputThatGoesAwayWhileReceivingIsTold()
{
    platform_->audio.recording = std::make_unique<VanishingRecording>(recording("hf2250-16.flac"));
    window_ = start(*platform_);
    QVERIFY(receive(*window_, [&] { return received(*window_).ends_with(" <STOP>"); }));
    QVERIFY(platform_->messages.shown.empty());
    QVERIFY(receive(
        *window_, [&] { return !platform_->messages.shown.empty(); }, 1000));
    QCOMPARE(platform_->messages.shown[0].title, std::string("SoundCard Error"));
    QCOMPARE(platform_->messages.shown[0].text, std::string("Device input not avaiable"));
    receive(
        *window_, [] { return false; }, 100);
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QVERIFY(window_->station().timerRunning(StationTimer::RX));  // reception runs on
}

QTEST_MAIN(ReceptionTest)
#include "ReceptionTest.moc"
