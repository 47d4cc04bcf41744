#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "config/Settings.h"
#include "ui/StationFakes.h"
#include "ui/TextView.h"
#include "ui/frmPrincipal.h"

using namespace miv;

// The settings file and the three dialogs that are the live store of its sections.
class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartShowsTheOperatorWindowWithItsInitialTexts();
    void noOperatorWindowOnceTheFileExists();
    void saveWritesTheOperatorDetailsAndTheMacrosUseThem();
    void closeDiscardsTheEditsWhileOpenEditsAreLive();
    void callsignBoxKeepsCapitalsWithTheCaretAtTheEnd();
    void emailOptionsShowTheirBoxesAndThePasswordIsHidden();
    void emailAccountIsWrittenAndReadBack();
    void soundCardListsSelectTheSavedDevices();
    void soundCardSaveWritesTheNames();
    void aRefusedSaveKeepsTheDialogAndItsEdits();
    void mainSwitchesAreWrittenAtCloseAndReadAtStart();
    void switchesWithBadValuesFallBackToTheirDefaults();
    void anUnreadableFileIsToldAtStartAndLeftAlone();
    void escapeClosesLikeClose();

private:
    void start();
    template <typename T>
    T* find(QWidget* parent, const char* name)
    {
        T* widget = parent->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QWidget* dialog(const char* name) { return window_->findChild<QWidget*>(name); }
    void openMenu(const char* name) { window_->findChild<QAction*>(name)->trigger(); }
    void click(QWidget* parent, const char* name) { QTest::mouseClick(find<QWidget>(parent, name), Qt::LeftButton); }
    std::string sendText() { return window_->sendWindow().window().text(); }
    Settings settings() { return Settings(platform_->settings); }

    std::unique_ptr<testing::FakePlatform> platform_;
    std::unique_ptr<frmPrincipal> window_;
};

void SettingsDialogsTest::init()
{
    platform_ = std::make_unique<testing::FakePlatform>();
}

void SettingsDialogsTest::start()
{
    window_ = std::make_unique<frmPrincipal>(platform_->platform());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void SettingsDialogsTest::cleanup()
{
    window_.reset();
    QVERIFY(platform_->messages.shown.empty());
}

void SettingsDialogsTest::firstStartShowsTheOperatorWindowWithItsInitialTexts()
{
    start();
    QTRY_VERIFY(dialog("frmOperator") && dialog("frmOperator")->isVisible());
    QWidget* form = dialog("frmOperator");
    QCOMPARE(form->windowTitle(), QString("Operator"));
    QCOMPARE(find<QLineEdit>(form, "txtCallsign")->text(), QString("CALL"));
    QCOMPARE(find<QLineEdit>(form, "txtName")->text(), QString("Name"));
    QCOMPARE(find<QLineEdit>(form, "txtQTH")->text(), QString("Your QTH"));
    QCOMPARE(find<QLineEdit>(form, "txtLocator")->text(), QString("Your Grid"));
    QCOMPARE(find<QLineEdit>(form, "txtStation")->text(), QString("Features of your Radio Station"));
    QCOMPARE(find<QLineEdit>(form, "txtEmail")->text(), QString("Your e-mail"));
    QCOMPARE(find<QLineEdit>(form, "txtCustom")->text(), QString("(Write what you wish)"));
    QCOMPARE(find<QPushButton>(form, "cmdSave")->text(), QString("SAVE"));
    QCOMPARE(find<QPushButton>(form, "cmdClose")->text(), QString("CLOSE"));
    // The macros use the initial texts too.
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("NONAME de CALL "));
    click(form, "cmdClose");
    QTRY_VERIFY(!dialog("frmOperator"));
    QVERIFY(!platform_->settings.exists());  // CLOSE writes nothing
}

void SettingsDialogsTest::noOperatorWindowOnceTheFileExists()
{
    platform_->settings.save("[Conmutadores]\nBW=1\n");
    start();
    QTest::qWait(20);
    QVERIFY(!dialog("frmOperator"));
}

void SettingsDialogsTest::saveWritesTheOperatorDetailsAndTheMacrosUseThem()
{
    platform_->settings.save("");
    start();
    openMenu("mnuOperator");
    QWidget* form = dialog("frmOperator");
    QVERIFY(form);
    find<QLineEdit>(form, "txtCallsign")->setText("ON4ZZ");
    find<QLineEdit>(form, "txtName")->setText("Marta");
    find<QLineEdit>(form, "txtStation")->setText("Rig  with spaces ");
    click(form, "cmdSave");
    QTRY_VERIFY(!dialog("frmOperator"));
    const OperatorDetails saved = settings().readOperatorDetails();
    QCOMPARE(saved.callsign, std::string("ON4ZZ"));
    QCOMPARE(saved.name, std::string("Marta"));
    QCOMPARE(saved.station, std::string("Rig  with spaces "));
    QVERIFY(platform_->settings.text()->find("[Operador]") != std::string::npos);
    click(window_.get(), "cmdStation");
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("My Station: Rig  with spaces  NONAME de ON4ZZ "));
}

void SettingsDialogsTest::closeDiscardsTheEditsWhileOpenEditsAreLive()
{
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\n");
    start();
    openMenu("mnuOperator");
    QWidget* form = dialog("frmOperator");
    find<QLineEdit>(form, "txtCallsign")->setText("G4ABC");
    // While loaded, the dialog is the store: its fields are what the macros read.
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("NONAME de G4ABC "));
    click(form, "cmdClose");
    QTRY_VERIFY(!dialog("frmOperator"));
    window_->sendWindow().window().setText("");
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("NONAME de EA4XYZ "));
    QCOMPARE(settings().readOperatorDetails().callsign, std::string("EA4XYZ"));
}

void SettingsDialogsTest::callsignBoxKeepsCapitalsWithTheCaretAtTheEnd()
{
    platform_->settings.save("");
    start();
    openMenu("mnuOperator");
    auto* box = find<QLineEdit>(dialog("frmOperator"), "txtCallsign");
    box->clear();
    QTest::keyClicks(box, "ea4");
    QCOMPARE(box->text(), QString("EA4"));
    box->setCursorPosition(0);
    QTest::keyClicks(box, "x");
    QCOMPARE(box->text(), QString("XEA4"));
    QCOMPARE(box->cursorPosition(), 4);
}

void SettingsDialogsTest::emailOptionsShowTheirBoxesAndThePasswordIsHidden()
{
    platform_->settings.save("");
    start();
    openMenu("mnuEmail");
    QWidget* form = dialog("frmEmail");
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QString("E-Mail Report Configuration"));
    QVERIFY(find<QRadioButton>(form, "optNoInternet")->isChecked());
    const char* smtpControls[] = {"lblServer", "txtServidorSMTP"};
    const char* webMailControls[] = {"lblUser", "lblGmail", "lblPassword", "txtUsuarioGmail", "txtPassword", "lblNota"};
    auto shown = [&](const char* name) { return !find<QWidget>(form, name)->isHidden(); };
    for (const char* name : smtpControls)
        QVERIFY2(!shown(name), name);
    for (const char* name : webMailControls)
        QVERIFY2(!shown(name), name);

    find<QRadioButton>(form, "optGmail")->click();
    for (const char* name : smtpControls)
        QVERIFY2(!shown(name), name);
    for (const char* name : webMailControls)
        QVERIFY2(shown(name), name);
    QCOMPARE(find<QLabel>(form, "lblGmail")->text(), QString("@gmail.com"));
    QCOMPARE(find<QLineEdit>(form, "txtPassword")->echoMode(), QLineEdit::Password);

    find<QRadioButton>(form, "optSMTP")->click();
    for (const char* name : smtpControls)
        QVERIFY2(shown(name), name);
    for (const char* name : webMailControls)
        QVERIFY2(!shown(name), name);
    click(form, "Command2");
}

void SettingsDialogsTest::emailAccountIsWrittenAndReadBack()
{
    platform_->settings.save("[Email]\nOption=2\nUsuario Gmail=ea4xyz\nPassword=secret\n");
    start();
    openMenu("mnuEmail");
    QWidget* form = dialog("frmEmail");
    QVERIFY(find<QRadioButton>(form, "optGmail")->isChecked());
    QCOMPARE(find<QLineEdit>(form, "txtUsuarioGmail")->text(), QString("ea4xyz"));
    find<QRadioButton>(form, "optSMTP")->click();
    find<QLineEdit>(form, "txtServidorSMTP")->setText("mail.example.org:2525");
    QCOMPARE(window_->station().emailForm().value().option, MailOption::Smtp);  // live while open
    click(form, "Command1");
    QTRY_VERIFY(!dialog("frmEmail"));
    const EmailAccount saved = settings().readEmailAccount();
    QCOMPARE(saved.option, MailOption::Smtp);
    QCOMPARE(saved.smtpServer, std::string("mail.example.org:2525"));
    QCOMPARE(saved.password, std::string("secret"));
    QVERIFY(platform_->settings.text()->find("Servidor SMTP=mail.example.org:2525") != std::string::npos);
}

void SettingsDialogsTest::soundCardListsSelectTheSavedDevices()
{
    // The saved input no longer exists as such: the entry whose name it holds is chosen.
    platform_->settings.save("[Tarjeta Sonido]\nEntrada=USB Audio CODEC (2)\nSalida=Speakers\n");
    start();
    openMenu("mnuTarjetaSonido");
    QWidget* form = dialog("frmTarjetaSonido");
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QString("SoundCard Configuration"));
    auto* input = find<QComboBox>(form, "cboTarjetaSonidoEntrada");
    auto* output = find<QComboBox>(form, "cboTarjetaSonidoSalida");
    QCOMPARE(input->count(), 2);
    QCOMPARE(input->currentText(), QString("USB Audio CODEC"));
    QCOMPARE(output->count(), 3);
    QCOMPARE(output->currentIndex(), 2);
    QVERIFY(find<QPushButton>(form, "cmdSave")->isEnabled());
    click(form, "cmdClose");
    QTRY_VERIFY(!dialog("frmTarjetaSonido"));
}

void SettingsDialogsTest::soundCardSaveWritesTheNames()
{
    platform_->settings.save("");
    start();
    openMenu("mnuTarjetaSonido");
    QWidget* form = dialog("frmTarjetaSonido");
    QCOMPARE(find<QComboBox>(form, "cboTarjetaSonidoEntrada")->currentIndex(), 0);
    find<QComboBox>(form, "cboTarjetaSonidoSalida")->setCurrentIndex(1);
    click(form, "cmdSave");
    QTRY_VERIFY(!dialog("frmTarjetaSonido"));
    const SoundCards saved = settings().readSoundCards();
    QCOMPARE(saved.input, std::string(kDefaultAudioDevice));
    QCOMPARE(saved.output, std::string("USB Audio CODEC"));
}

void SettingsDialogsTest::aRefusedSaveKeepsTheDialogAndItsEdits()
{
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\n[Tarjeta Sonido]\nEntrada=Default\n");
    start();
    platform_->settings.failWrites = true;

    openMenu("mnuOperator");
    QWidget* form = dialog("frmOperator");
    find<QLineEdit>(form, "txtCallsign")->setText("G4ABC");
    click(form, "cmdSave");
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QTest::qWait(20);
    // Still open with what was typed, and still what the macros read.
    QVERIFY(dialog("frmOperator") && dialog("frmOperator")->isVisible());
    QCOMPARE(find<QLineEdit>(form, "txtCallsign")->text(), QString("G4ABC"));
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("NONAME de G4ABC "));
    platform_->settings.failWrites = false;
    click(form, "cmdSave");
    QTRY_VERIFY(!dialog("frmOperator"));
    QCOMPARE(settings().readOperatorDetails().callsign, std::string("G4ABC"));

    openMenu("mnuEmail");
    form = dialog("frmEmail");
    platform_->settings.failWrites = true;
    find<QRadioButton>(form, "optSMTP")->click();
    find<QLineEdit>(form, "txtServidorSMTP")->setText("mail.example.org");
    click(form, "Command1");
    QCOMPARE(platform_->messages.shown.size(), std::size_t{2});
    QTest::qWait(20);
    QVERIFY(dialog("frmEmail") && dialog("frmEmail")->isVisible());
    QCOMPARE(window_->station().emailForm().value().smtpServer, std::string("mail.example.org"));
    click(form, "Command2");
    QTRY_VERIFY(!dialog("frmEmail"));

    // The chosen input is taken at once even though it could not be written.
    openMenu("mnuTarjetaSonido");
    form = dialog("frmTarjetaSonido");
    find<QComboBox>(form, "cboTarjetaSonidoEntrada")->setCurrentIndex(1);
    click(form, "cmdSave");
    QCOMPARE(platform_->messages.shown.size(), std::size_t{3});
    QCOMPARE(platform_->audio.sourcePositions.back(), 1);
    QTest::qWait(20);
    QVERIFY(dialog("frmTarjetaSonido") && dialog("frmTarjetaSonido")->isVisible());
    click(form, "cmdClose");
    QTRY_VERIFY(!dialog("frmTarjetaSonido"));
    platform_->messages.shown.clear();
}

void SettingsDialogsTest::mainSwitchesAreWrittenAtCloseAndReadAtStart()
{
    platform_->settings.save("; kept\n[Conmutadores]\nBW=1\nUnknown Key=7\n[Other]\nx=1\n");
    start();
    QTest::mouseClick(window_->findChild<QWidget*>("imgBW2250"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("imgONBaud"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("imgONAlarm"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("imgAFC200"), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QWidget*>("imgONWaterFall"), Qt::LeftButton);
    window_->findChild<QAction*>("mnuCOMA5")->trigger();
    window_->close();
    const std::string text = *platform_->settings.text();
    for (const char* line : {"BW=0\n", "Channel=1\n", "Alarma=0\n", "Baudios=0\n", "Detector De Modo=1\n",
                             "Shift Range=0\n", "WaterFall=0\n", "PTT COM=5\n"})
        QVERIFY2(text.find(line) != std::string::npos, line);
    QVERIFY(text.find("Unknown Key=7") != std::string::npos);
    QVERIFY(text.find("[Other]") != std::string::npos);

    window_ = std::make_unique<frmPrincipal>(platform_->platform());
    const ModeSwitches& switches = window_->station().switches();
    QVERIFY(!switches.mode().bw2250);
    QVERIFY(!switches.mode().baud16);
    QVERIFY(!switches.alarmOn() && !switches.afcWide() && !switches.waterfallOn());
    QVERIFY(window_->findChild<QAction*>("mnuCOMA5")->isChecked());
    QVERIFY(window_->findChild<QWidget*>("imgBW2250")->isHidden());
    QVERIFY(window_->findChild<QWidget*>("pctWaterfall")->isHidden());
}

void SettingsDialogsTest::switchesWithBadValuesFallBackToTheirDefaults()
{
    platform_->settings.save("[Conmutadores]\nBaudios=abc\nChannel=0\nPTT COM=42\nBW=1.0\n");
    start();
    const ModemMode& mode = window_->station().switches().mode();
    QVERIFY(!mode.baud16);
    QVERIFY(mode.eme);
    QVERIFY(mode.bw2250);
    QVERIFY(window_->findChild<QAction*>("mnuCOMA0")->isChecked());
    QVERIFY(window_->findChild<QWidget*>("fraBW")->isHidden());
}

namespace miv::testing {

// A settings file that is there but cannot be read (no permission).
class UnreadableSettingsStore final : public SettingsStore {
public:
    bool exists() const override { return true; }
    SettingsLoad load() const override
    {
        return {SettingsLoad::Status::Failed, {}, "The settings could not be read from MIV.ini: Permission denied"};
    }
    SettingsSave save(std::string_view) override
    {
        ++saves;
        return {};
    }
    std::string location() const override { return "MIV.ini"; }
    int saves = 0;
};

}  // namespace miv::testing

void SettingsDialogsTest::anUnreadableFileIsToldAtStartAndLeftAlone()
{
    testing::UnreadableSettingsStore unreadable;
    StationPlatform platform = platform_->platform();
    window_ = std::make_unique<frmPrincipal>(StationPlatform{platform.clock, platform.messages, unreadable,
                                                             platform.audio, platform.processorTimes, platform.alarm,
                                                             platform.serial, platform.comPorts, platform.mail});
    QCOMPARE(platform_->messages.shown.size(), std::size_t{1});
    QCOMPARE(platform_->messages.shown[0].text,
             std::string("The settings could not be read from MIV.ini: Permission denied"));
    QVERIFY(!dialog("frmOperator"));  // not a first start
    window_->close();
    QCOMPARE(unreadable.saves, 0);  // what could not be read is not overwritten
    window_.reset();
    platform_->messages.shown.clear();
}

void SettingsDialogsTest::escapeClosesLikeClose()
{
    platform_->settings.save("[Operador]\nCallsign=EA4XYZ\n[Email]\nOption=3\n");
    start();
    openMenu("mnuOperator");
    QWidget* form = dialog("frmOperator");
    find<QLineEdit>(form, "txtCallsign")->setText("G4ABC");
    QTest::keyClick(find<QLineEdit>(form, "txtCallsign"), Qt::Key_Escape);
    QTRY_VERIFY(!dialog("frmOperator"));
    QVERIFY(!window_->station().operatorForm().loaded());
    click(window_.get(), "cmdCall");
    QCOMPARE(sendText(), std::string("NONAME de EA4XYZ "));

    openMenu("mnuEmail");
    form = dialog("frmEmail");
    find<QRadioButton>(form, "optSMTP")->click();
    QTest::keyClick(find<QRadioButton>(form, "optSMTP"), Qt::Key_Escape);
    QTRY_VERIFY(!dialog("frmEmail"));
    QCOMPARE(window_->station().emailForm().value().option, MailOption::NoInternet);

    openMenu("mnuTarjetaSonido");
    form = dialog("frmTarjetaSonido");
    find<QComboBox>(form, "cboTarjetaSonidoEntrada")->setCurrentIndex(1);
    QTest::keyClick(form, Qt::Key_Escape);
    QTRY_VERIFY(!dialog("frmTarjetaSonido"));
    QVERIFY(!window_->station().soundCardForm().loaded());
}

QTEST_MAIN(SettingsDialogsTest)
#include "SettingsDialogsTest.moc"
