#include "station/Station.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/Settings.h"
#include "station/StationFakes.h"

namespace miv {
namespace {

using testing::FakePlatform;
using T = StationTimer;

struct NullCanvas final : WaterfallCanvas {
    void drawLine(const WaterfallLine&) override {}
    void scrollDown() override {}
};

// What the station asked of its window, beyond the timers it reads back itself.
struct RecordingObserver final : StationObserver {
    void showOperatorDialog() override { ++operatorDialogs; }
    void closeAbortDialog() override { ++abortDialogsClosed; }
    void clearWaterfall() override { ++waterfallClears; }

    int operatorDialogs = 0;
    int abortDialogsClosed = 0;
    int waterfallClears = 0;
};

// A station wired to fakes and memory windows, started as the window starts it.
struct TestStation {
    explicit TestStation(const StationPlatform& platform) : station(StationViews{send, receive, canvas}, platform)
    {
        station.setObserver(&observer);
        station.startUp();
    }

    bool running(T timer) const { return station.timerRunning(timer); }
    bool transmitToEnd()
    {
        testing::runTransmitTimer(station);
        return station.txState() == TxState::Receiving;
    }
    bool transmit(const std::string& text)
    {
        send.append(text);
        station.pressTransmitButton();
        station.pressTransmitButton();
        return transmitToEnd();
    }
    bool received(const std::string& tail) const { return receive.text().ends_with(tail); }

    MemoryTextWindow send;
    MemoryTextWindow receive;
    NullCanvas canvas;
    RecordingObserver observer;
    Station station;
};

class StationTest : public ::testing::Test {
protected:
    StationTest() { fakes_.settings.save("[Operador]\nCallsign=EA4XYZ\n"); }
    TestStation& start()
    {
        started_ = std::make_unique<TestStation>(fakes_.platform());
        return *started_;
    }

    FakePlatform fakes_;
    std::unique_ptr<TestStation> started_;
};

TEST_F(StationTest, StartUpRunsTheReceiverAndTheDisplays)
{
    TestStation& t = start();
    const std::pair<T, int> running[] = {
        {T::Receive, 1},
        {T::Clock, 1000},
        {T::CpuRefresh, 1000},
        {T::CursorReadout, 100},
        {T::VolumeRefresh, 100},
        {T::MetricRefresh, 200},
        {T::FrameAcquisitionRefresh, 200},
        {T::FinalAcquisitionRefresh, 200},
    };
    for (const auto& [timer, interval] : running)
        EXPECT_EQ(t.running(timer) ? t.station.timerInterval(timer) : 0, interval) << static_cast<int>(timer);
    EXPECT_FALSE(t.running(T::Transmit));
    EXPECT_EQ(t.receive.text(), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(t.observer.operatorDialogs, 0);
    // COM1 and COM5 exist: the other ports are listed but cannot be chosen.
    EXPECT_TRUE(t.station.portMenu().entry(5).enabled);
    EXPECT_FALSE(t.station.portMenu().entry(2).enabled);
    EXPECT_TRUE(fakes_.messages.shown.empty());

    fakes_.settings = MemorySettingsStore();  // the first run
    EXPECT_EQ(start().observer.operatorDialogs, 1);
}

// A file that is there but cannot be read is told, and is no first run.
TEST_F(StationTest, AnUnreadableSettingsFileIsTold)
{
    struct Unreadable final : SettingsStore {
        bool exists() const override { return true; }
        SettingsLoad load() const override { return {SettingsLoad::Status::Failed, {}, "cannot read MIV.ini"}; }
        SettingsSave save(std::string_view) override { return {}; }
        std::string location() const override { return "MIV.ini"; }
    } unreadable;
    const StationPlatform p = fakes_.platform();
    TestStation t(StationPlatform{p.clock, p.messages, unreadable, p.audio, p.processorTimes, p.alarm, p.serial,
                                  p.comPorts, p.mail, p.rig, p.rigModels});
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0].text, "cannot read MIV.ini");
    EXPECT_EQ(t.observer.operatorDialogs, 0);
}

TEST_F(StationTest, ATransmissionHandsTheSoundCardOverAndBackAndLocksTheMode)
{
    TestStation& t = start();
    ModeSwitches& switches = t.station.switches();
    t.send.append("HELLO");
    const auto captureOpenings = fakes_.audio.sourcePositions.size();
    t.station.pressTransmitButton();
    EXPECT_STREQ(t.station.txButton().caption, "STOP");
    EXPECT_EQ(t.station.timerInterval(T::Transmit), 1);
    for (const T timer : {T::Transmit, T::Receive, T::CursorReadout, T::VolumeRefresh, T::FrameAcquisitionRefresh})
        EXPECT_EQ(t.running(timer), timer == T::Transmit) << static_cast<int>(timer);
    EXPECT_TRUE(fakes_.audio.output.isOpen());
    EXPECT_EQ(t.observer.waterfallClears, 1);
    EXPECT_FALSE(t.station.soundCardSaveEnabled());
    EXPECT_FALSE(t.station.macroEnabled(Macro::CQ));  // it would replace the text being sent
    EXPECT_FALSE(switches.clickBandwidth() || switches.clickChannel() || switches.clickSymbolRate());
    switches.clickAutoBaud();  // the receiver's choice: not guarded
    EXPECT_FALSE(switches.mode().autoBaud);

    t.station.pressTransmitButton();
    EXPECT_STREQ(t.station.txButton().caption, "WAIT");
    EXPECT_FALSE(t.station.txButton().enabled);
    ASSERT_TRUE(t.transmitToEnd());
    EXPECT_STREQ(t.station.txButton().caption, "PTT");
    EXPECT_TRUE(t.received("\r\nTX <09:05 UTC> HELLO <STOP>"));
    EXPECT_EQ(t.send.textIn(Colour::Black), "HELLO");
    EXPECT_FALSE(fakes_.audio.output.isOpen());
    EXPECT_EQ(fakes_.audio.sourcePositions.size(), captureOpenings + 1);
    EXPECT_TRUE(t.running(T::Receive) && t.running(T::CursorReadout) && t.station.soundCardSaveEnabled());
    EXPECT_EQ(t.observer.abortDialogsClosed, 1);
    EXPECT_TRUE(switches.clickBandwidth());
}

TEST_F(StationTest, ModeChangesClearTheSendWindowAndMoveTheReadout)
{
    TestStation& t = start();
    ModeSwitches& switches = t.station.switches();
    t.send.append("kept");
    switches.clickBandwidth();
    EXPECT_EQ(t.send.text(), "kept");
    EXPECT_EQ(t.station.cursorReadout(0, 10, 769, 100), "Frec: .0 Hz @ Shift: -1000.0 Hz");
    switches.clickSymbolRate();
    EXPECT_EQ(t.send.text(), "");
    t.send.append("gone");
    switches.clickChannel();  // EME: no waterfall to point at
    EXPECT_EQ(t.send.text(), "");
    EXPECT_FALSE(t.running(T::CursorReadout));
    switches.clickChannel();
    EXPECT_TRUE(t.running(T::CursorReadout));
    switches.clickWaterfall();
    EXPECT_FALSE(t.running(T::CursorReadout));
    EXPECT_EQ(t.observer.waterfallClears, 1);
}

TEST_F(StationTest, MacrosUseTheDestinationAndTheLiveOperatorDetails)
{
    TestStation& t = start();
    t.station.setDestination("G4ABC");
    t.station.clickMacro(Macro::Call);
    t.station.clickMacro(Macro::RRR);  // hidden at 16 baud: nothing
    EXPECT_EQ(t.send.text(), "G4ABC de EA4XYZ ");
    // While the operator dialog is open its fields are the details; closing it without
    // saving brings back the file's.
    OperatorDetails edited = t.station.operatorSection().load();
    edited.callsign = "ON4ZZ";
    t.station.operatorSection().edit(edited);
    t.station.clickMacro(Macro::CQ);
    EXPECT_EQ(t.send.text(), "CQ CQ CQ de ON4ZZ ON4ZZ ON4ZZ pse k ");
    EXPECT_TRUE(t.station.longInitialTone());
    t.station.operatorSection().unload();
    t.station.clickMacro(Macro::Bye);
    EXPECT_TRUE(t.send.text().ends_with("pse k tnx fer QSO, 73. G4ABC de EA4XYZ sk "));

    t.station.clearScreen();
    t.station.clearSendWindow();
    EXPECT_FALSE(t.station.longInitialTone());
    EXPECT_EQ(t.receive.text(), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(t.send.text(), "");
}

// Capture reopens after every transmission: a missing device is told once, until the
// operator chooses the sound cards again.
TEST_F(StationTest, DeviceFailuresAreToldOncePerChoiceAndNeverStopTheStation)
{
    fakes_.audio.output.setAvailable(false);
    fakes_.audio.recording.reset();
    TestStation& t = start();
    EXPECT_TRUE(t.running(T::Receive));  // reception runs on, with nothing to take
    ASSERT_TRUE(t.transmit("AB"));       // with no output a stop ends at once
    t.send.append("CD");
    t.station.pressTransmitButton();
    t.station.abortTransmission();  // and so does a cancel
    ASSERT_TRUE(t.transmitToEnd());
    EXPECT_TRUE(t.received(" <CANCEL>"));
    ASSERT_EQ(fakes_.messages.shown.size(), 2u);
    EXPECT_EQ(fakes_.messages.shown[0].text, "Device input not avaiable");
    EXPECT_EQ(fakes_.messages.shown[1].text, "Device output not avaiable");
    EXPECT_EQ(fakes_.messages.shown[1].title, "SoundCard Error");

    EXPECT_TRUE(t.station.saveSoundCards({"USB Audio CODEC", "Speakers"}));
    EXPECT_EQ(fakes_.audio.sourcePositions.back(), 1);
    EXPECT_EQ(fakes_.messages.shown.size(), 3u);
}

TEST_F(StationTest, SoundCardSaveWaitsForTheEndOfATransmission)
{
    TestStation& t = start();
    t.station.pressTransmitButton();
    const auto openings = fakes_.audio.sourcePositions.size();
    t.station.saveSoundCards({"USB Audio CODEC", "Speakers"});  // refused: nothing happens
    EXPECT_EQ(fakes_.audio.sourcePositions.size(), openings);
    EXPECT_NE(Settings(fakes_.settings).readSoundCards().input, "USB Audio CODEC");
    t.station.pressTransmitButton();
    ASSERT_TRUE(t.transmitToEnd());

    // A refused write still takes the chosen input at once; playback takes the chosen
    // output at the next transmission.
    fakes_.settings.failWrites = true;
    EXPECT_FALSE(t.station.saveSoundCards({"USB Audio CODEC", "Speakers"}));
    EXPECT_EQ(fakes_.audio.sourcePositions.back(), 1);
    EXPECT_EQ(fakes_.audio.sinkPositions.back(), 0);
    t.station.pressTransmitButton();
    EXPECT_EQ(fakes_.audio.sinkPositions.back(), 2);
}

// What the operator set is written when the window closes and read at the next start.
TEST_F(StationTest, SwitchesAndPortSurviveARestart)
{
    TestStation& first = start();
    ModeSwitches& set = first.station.switches();
    set.clickBandwidth();
    set.clickSymbolRate();
    set.clickAfcRange();
    set.clickAlarm();
    set.clickWaterfall();
    first.station.choosePort(1);
    first.station.pressTransmitButton();
    ASSERT_TRUE(fakes_.serial.isOpen());
    first.station.closeDown();
    EXPECT_FALSE(fakes_.serial.isOpen() || fakes_.audio.output.isOpen());  // unkeyed first

    const TestStation& t = start();
    const ModeSwitches& read = t.station.switches();
    EXPECT_FALSE(read.mode().bw2250 || read.mode().baud16 || read.afcWide() || read.alarmOn() || read.waterfallOn());
    EXPECT_EQ(t.station.portMenu().checkedIndex(), 1);
}

// The lock refuses mode clicks and arms the displays. PTT ends the message even when
// the port is missing and the operator then stays receiving.
TEST_F(StationTest, AMessageBeingReceivedLocksTheModeUntilPttCancelsIt)
{
    fakes_.audio.recording = testing::recording("hf2250-16.flac");
    TestStation& t = start();
    ASSERT_TRUE(testing::receiveUntil(t.station, [&] { return t.station.receiverLocked(); }));
    EXPECT_FALSE(t.station.switches().clickBandwidth() || t.station.switches().clickChannel());
    EXPECT_EQ(t.station.timerInterval(T::FrameAcquisitionHold), 8000);
    t.station.timerFired(T::FrameAcquisitionHold);
    EXPECT_FALSE(t.running(T::FrameAcquisitionHold));
    EXPECT_TRUE(t.running(T::FrameAcquisitionRefresh));
    // The alarm sounds once, and never on the transmitter's output (the default here).
    EXPECT_EQ(t.station.timerInterval(T::Alarm), 96);
    t.station.timerFired(T::Alarm);
    EXPECT_FALSE(t.running(T::Alarm));
    EXPECT_EQ(fakes_.alarm.devices, std::vector<std::string>{""});

    ASSERT_TRUE(testing::receiveUntil(t.station, [&] { return t.receive.text().find("CQ CQ") != std::string::npos; }));
    t.station.choosePort(5);
    fakes_.serial.present.clear();  // unplugged since start-up; the operator answers Abort
    t.station.pressTransmitButton();
    EXPECT_EQ(t.station.txState(), TxState::Receiving);
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0].text, "COM5 not avaiable");
    EXPECT_FALSE(t.station.receiverLocked());
    EXPECT_TRUE(t.received(" <CANCEL>"));
    EXPECT_FALSE(fakes_.audio.output.isOpen());
    EXPECT_TRUE(t.running(T::Receive));
}

// CAT through a rigctld: keyed around the transmission, the dial read every few seconds
// and offered as dial + audio offset; a rig lost while keyed cuts the transmission,
// unkeyed before the operator is told.
TEST_F(StationTest, CatKeysAroundATransmissionReadsTheDialAndCutsWhenTheRigIsLost)
{
    fakes_.settings.save("[Rig]\nPTT=rigctld\nRigctld Host=127.0.0.1\nRigctld Port=4533\n");
    TestStation& t = start();
    ASSERT_TRUE(fakes_.rig.address);
    EXPECT_EQ(fakes_.rig.address->port, 4533);
    EXPECT_EQ(t.station.timerInterval(T::DialPoll), RigControl::kDialPollMs);
    t.station.timerFired(T::DialPoll);
    t.station.timerFired(T::DialPoll);
    EXPECT_EQ(t.station.rfFrequencyHz(1500), 14'075'500.0);
    EXPECT_EQ(t.station.cursorRadioFrequency(50, 10, 100, 20), "14.075500 MHz");
    EXPECT_EQ(t.station.cursorRadioFrequency(101, 10, 100, 20), "");

    ASSERT_TRUE(t.transmit("HI"));
    EXPECT_EQ(fakes_.rig.log.back(), "ptt off");
    EXPECT_TRUE(std::count(fakes_.rig.log.begin(), fakes_.rig.log.end(), "ptt on") == 1 && !fakes_.rig.keyed);

    t.send.append(" AGN");
    t.station.pressTransmitButton();
    ASSERT_TRUE(fakes_.rig.keyed);
    fakes_.rig.answering = false;
    t.station.timerFired(T::DialPoll);
    EXPECT_EQ(t.station.txState(), TxState::Receiving);
    EXPECT_TRUE(t.received(" <CANCEL>"));
    EXPECT_FALSE(t.station.dialFrequencyHz());
    ASSERT_EQ(fakes_.messages.shown.size(), 2u);
    EXPECT_EQ(fakes_.messages.shown[0].text,
              "rigctld at 127.0.0.1:4533 did not confirm PTT off (Communication timed out): check that the radio "
              "is not transmitting");
    EXPECT_EQ(fakes_.messages.shown[1].text, "rigctld at 127.0.0.1:4533 not available: Communication timed out");
    t.station.timerFired(T::DialPoll);
    EXPECT_EQ(fakes_.messages.shown.size(), 2u);  // told once
}

// The watchdog ends an over-long transmission as STOP would, cuts it when even that
// takes too long, and says why once the radio is unkeyed.
TEST_F(StationTest, TheWatchdogStopsThenCutsAndTellsWhyOnceUnkeyed)
{
    fakes_.settings.save("[Rig]\nPTT=rigctld\nWatchdog 16 Baud=2\nWatchdog 1 Baud And EME=0\n");
    TestStation& t = start();
    t.send.append("CQ CQ");
    t.station.pressTransmitButton();
    EXPECT_EQ(t.station.timerInterval(T::Watchdog), 120'000);
    t.station.timerFired(T::Watchdog);
    EXPECT_EQ(t.station.txState(), TxState::EndRequested);
    EXPECT_EQ(t.station.timerInterval(T::Watchdog), 60'000);  // the grace before the cut
    EXPECT_TRUE(fakes_.messages.shown.empty() && fakes_.rig.keyed);
    ASSERT_TRUE(t.transmitToEnd());
    EXPECT_TRUE(t.received("CQ CQ <STOP>") && !fakes_.rig.keyed && !t.running(T::Watchdog));
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0].title, "Transmit Watchdog");
    EXPECT_EQ(fakes_.messages.shown[0].text,
              "The transmission was ended after 2 minutes, the limit set in the PTT "
              "window.");

    t.station.pressTransmitButton();
    t.station.timerFired(T::Watchdog);
    t.station.timerFired(T::Watchdog);
    EXPECT_TRUE(t.received(" <CANCEL>") && !fakes_.rig.keyed && fakes_.messages.shown.size() == 2u);

    t.station.switches().clickSymbolRate();  // 1 baud: switched off
    t.station.pressTransmitButton();
    EXPECT_FALSE(t.running(T::Watchdog));
}

// However the transmission or the program ends, the radio is unkeyed: a sound device
// that goes away, one that never opens, the window closing, the station destroyed.
TEST_F(StationTest, EveryEndUnkeysTheRadio)
{
    fakes_.settings.save("[Rig]\nPTT=hamlib\nModel=3073\nDevice=/dev/ttyUSB0\n");
    auto* t = &start();
    t->send.append("TEST");
    t->station.pressTransmitButton();
    testing::runTransmitTimer(t->station, 20);
    fakes_.audio.output.fail();
    t->station.timerFired(T::Transmit);
    EXPECT_TRUE(t->station.txState() == TxState::Receiving && !fakes_.rig.keyed);

    fakes_.audio.output.setAvailable(false);
    t->station.pressTransmitButton();
    EXPECT_FALSE(fakes_.rig.keyed);  // nothing to send: not keyed while the operator reads why
    fakes_.audio.output.setAvailable(true);
    t->station.pressTransmitButton();
    ASSERT_TRUE(t->transmitToEnd());
    EXPECT_EQ(fakes_.messages.shown.size(), 1u);  // "Device output not avaiable", once

    t->station.pressTransmitButton();
    ASSERT_TRUE(fakes_.rig.keyed);
    t->station.closeDown();
    EXPECT_FALSE(fakes_.rig.keyed);

    started_.reset();
    t = &start();
    t->station.pressTransmitButton();
    ASSERT_TRUE(fakes_.rig.keyed);
    started_.reset();
    EXPECT_FALSE(fakes_.rig.keyed || fakes_.rig.address);
}

// The PTT choice is put to use only while receiving; the typed dial counts without CAT
// and survives a restart.
TEST_F(StationTest, RigSettingsWaitForReceptionAndTheTypedDialIsKept)
{
    TestStation& t = start();
    EXPECT_FALSE(t.running(T::DialPoll));
    t.station.typeDialFrequency(3'573'000.0);
    EXPECT_EQ(t.station.rfFrequencyHz(1000), 3'574'000.0);
    RigSettings cat;
    cat.method = PttMethod::Rigctld;
    t.station.pressTransmitButton();
    t.station.saveRigSettings(cat);  // refused: nothing happens
    EXPECT_FALSE(fakes_.rig.address);
    t.station.pressTransmitButton();
    ASSERT_TRUE(t.transmitToEnd());
    EXPECT_TRUE(t.station.saveRigSettings(cat));
    EXPECT_TRUE(fakes_.rig.address && t.running(T::DialPoll) && t.station.dialFromCat());
    EXPECT_FALSE(t.station.dialFrequencyHz());  // CAT's, not yet read
    EXPECT_EQ(Settings(fakes_.settings).readRigSettings(), cat);

    cat.method = PttMethod::None;
    EXPECT_TRUE(t.station.saveRigSettings(cat));
    EXPECT_FALSE(fakes_.rig.address || t.running(T::DialPoll));
    started_.reset();
    EXPECT_EQ(start().station.dialFrequencyHz(), 3'573'000.0);
}

}  // namespace
}  // namespace miv
