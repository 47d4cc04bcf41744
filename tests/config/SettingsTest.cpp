#include <gtest/gtest.h>

#include "config/Settings.h"
#include "modem/ModemMode.h"

namespace miv {
namespace {

MainSwitches switchesFrom(const std::string& file)
{
    MemorySettingsStore store(file);
    return Settings(store).readMainSwitches();
}

TEST(Settings, WithoutAFileEverythingTakesItsDefaultAndItIsTheFirstRun)
{
    MemorySettingsStore store;
    const Settings settings(store);
    EXPECT_TRUE(settings.firstRun());
    const MainSwitches switches = settings.readMainSwitches();
    EXPECT_TRUE(switches.bw2250);
    EXPECT_TRUE(switches.hf);
    EXPECT_TRUE(switches.baud16);
    EXPECT_TRUE(switches.autoBaud);
    EXPECT_TRUE(switches.afcWide);
    EXPECT_TRUE(switches.waterfall);
    EXPECT_TRUE(switches.alarm);
    EXPECT_EQ(switches.pttCom, 0);

    const OperatorDetails op = settings.readOperatorDetails();
    EXPECT_EQ(op.callsign, "CALL");
    EXPECT_EQ(op.name, "Name");
    EXPECT_EQ(op.qth, "Your QTH");
    EXPECT_EQ(op.locator, "Your Grid");
    EXPECT_EQ(op.station, "Features of your Radio Station");
    EXPECT_EQ(op.email, "Your e-mail");
    EXPECT_EQ(op.custom, "(Write what you wish)");

    EXPECT_EQ(settings.readEmailAccount(), EmailAccount{});
    EXPECT_EQ(settings.readEmailAccount().option, MailOption::NoInternet);
    EXPECT_EQ(settings.readSoundCards(), SoundCards{});
}

TEST(Settings, ASwitchSelectsItsOneStateOnlyWhenItsLeadingNumberIsOne)
{
    for (const char* one : {"1", "1.0", "1abc", " 1"})
        EXPECT_TRUE(switchesFrom(std::string("[Conmutadores]\nBaudios=") + one + "\n").baud16) << one;
    for (const char* other : {"0", "2", "abc", "1.5", "-1", "0.1"})
        EXPECT_FALSE(switchesFrom(std::string("[Conmutadores]\nBaudios=") + other + "\n").baud16) << other;
    // An empty value is a missing one: the default.
    EXPECT_TRUE(switchesFrom("[Conmutadores]\nBaudios=\n").baud16);
}

TEST(Settings, EverySwitchReadsItsOwnKey)
{
    const MainSwitches switches = switchesFrom(
        "[Conmutadores]\nBW=0\nChannel=0\nAlarma=0\nBaudios=0\nDetector De Modo=0\nShift Range=0\nWaterFall=0\n"
        "PTT COM=7\n");
    EXPECT_EQ(switches, (MainSwitches{false, false, false, false, false, false, false, 7}));
}

TEST(Settings, APttComValueTheMenuDoesNotHaveSelectsNoCom)
{
    EXPECT_EQ(switchesFrom("[Conmutadores]\nPTT COM=16\n").pttCom, 16);
    EXPECT_EQ(switchesFrom("[Conmutadores]\nPTT COM=1\n").pttCom, 1);
    for (const char* bad : {"17", "-1", "COM3", "2.5", "99999999999999999999", ""})
        EXPECT_EQ(switchesFrom(std::string("[Conmutadores]\nPTT COM=") + bad + "\n").pttCom, 0) << bad;
}

TEST(Settings, MailOptionOneIsSmtpTwoIsWebMailAnythingElseNoInternet)
{
    const auto option = [](const char* value) {
        MemorySettingsStore store(std::string("[Email]\nOption=") + value + "\n");
        return Settings(store).readEmailAccount().option;
    };
    EXPECT_EQ(option("1"), MailOption::Smtp);
    EXPECT_EQ(option("2"), MailOption::WebMail);
    EXPECT_EQ(option("2.0"), MailOption::WebMail);
    for (const char* other : {"0", "3", "7", "x"})
        EXPECT_EQ(option(other), MailOption::NoInternet) << other;
}

TEST(Settings, MainSwitchesAreWrittenInTheirOrder)
{
    MemorySettingsStore store;
    Settings settings(store);
    ASSERT_TRUE(settings.writeMainSwitches({true, false, true, false, true, false, true, 3}));
    EXPECT_EQ(*store.text(),
              "[Conmutadores]\nBW=1\nChannel=0\nAlarma=1\nBaudios=0\nDetector De Modo=1\nShift Range=0\n"
              "WaterFall=1\nPTT COM=3\n");
    EXPECT_FALSE(settings.firstRun());

    MainSwitches noneChecked;
    noneChecked.pttCom.reset();
    ASSERT_TRUE(settings.writeMainSwitches(noneChecked));
    EXPECT_NE(store.text()->find("PTT COM=\n"), std::string::npos);
    EXPECT_EQ(settings.readMainSwitches().pttCom, 0);
}

TEST(Settings, EverySectionReadsBackWhatWasWrittenAndKeepsTheOthers)
{
    MemorySettingsStore store("[Operador]\nCallsign=EA4XYZ\nRig=IC-7300\n[Macros]\nM1=hello\n");
    Settings settings(store);
    const OperatorDetails op{"G4ABC", "Ana", "Leeds", "IO93fs", "100 W, dipole", "ana@example.org", "Mañana 73 ☺"};
    const EmailAccount account{MailOption::WebMail, "smtp.example.net:587", "ana.g4abc", "  p@ss;word= "};
    const SoundCards cards{"Built-in Audio Analog Stereo", "USB Audio CODEC Analog Stereo"};
    ASSERT_TRUE(settings.writeOperatorDetails(op));
    ASSERT_TRUE(settings.writeEmailAccount(account));
    ASSERT_TRUE(settings.writeSoundCards(cards));

    EXPECT_EQ(settings.readOperatorDetails(), op);
    EXPECT_EQ(settings.readEmailAccount(), account);
    EXPECT_EQ(settings.readSoundCards(), cards);
    EXPECT_NE(store.text()->find("[Tarjeta Sonido]\nEntrada=Built-in Audio Analog Stereo\n"), std::string::npos);
    EXPECT_NE(store.text()->find("Servidor SMTP=smtp.example.net:587\nUsuario Gmail=ana.g4abc\n"), std::string::npos);
    EXPECT_NE(store.text()->find("Rig=IC-7300\n"), std::string::npos);
    EXPECT_NE(store.text()->find("[Macros]\nM1=hello\n"), std::string::npos);
}

TEST(Settings, LongValuesAreReadWhole)
{
    const std::string callsign(60, 'K');
    const std::string station = "IC-9700, 4 x 17 el. yagis, 1 kW, LNA at the mast head, 25 m of Ecoflex 15";
    MemorySettingsStore store("[Operador]\nCallsign=" + callsign + "\nStation=" + station + "\n");
    const OperatorDetails op = Settings(store).readOperatorDetails();
    EXPECT_EQ(op.callsign, callsign);
    EXPECT_EQ(op.station, station);
}

TEST(Settings, AnEmptyTextValueKeepsTheInitialText)
{
    MemorySettingsStore store("[Operador]\nCustom=\nName=Ana\n");
    const OperatorDetails op = Settings(store).readOperatorDetails();
    EXPECT_EQ(op.custom, "(Write what you wish)");
    EXPECT_EQ(op.name, "Ana");
}

TEST(Settings, AWindows1252ValueFromAnOlderFileReadsAsTheSameCharacters)
{
    MemorySettingsStore store(
        "[Operador]\nQTH=A Coru\xF1"
        "a\n");
    EXPECT_EQ(Settings(store).readOperatorDetails().qth, "A Coruña");
}

TEST(Settings, AFailedWriteIsReportedAndAnUnreadableFileIsNotOverwritten)
{
    MemorySettingsStore store;
    store.failWrites = true;
    Settings settings(store);
    const SettingsSave saved = settings.writeOperatorDetails({});
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_TRUE(settings.firstRun());

    class UnreadableStore final : public SettingsStore {
    public:
        bool exists() const override { return true; }
        SettingsLoad load() const override { return {SettingsLoad::Status::Failed, {}, "Permission denied"}; }
        SettingsSave save(std::string_view) override
        {
            ++saves;
            return {};
        }
        std::string location() const override { return "x"; }
        int saves = 0;
    } unreadable;
    Settings guarded(unreadable);
    EXPECT_EQ(guarded.readOperatorDetails(), OperatorDetails{});
    EXPECT_EQ(guarded.lastReadError(), "Permission denied");
    EXPECT_FALSE(guarded.writeSoundCards({"a", "b"}));
    EXPECT_EQ(unreadable.saves, 0);
}

TEST(Settings, MainSwitchesComeFromAndGoToTheModeModel)
{
    ModeSwitches model;
    const MainSwitches saved{false, false, false, false, false, false, false, 5};
    saved.applyTo(model);
    EXPECT_FALSE(model.mode().bw2250);
    EXPECT_TRUE(model.mode().eme);
    EXPECT_FALSE(model.mode().baud16);
    EXPECT_FALSE(model.mode().autoBaud);
    EXPECT_FALSE(model.afcWide());
    EXPECT_FALSE(model.waterfallOn());
    EXPECT_FALSE(model.alarmOn());
    EXPECT_EQ(MainSwitches::from(model, 5), saved);

    MainSwitches{}.applyTo(model);
    EXPECT_EQ(MainSwitches::from(model, 0), MainSwitches{});
}

TEST(Settings, ApplyingSwitchesRunsTheClickSideEffectsOnlyForChanges)
{
    struct Counter final : ModeListener {
        int channel = 0;
        int rate = 0;
        void channelChanged() override { ++channel; }
        void symbolRateChanged() override { ++rate; }
    } counter;
    ModeSwitches model;
    model.addListener(&counter);
    MainSwitches eme;
    eme.hf = false;
    eme.applyTo(model);
    EXPECT_EQ(counter.channel, 1);
    EXPECT_EQ(counter.rate, 0);
}

TEST(Settings, TheSavedDeviceIsFoundByItsExactNameFirst)
{
    const std::vector<std::string> names{"USB Audio", "USB Audio CODEC", "Built-in"};
    EXPECT_EQ(savedDevicePosition(names, "USB Audio CODEC"), 1);
    EXPECT_EQ(savedDevicePosition(names, "Built-in Audio Analog Stereo"), 2);
    EXPECT_EQ(savedDevicePosition(names, "Gone away"), 0);
    EXPECT_EQ(savedDevicePosition(names, ""), 0);
    EXPECT_EQ(savedDevicePosition({}, "USB Audio"), -1);
}

}  // namespace
}  // namespace miv
