#include "station/Station.h"

#include "station/CursorReadout.h"
#include "station/ProgramInfo.h"

namespace miv {

namespace {

constexpr int kCursorReadoutMs = 100;
constexpr int kClockMs = 1000;
constexpr int kCpuRefreshMs = 1000;

}  // namespace

Station::Station(StationViews views, StationPlatform platform)
    : send_(views.sendWindow),
      receive_(views.receiveWindow),
      messages_(platform.messages),
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
                     [this](const SoundCards& c) { return settings_.writeSoundCards(c); })
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
    const MainSwitches saved = settings_.readMainSwitches();
    saved.applyTo(switches_);
    comPort_ = saved.pttCom.value_or(0);
    updateCursorReadout();
    clock_.update();
    if (observer_)
        observer_->clockChanged();
    setTimer(StationTimer::UTC, true, kClockMs);

    showGauges(gauges_.startUp());
    clearScreen();
    if (cpu_.start())
        setTimer(StationTimer::RefrescoCPU, true, kCpuRefreshMs);
    if (observer_) {
        observer_->transmitStateChanged();
        observer_->focusSendWindow();
    }
    if (settings_.firstRun() && observer_)
        observer_->showOperatorDialog();
}

void Station::closeDown()
{
    const SettingsSave saved = settings_.writeMainSwitches(MainSwitches::from(switches_, comPort_));
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
    default:
        break;
    }
}

void Station::clickMacro(Macro macro)
{
    if (!macroVisible(macro) || !macroEnabled(macro))
        return;
    if (insertMacro(macro, switches_.mode(), destination_, operatorForm_.value(), send_))
        longInitialTone_ = true;
}

void Station::clearSendWindow()
{
    if (txState() == 0) {
        send_.setText("");
        return;
    }
    send_.setSelStart(sentCount_);
    send_.setSelLength(send_.length() - sentCount_);
    send_.setSelText("");
    send_.setSelColor(kBlack);
}

void Station::clearScreen()
{
    longInitialTone_ = false;
    receive_.setText("");
    receive_.append("\r\n\r\n\r\n\r\n");
    receive_.moveToEnd();
}

void Station::mnuCOMA_Click(int index)
{
    if (index >= 0 && index <= kHighestComPort)
        comPort_ = index;
}

std::string Station::cursorReadout(int x, int y, int width, int height) const
{
    return miv::cursorReadout(x, y, width, height, switches_.mode().bw2250);
}

void Station::updateCursorReadout()
{
    setTimer(StationTimer::PosicionCursor, cursorReadoutRuns(switches_, transmitting()), kCursorReadoutMs);
}

SettingsSave Station::saveSoundCards(const SoundCards& cards)
{
    if (!soundCardSaveEnabled())
        return {};
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
