#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "config/Settings.h"
#include "station/StationFakes.h"
#include "ui/MainWindow.h"
#include "ui/TextView.h"

using namespace miv;

// The three settings dialogs: their texts, and their wiring to the station's live
// store of each section (edits count while open, SAVE writes, CLOSE and Esc forget).
class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartShowsTheOperatorDialogWithItsInitialTexts();
    void operatorDetailsAreLiveWhileOpenAndSavedOrForgotten();
    void emailOptionsShowTheirBoxesAndSave();
    void soundCardListsSelectTheSavedDevicesAndSaveRestartsCapture();
    void aRefusedSaveKeepsTheDialogOpen();
    void thePttDialogFindsTheRigModelAndSavesTheMethod();
    void theDialIsTypedWithoutCat();

private:
    void start(const char* settings)
    {
        if (settings)
            platform_->settings.save(settings);
        window_ = std::make_unique<MainWindow>(platform_->platform());
    }
    QWidget* open(const char* menu, const char* dialog)
    {
        window_->findChild<QAction*>(menu)->trigger();
        return window_->findChild<QWidget*>(dialog);
    }
    template <typename T = QWidget>
    static T* find(QWidget* parent, const char* name)
    {
        T* widget = parent->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    static void click(QWidget* parent, const char* name) { QTest::mouseClick(find(parent, name), Qt::LeftButton); }
    bool gone(const char* dialog) const { return !window_->findChild<QWidget*>(dialog); }
    std::string macroCall()
    {
        window_->sendWindow().window().setText("");
        window_->station().clickMacro(Macro::Call);
        return window_->sendWindow().window().text();
    }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<MainWindow> window_;
};

void DialogsTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
}

void DialogsTest::cleanup()
{
    window_.reset();
    QVERIFY(platform_->messages.shown.empty());
}

void DialogsTest::firstStartShowsTheOperatorDialogWithItsInitialTexts()
{
    start(nullptr);
    QWidget* form = window_->findChild<QWidget*>("operatorDialog");
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Operator"));
    QCOMPARE(find<QLineEdit>(form, "station")->text(), QString("Features of your Radio Station"));
    QCOMPARE(find<QPushButton>(form, "saveButton")->text(), QString("SAVE"));
    click(form, "closeButton");
    QTRY_VERIFY(gone("operatorDialog"));
    QVERIFY(!platform_->settings.exists());  // CLOSE writes nothing
}

void DialogsTest::operatorDetailsAreLiveWhileOpenAndSavedOrForgotten()
{
    start("[Operador]\nCallsign=EA4XYZ\n");
    QWidget* form = open("operatorMenu", "operatorDialog");
    auto* callsign = find<QLineEdit>(form, "callsign");
    callsign->clear();
    QTest::keyClicks(callsign, "g4");
    callsign->setCursorPosition(0);
    QTest::keyClicks(callsign, "x");
    QCOMPARE(callsign->text(), QString("XG4"));  // capitals, the caret at the end
    QCOMPARE(callsign->cursorPosition(), 3);
    QCOMPARE(macroCall(), std::string("NONAME de XG4 "));
    click(form, "closeButton");
    QTRY_VERIFY(gone("operatorDialog"));
    QCOMPARE(macroCall(), std::string("NONAME de EA4XYZ "));

    form = open("operatorMenu", "operatorDialog");
    find<QLineEdit>(form, "callsign")->setText("G4ABC");
    QTest::keyClick(find<QLineEdit>(form, "name"), Qt::Key_Escape);  // Esc is CLOSE
    QTRY_VERIFY(gone("operatorDialog"));
    QCOMPARE(macroCall(), std::string("NONAME de EA4XYZ "));

    form = open("operatorMenu", "operatorDialog");
    find<QLineEdit>(form, "callsign")->setText("ON4ZZ");
    find<QLineEdit>(form, "station")->setText("Rig  with spaces ");
    click(form, "saveButton");
    QTRY_VERIFY(gone("operatorDialog"));
    const OperatorDetails saved = Settings(platform_->settings).readOperatorDetails();
    QCOMPARE(saved.callsign, std::string("ON4ZZ"));
    QCOMPARE(saved.station, std::string("Rig  with spaces "));
}

void DialogsTest::emailOptionsShowTheirBoxesAndSave()
{
    start("[Email]\nOption=2\nUsuario Gmail=ea4xyz\nPassword=secret\n");
    QWidget* form = open("emailMenu", "emailDialog");
    QCOMPARE(form->windowTitle(), QString("E-Mail Report Configuration"));
    QCOMPARE(find<QLineEdit>(form, "webMailUser")->text(), QString("ea4xyz"));
    QCOMPARE(find<QLabel>(form, "domainLabel")->text(), QString("@gmail.com"));
    QCOMPARE(find<QLineEdit>(form, "password")->echoMode(), QLineEdit::Password);
    const char* smtpBoxes[] = {"serverLabel", "smtpServer"};
    const char* webMailBoxes[] = {"userLabel", "domainLabel", "passwordLabel", "webMailUser", "password", "note"};
    const auto showing = [&](bool smtp, bool webMail) {
        for (const char* name : smtpBoxes)
            QVERIFY2(find(form, name)->isHidden() != smtp, name);
        for (const char* name : webMailBoxes)
            QVERIFY2(find(form, name)->isHidden() != webMail, name);
    };
    QVERIFY(find<QRadioButton>(form, "webMailOption")->isChecked());
    showing(false, true);
    find<QRadioButton>(form, "noInternetOption")->click();
    showing(false, false);
    find<QRadioButton>(form, "smtpOption")->click();
    showing(true, false);
    find<QLineEdit>(form, "smtpServer")->setText("mail.example.org:2525");
    QCOMPARE(window_->station().emailSection().value().option, MailOption::Smtp);  // live while open
    click(form, "saveButton");
    QTRY_VERIFY(gone("emailDialog"));
    const EmailAccount saved = Settings(platform_->settings).readEmailAccount();
    QCOMPARE(saved.smtpServer, std::string("mail.example.org:2525"));
    QCOMPARE(saved.password, std::string("secret"));
}

void DialogsTest::soundCardListsSelectTheSavedDevicesAndSaveRestartsCapture()
{
    // The saved input no longer exists as such: the entry whose name it holds is chosen.
    start("[Tarjeta Sonido]\nEntrada=USB Audio CODEC (2)\nSalida=Speakers\n");
    QWidget* form = open("soundCardMenu", "soundCardDialog");
    QCOMPARE(form->windowTitle(), QString("SoundCard Configuration"));
    auto* input = find<QComboBox>(form, "inputDevice");
    QCOMPARE(input->count(), 2);
    QCOMPARE(input->currentIndex(), 1);
    QCOMPARE(find<QComboBox>(form, "outputDevice")->currentIndex(), 2);
    input->setCurrentIndex(0);
    click(form, "saveButton");
    QTRY_VERIFY(gone("soundCardDialog"));
    QCOMPARE(platform_->audio.sourcePositions.back(), 0);
    QCOMPARE(Settings(platform_->settings).readSoundCards().input, std::string(kDefaultAudioDevice));

    // While a transmission holds the sound card, SAVE waits for its end.
    form = open("soundCardMenu", "soundCardDialog");
    window_->station().pressTransmitButton();
    QVERIFY(!find(form, "saveButton")->isEnabled());
    window_->station().pressTransmitButton();
    testing::runTransmitTimer(window_->station());
    QVERIFY(find(form, "saveButton")->isEnabled());
    QTest::keyClick(form, Qt::Key_Escape);
    QTRY_VERIFY(gone("soundCardDialog"));
    QVERIFY(!window_->station().soundCardSection().loaded());
}

void DialogsTest::aRefusedSaveKeepsTheDialogOpen()
{
    start("[Operador]\nCallsign=EA4XYZ\n");
    platform_->settings.failWrites = true;
    const std::pair<const char*, const char*> dialogs[] = {
        {"operatorMenu", "operatorDialog"}, {"emailMenu", "emailDialog"}, {"soundCardMenu", "soundCardDialog"}};
    std::size_t told = 0;
    for (const auto& [menu, name] : dialogs) {
        QWidget* form = open(menu, name);
        click(form, "saveButton");
        QCOMPARE(platform_->messages.shown.size(), ++told);
        QTest::qWait(20);
        QVERIFY2(window_->findChild<QWidget*>(name) && form->isVisible(), name);
        click(form, "closeButton");
        QTRY_VERIFY(gone(name));
    }
    platform_->messages.shown.clear();
}

void DialogsTest::thePttDialogFindsTheRigModelAndSavesTheMethod()
{
    start("[Operador]\nCallsign=EA4XYZ\n");
    QWidget* form = open("pttMenu", "rigDialog");
    QVERIFY(find<QRadioButton>(form, "serialOption")->isChecked());  // as before the PTT menu
    QCOMPARE(find<QSpinBox>(form, "watchdog16Baud")->value(), 10);
    QCOMPARE(find<QSpinBox>(form, "watchdogSlow")->value(), 30);
    QTest::keyClicks(find(form, "modelSearch"), "7300");
    auto* models = find<QListWidget>(form, "rigModel");
    QVERIFY(models->item(0)->isHidden());
    QCOMPARE(models->item(1)->text(), QString("Icom IC-7300 (3073)"));
    QVERIFY(!models->item(1)->isHidden());
    models->setCurrentRow(1);
    find<QRadioButton>(form, "hamlibOption")->click();  // its label, not the middle of a wide row
    QTest::keyClicks(find(form, "rigDevice"), "/dev/ttyUSB1");
    QCOMPARE(window_->station().rigSection().value().device, std::string("/dev/ttyUSB1"));  // live while open
    click(form, "saveButton");
    QTRY_VERIFY(gone("rigDialog"));
    const RigSettings saved = Settings(platform_->settings).readRigSettings();
    QCOMPARE(saved.method, PttMethod::Hamlib);
    QCOMPARE(saved.model, 3073);
    QVERIFY(platform_->rig.address && platform_->rig.address->device == "/dev/ttyUSB1");
    QVERIFY(window_->station().timerRunning(StationTimer::DialPoll));
}

void DialogsTest::theDialIsTypedWithoutCat()
{
    start("[Operador]\nCallsign=EA4XYZ\n");
    auto* dial = find<QLineEdit>(window_.get(), "dialFrequency");
    QVERIFY(!dial->isReadOnly());
    QTest::keyClicks(dial, "7,047");
    QTest::keyClick(dial, Qt::Key_Return);
    QCOMPARE(dial->text(), QString("7.047000 MHz"));
    QCOMPARE(window_->station().rfFrequencyHz(1500), std::optional<double>(7'048'500.0));
    dial->setText("7 kHz");
    QTest::keyClick(dial, Qt::Key_Return);
    QCOMPARE(dial->text(), QString("7.047000 MHz"));  // a typing mistake is undone
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
