#include "station/Station.h"

#include "station/CursorReadout.h"
#include "station/ProgramInfo.h"

namespace miv {

namespace {

constexpr int kCursorReadoutMs = 100;
constexpr int kClockMs = 1000;
constexpr int kCpuRefreshMs = 1000;
constexpr int kTickMs = 1;  // the transmit and receive timers poll the sound card
const std::string kOutputMissing = "Device output not avaiable";

}  // namespace

Station::Station(StationViews views, StationPlatform platform)
    : send_(views.sendWindow),
      receive_(views.receiveWindow),
      messages_(platform.messages),
      deviceMessages_(platform.messages),
      audio_(platform.audio),
      alarm_(platform.alarm),
      settings_(platform.settings),
      clock_(platform.clock),
      gauges_(switches_),
      cpu_(platform.processorTimes, platform.messages),
      waterfall_(switches_, views.waterfall),
      operatorForm_([this] { return settings_.readOperatorDetails(); },
                    [this](const OperatorDetails& d) { return settings_.writeOperatorDetails(d); }),
      emailForm_([this] { return settings_.readEmailAccount(); },
                 [this](const EmailAccount& a) { return settings_.writeEmailAccount(a); }),
      soundCardForm_([this] { return settings_.readSoundCards(); },
                     [this](const SoundCards& c) { return settings_.writeSoundCards(c); }),
      keyer_(platform.serial, platform.messages, platform.comPorts),
      output_([this] { return audio_.makeSink(playbackPosition()); }),
      transmitter_(switches_, send_, receive_, clock_, output_, deviceMessages_, keyer_, *this)
{
    switches_.setGuard(this);
    switches_.addListener(this);
}

Station::~Station()
{
    switches_.removeListener(this);
    switches_.setGuard(nullptr);
}

void Station::startUp()
{
    keyer_.DisableMissingPorts();
    const MainSwitches saved = settings_.readMainSwitches();
    saved.applyTo(switches_);
    keyer_.mnuCOMA_Click(saved.pttCom.value_or(0));
    updateCursorReadout();
    clock_.update();
    if (observer_)
        observer_->clockChanged();
    setTimer(StationTimer::UTC, true, kClockMs);

    showGauges(gauges_.startUp());
    clearScreen();
    if (cpu_.start())
        setTimer(StationTimer::RefrescoCPU, true, kCpuRefreshMs);
    transmitStateChanged();
    focusSendWindow();
    if (settings_.firstRun() && observer_)
        observer_->showOperatorDialog();
}

void Station::closeDown()
{
    transmitter_.shutdown();  // unkeys first
    const int checked = keyer_.menu().checkedIndex();
    const SettingsSave saved = settings_.writeMainSwitches(
        MainSwitches::from(switches_, checked < 0 ? std::nullopt : std::optional<int>(checked)));
    if (!saved)
        messages_.critical(kProgramTitle, saved.error);
}

void Station::setTimer(StationTimer timer, bool running, int intervalMs)
{
    TimerState& state = timers_[index(timer)];
    if (state.running == running && state.intervalMs == intervalMs)
        return;
    state = {running, intervalMs};
    if (observer_)
        observer_->timerChanged(timer, running, intervalMs);
}

void Station::showGauges(GaugeSet gauges)
{
    if (observer_ && !gauges.empty())
        observer_->gaugesChanged(gauges);
}

void Station::timerFired(StationTimer timer)
{
    switch (timer) {
    case StationTimer::UTC:
        clock_.update();
        if (observer_)
            observer_->clockChanged();
        break;
    case StationTimer::RefrescoCPU:
        showGauges(gauges_.refreshCpu(cpu_.readLoad()));
        break;
    case StationTimer::TX:
        transmitter_.tick();
        break;
    default:
        break;
    }
}

void Station::clickMacro(Macro macro)
{
    if (!macroVisible(macro) || !macroEnabled(macro))
        return;
    if (insertMacro(macro, switches_.mode(), destination_, operatorForm_.value(), send_))
        transmitter_.setLongInitialTone(true);
}

void Station::clearSendWindow()
{
    transmitter_.clearSendWindow();
}

void Station::clearScreen()
{
    transmitter_.setLongInitialTone(false);
    receive_.setText("");
    receive_.append("\r\n\r\n\r\n\r\n");
    receive_.moveToEnd();
}

void Station::cmdTX_RX_Click()
{
    transmitter_.cmdTX_RX_Click();
    if (output_.isOpen())
        deviceMessages_.forget(kOutputMissing);
}

std::string Station::cursorReadout(int x, int y, int width, int height) const
{
    return miv::cursorReadout(x, y, width, height, switches_.mode().bw2250);
}

void Station::updateCursorReadout()
{
    setTimer(StationTimer::PosicionCursor, cursorReadoutRuns(switches_, transmitting()), kCursorReadoutMs);
}

int Station::playbackPosition()
{
    return savedDevicePosition(audio_.playbackDevices(), soundCardForm_.value().output);
}

SettingsSave Station::saveSoundCards(const SoundCards& cards)
{
    if (!soundCardSaveEnabled())
        return {};
    deviceMessages_.forgetAll();  // a new choice deserves its own verdict
    return soundCardForm_.save(cards);
}

void Station::symbolRateChanged()
{
    send_.setText("");
}

void Station::channelChanged()
{
    send_.setText("");
    updateCursorReadout();
}

void Station::waterfallChanged()
{
    updateCursorReadout();
    if (!switches_.waterfallOn() && observer_)
        observer_->clearWaterfall();
}

}  // namespace miv

namespace miv {

void Station::resetStatusDisplays()
{
    showGauges(gauges_.resetAll());
    setTimer(StationTimer::RefrescoVumetro, false, timerInterval(StationTimer::RefrescoVumetro));
    setTimer(StationTimer::RefrescoMetrica, false, timerInterval(StationTimer::RefrescoMetrica));
    setTimer(StationTimer::RefrescoAdquisicion, false, timerInterval(StationTimer::RefrescoAdquisicion));
}

void Station::clearWaterfall()
{
    if (observer_)
        observer_->clearWaterfall();
}

void Station::focusSendWindow()
{
    if (observer_)
        observer_->focusSendWindow();
}

void Station::txButtonChanged()
{
    updateCursorReadout();
    transmitStateChanged();
}

void Station::showAbortDialog()
{
    if (observer_)
        observer_->showAbortDialog();
}

void Station::closeAbortDialog()
{
    if (observer_)
        observer_->closeAbortDialog();
}

void Station::transmitTimerChanged(bool running)
{
    setTimer(StationTimer::TX, running, kTickMs);
}

void Station::transmitStateChanged()
{
    if (observer_)
        observer_->transmitStateChanged();
}

}  // namespace miv
