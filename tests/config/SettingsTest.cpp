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
    EXPECT_EQ(settings.readMainSwitches(), (MainSwitches{true, true, true, true, true, true, true, true, 0}));
    EXPECT_EQ(settings.readOperatorDetails(),
              (OperatorDetails{"CALL", "Name", "Your QTH", "Your Grid", "Features of your Radio Station", "Your e-mail",
                               "(Write what you wish)"}));
    EXPECT_EQ(settings.readEmailAccount(), (EmailAccount{MailOption::NoInternet, "", "", ""}));
    EXPECT_EQ(settings.readSoundCards(), SoundCards{});
}

TEST(Settings, ValuesAreReadByTheRulesOfTheFile)
{
    // A switch takes its one state only when its leading number is one; empty is missing.
    for (const char* one : {"1", "1.0", "1abc", " 1", ""})
        EXPECT_TRUE(switchesFrom(std::string("[Conmutadores]\nBaudios=") + one + "\n").baud16) << one;
    for (const char* other : {"0", "2", "abc", "1.5", "-1", "0.1"})
        EXPECT_FALSE(switchesFrom(std::string("[Conmutadores]\nBaudios=") + other + "\n").baud16) << other;
    EXPECT_EQ(switchesFrom("[Conmutadores]\nBW=0\nChannel=0\nAlarma=0\nBaudios=0\nDetector De Modo=0\nShift Range=0\n"
                           "WaterFall=0\nPTT COM=7\n"),
              (MainSwitches{false, false, false, false, false, false, false, true, 7}));

    // A port number the COM menu does not have selects "NO COM".
    for (const int port : {9, 16})
        EXPECT_EQ(switchesFrom("[Conmutadores]\nPTT COM=" + std::to_string(port) + "\n").pttCom, port);
    for (const char* bad : {"17", "-1", "COM3", "2.5", "99999999999999999999", ""})
        EXPECT_EQ(switchesFrom(std::string("[Conmutadores]\nPTT COM=") + bad + "\n").pttCom, 0) << bad;

    // Mail option 1 is SMTP, 2 web mail, anything else no Internet.
    const auto option = [](const char* value) {
        MemorySettingsStore store(std::string("[Email]\nOption=") + value + "\n");
        return Settings(store).readEmailAccount().option;
    };
    EXPECT_EQ(option("1"), MailOption::Smtp);
    EXPECT_EQ(option("2.0"), MailOption::WebMail);
    for (const char* other : {"0", "3", "7", "x"})
        EXPECT_EQ(option(other), MailOption::NoInternet) << other;

    // Text is read whole; empty keeps the initial text; Windows-1252 from an older file
    // reads as the same characters.
    const std::string callsign(60, 'K');
    MemorySettingsStore store("[Operador]\nCallsign=" + callsign +
                              "\nCustom=\nName=Ana\nQTH=A Coru\xF1"
                              "a\n");
    EXPECT_EQ(Settings(store).readOperatorDetails(),
              (OperatorDetails{callsign, "Ana", "A Coruña", "Your Grid", "Features of your Radio Station",
                               "Your e-mail", "(Write what you wish)"}));
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
    for (const char* kept : {"[Tarjeta Sonido]\nEntrada=Built-in Audio Analog Stereo\n",
                             "Option=2\nServidor SMTP=smtp.example.net:587\nUsuario Gmail=ana.g4abc\n", "Rig=IC-7300\n",
                             "[Macros]\nM1=hello\n"})
        EXPECT_NE(store.text()->find(kept), std::string::npos) << kept;

    MemorySettingsStore empty;
    Settings fresh(empty);
    ASSERT_TRUE(fresh.writeMainSwitches({true, false, true, false, true, false, true, false, 3}));
    EXPECT_EQ(*empty.text(),
              "[Conmutadores]\nBW=1\nChannel=0\nAlarma=1\nBaudios=0\nDetector De Modo=1\nShift Range=0\n"
              "WaterFall=1\nDeep Decoding=0\nPTT COM=3\n");
    EXPECT_FALSE(fresh.firstRun());
    ASSERT_TRUE(fresh.writeMainSwitches({.pttCom = std::nullopt}));  // no COM item checked
    EXPECT_NE(empty.text()->find("PTT COM=\n"), std::string::npos);
    EXPECT_EQ(fresh.readMainSwitches().pttCom, 0);
}

TEST(Settings, AFailedWriteIsReported)
{
    MemorySettingsStore store;
    store.failWrites = true;
    Settings settings(store);
    const SettingsSave saved = settings.writeOperatorDetails({});
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_TRUE(settings.firstRun());
}

TEST(Settings, MainSwitchesComeFromAndGoToTheModeModelThroughTheClickRules)
{
    struct Counter final : ModeListener {
        int channel = 0;
        int rate = 0;
        void channelChanged() override { ++channel; }
        void symbolRateChanged() override { ++rate; }
    } counter;
    ModeSwitches model;
    model.addListener(&counter);
    MainSwitches{.hf = false}.applyTo(model);  // only what changed is clicked
    EXPECT_EQ(counter.channel, 1);
    EXPECT_EQ(counter.rate, 0);

    const MainSwitches saved{false, false, false, false, false, false, false, false, 5};
    saved.applyTo(model);
    const ModemMode& mode = model.mode();
    EXPECT_FALSE(mode.bw2250 || !mode.eme || mode.baud16 || mode.autoBaud);
    EXPECT_FALSE(model.afcWide() || model.waterfallOn() || model.alarmOn() || model.decoder() == Decoder::Deep);
    EXPECT_EQ(MainSwitches::from(model, 5), saved);
    MainSwitches{}.applyTo(model);
    EXPECT_EQ(MainSwitches::from(model, 0), MainSwitches{});
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

// The rig's section is new: a file from before it keys by the COM menu, and writing
// it leaves every key and text of the older sections exactly as they were.
TEST(Settings, TheRigSectionIsNewAndLeavesTheOlderKeysAlone)
{
    const std::string old = "[Conmutadores]\nBW=1\nPTT COM=3\n[Operador]\nCallsign=EA4XYZ\n";
    MemorySettingsStore store(old);
    Settings settings(store);
    EXPECT_EQ(settings.readRigSettings(), RigSettings{});
    EXPECT_FALSE(settings.readRigSettings().catAddress());
    EXPECT_FALSE(settings.readDialFrequency());

    const std::string device = "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0";
    RigSettings rig{PttMethod::Hamlib, 3073, device, 19200, "shack-pi", 4533, 0, 45};
    ASSERT_TRUE(settings.writeRigSettings(rig));
    ASSERT_TRUE(settings.writeDialFrequency(14'074'000.0));
    EXPECT_EQ(settings.readRigSettings(), rig);
    EXPECT_EQ(settings.readDialFrequency(), 14'074'000.0);
    EXPECT_TRUE(store.text()->starts_with(old));
    EXPECT_EQ(settings.readRigSettings().catAddress(),
              (RigAddress{RigLink::Hamlib, 3073, rig.device, 19200, "shack-pi", 4533}));
    rig.method = PttMethod::Rigctld;
    EXPECT_EQ(rig.catAddress()->link, RigLink::Rigctld);
    ASSERT_TRUE(settings.writeDialFrequency(std::nullopt));
    EXPECT_FALSE(settings.readDialFrequency());
}

TEST(Settings, RigValuesOutOfRangeTakeTheirDefaults)
{
    const auto rigFrom = [](const std::string& keys) {
        MemorySettingsStore store("[Rig]\n" + keys + "\n");
        return Settings(store).readRigSettings();
    };
    EXPECT_EQ(rigFrom("PTT=rigctld").method, PttMethod::Rigctld);
    EXPECT_EQ(rigFrom("PTT=none").method, PttMethod::None);
    for (const char* unknown : {"CAT", "Hamlib", "1", ""})
        EXPECT_EQ(rigFrom(std::string("PTT=") + unknown).method, PttMethod::Serial) << unknown;
    const RigSettings defaults{PttMethod::Serial, 0, "", 0, "localhost", 4532, 10, 30};
    for (const char* bad : {"Rigctld Port=70000", "Rigctld Port=0", "Model=-3", "Baud=9600.5", "Watchdog 16 Baud=1000",
                            "Watchdog 1 Baud And EME=-1"})
        EXPECT_EQ(rigFrom(bad), defaults) << bad;
    EXPECT_EQ(rigFrom("Watchdog 1 Baud And EME=0").watchdogSlowMinutes, 0);
    for (const char* bad : {"0", "-7000000", "abc", "1e20"}) {
        MemorySettingsStore store(std::string("[Rig]\nDial Frequency=") + bad + "\n");
        EXPECT_FALSE(Settings(store).readDialFrequency()) << bad;
    }
}

TEST(Settings, TheLogSectionIsNewAndEverythingItSendsStartsOff)
{
    MemorySettingsStore store("[Operador]\nCallsign=EA4XYZ\n");
    Settings settings(store);
    const LogSettings older = settings.readLogSettings();
    EXPECT_EQ(older, LogSettings{});
    EXPECT_FALSE(older.udpOn || older.spotsOn);

    LogSettings log{"/home/ana/contacts.adi", true, "192.0.2.5:12060", true, "127.0.0.1:14739"};
    ASSERT_TRUE(settings.writeLogSettings(log));
    EXPECT_EQ(settings.readLogSettings(), log);
    EXPECT_EQ(settings.readOperatorDetails().callsign, "EA4XYZ");
}

}  // namespace
}  // namespace miv
