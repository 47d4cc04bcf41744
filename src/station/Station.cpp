#include "station/Station.h"

#include <algorithm>
#include <utility>

#include "station/Alarm.h"
#include "station/CursorReadout.h"
#include "station/ProgramInfo.h"
#include "station/ReceptionReports.h"

#include "modem/Charset.h"

namespace miv {

namespace {

constexpr int kTickMs = 1;  // the transmit and receive timers poll the sound card
constexpr int kCursorReadoutMs = 100;
constexpr int kClockMs = 1000;
constexpr int kVolumeRefreshMs = 100;
constexpr int kGaugeRefreshMs = 200;  // metric and errors, frame and final acquisition
constexpr int kCpuRefreshMs = 1000;
const std::string kInputMissing = "Device input not avaiable";
const std::string kOutputMissing = "Device output not avaiable";
const std::string kPortError = "Port Error";
const std::string kWatchdogTitle = "Transmit Watchdog";
constexpr int kMillisecondsPerMinute = 60'000;
// After the watchdog's STOP, the rest of the text and the end marker get a fifth of the
// limit (at least a minute) to go out before the transmission is cut.
constexpr int kWatchdogGraceDivisor = 5;
constexpr int kShortestWatchdogGraceMs = kMillisecondsPerMinute;

}  // namespace

struct Station::StandInLog {
    SystemWallClock clock;
    MemoryLogFiles files;
    RecordedDatagrams datagrams;
    LogPlatform platform{clock, files, datagrams, "miv_log.adi", 0};
};

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
      operatorSection_([this] { return settings_.readOperatorDetails(); },
                       [this](const OperatorDetails& d) { return settings_.writeOperatorDetails(d); }),
      emailSection_([this] { return settings_.readEmailAccount(); },
                    [this](const EmailAccount& a) { return settings_.writeEmailAccount(a); }),
      soundCardSection_([this] { return settings_.readSoundCards(); },
                        [this](const SoundCards& c) { return settings_.writeSoundCards(c); }),
      rigSection_([this] { return settings_.readRigSettings(); },
                  [this](const RigSettings& r) { return settings_.writeRigSettings(r); }),
      keyer_(platform.serial, platform.messages, platform.comPorts),
      rig_(platform.rig, keyer_, platform.messages, std::move(platform.rigModels)),
      output_([this] { return audio_.makeSink(playbackPosition()); }),
      input_([this] { return audio_.makeSource(capturePosition()); }),
      transmitter_(switches_, send_, receive_, clock_, output_, deviceMessages_, rig_, *this),
      receiver_(switches_, receive_, clock_, deviceMessages_, input_, *this),
      mailer_(platform.mail),
      logSection_([this] { return settings_.readLogSettings(); },
                  [this](const LogSettings& l) { return settings_.writeLogSettings(l); }),
      logbook_(platform.log ? *platform.log : (standInLog_ = std::make_unique<StandInLog>())->platform, logSection_,
               operatorSection_)
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
    keyer_.disableMissingPorts();
    const MainSwitches saved = settings_.readMainSwitches();
    // Said once the window is up: everything runs on the defaults, and the file is left
    // as it is rather than rewritten over what could not be read.
    const std::string unreadable = settings_.lastReadError();
    saved.applyTo(switches_);
    keyer_.menu().check(saved.pttCom.value_or(0));
    rig_.typeDial(settings_.readDialFrequency());
    rig_.apply(rigSection_.value());
    setTimer(StationTimer::DialPoll, rig_.usesCat(), RigControl::kDialPollMs);
    if (observer_)
        observer_->dialChanged();
    updateCursorReadout();
    clock_.update();
    if (observer_)
        observer_->clockChanged();
    setTimer(StationTimer::Clock, true, kClockMs);

    showGauges(gauges_.startUp());
    clearScreen();
    if (observer_)
        observer_->showMainWindow();
    if (!unreadable.empty())
        messages_.critical(kProgramTitle, unreadable);
    if (cpu_.start())
        setTimer(StationTimer::CpuRefresh, true, kCpuRefreshMs);
    transmitStateChanged();
    focusSendWindow();
    if (settings_.firstRun() && observer_)
        observer_->showOperatorDialog();
    openCapture();
    receiver_.StartReception();
}

void Station::closeDown()
{
    transmitter_.shutdown();  // unkeys first
    receiver_.CloseCapture();
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
    case StationTimer::Receive:
        receiver_.tick();
        break;
    case StationTimer::Transmit:
        transmitter_.tick();
        break;
    case StationTimer::CursorReadout:
        break;  // the window reads the pointer
    case StationTimer::Clock:
        clock_.update();
        if (observer_)
            observer_->clockChanged();
        showMailOutcomes();
        logbook_.poll();
        break;
    case StationTimer::VolumeRefresh:
        showGauges(gauges_.refreshVolume(receiver_.peakLevelGauge()));
        receiver_.resetPeakLevelGauge();
        break;
    case StationTimer::MetricRefresh:
        showGauges(gauges_.refreshMetricAndErrors(receiver_.metricDb(), receiver_.viterbiErrors()));
        break;
    case StationTimer::FrameAcquisitionRefresh: {
        const GaugeSet shown = gauges_.refreshFrameAcquisition(receiver_.frameAcquisitionCount());
        if (shown.contains(Gauge::FrameAcquisition))
            receiver_.resetFrameAcquisitionCount();
        showGauges(shown);
        break;
    }
    case StationTimer::FinalAcquisitionRefresh: {
        const GaugeSet shown = gauges_.refreshFinalAcquisition(receiver_.finalAcquisitionCount(), receiver_.lockFlag());
        if (shown.contains(Gauge::FinalAcquisition))
            receiver_.resetFinalAcquisitionCount();
        showGauges(shown);
        break;
    }
    case StationTimer::FrameAcquisitionHold:
        setTimer(timer, false, timerInterval(timer));
        showGauges(gauges_.frameHoldExpired());
        if (receiver_.receiving())
            setTimer(StationTimer::FrameAcquisitionRefresh, true, kGaugeRefreshMs);
        break;
    case StationTimer::FinalAcquisitionHold:
        setTimer(timer, false, timerInterval(timer));
        showGauges(gauges_.finalHoldExpired());
        if (receiver_.receiving())
            setTimer(StationTimer::FinalAcquisitionRefresh, true, kGaugeRefreshMs);
        break;
    case StationTimer::CpuRefresh:
        showGauges(gauges_.refreshCpu(cpu_.readLoad()));
        break;
    case StationTimer::Alarm:
        setTimer(timer, false, timerInterval(timer));  // once per arming
        alarm_.play(kAlarmTones, transmitDevice());
        break;
    case StationTimer::MailNotification:
        setTimer(timer, false, timerInterval(timer));
        if (observer_)
            observer_->closeMailNotification();
        break;
    case StationTimer::DialPoll:
        pollDial();
        break;
    case StationTimer::Watchdog:
        watchdogFired();
        break;
    }
}

void Station::pressTransmitButton()
{
    const bool wasReceiving = !transmitter_.transmitting();
    transmitter_.pressTransmitButton();
    if (wasReceiving && transmitter_.transmitting())
        logbook_.sent(destination_, cp1252ToUtf8(send_.text()));
    if (output_.isOpen())
        deviceMessages_.forget(kOutputMissing);
    if (wasReceiving && transmitter_.transmitting())
        startWatchdog();
}

void Station::pollDial()
{
    const RigControl::Poll poll = rig_.poll();
    // A rig that no longer answers may not follow the transmission either: stop sending
    // (unkeying first) before telling the operator.
    if (poll.lost && rig_.catKeyed())
        transmitter_.cutTransmission();
    if (poll.tell)
        messages_.critical(kPortError, *poll.tell);
    if (poll.dialChanged && observer_)
        observer_->dialChanged();
}

void Station::startWatchdog()
{
    watchdogStopped_ = false;
    watchdogReason_.reset();
    const int minutes = watchdogMinutes(rig_.settings(), switches_.mode());
    setTimer(StationTimer::Watchdog, false, 0);
    if (minutes > 0)
        setTimer(StationTimer::Watchdog, true, minutes * kMillisecondsPerMinute);
}

void Station::watchdogFired()
{
    if (!transmitter_.transmitting()) {
        setTimer(StationTimer::Watchdog, false, 0);
        return;
    }
    if (watchdogStopped_) {
        transmitter_.cutTransmission();
        return;
    }
    const int limitMs = timerInterval(StationTimer::Watchdog);
    watchdogStopped_ = true;
    watchdogReason_ = "The transmission was ended after " + std::to_string(limitMs / kMillisecondsPerMinute) +
                      " minutes, the limit set in the PTT window.";
    if (transmitter_.state() == TxState::Transmitting)
        transmitter_.pressTransmitButton();  // as STOP: the text and the end marker go out
    setTimer(StationTimer::Watchdog, true, std::max(limitMs / kWatchdogGraceDivisor, kShortestWatchdogGraceMs));
}

void Station::tellAfterTransmission()
{
    setTimer(StationTimer::Watchdog, false, 0);
    if (const std::optional<std::string> failure = rig_.takeUnkeyFailure())
        messages_.critical(kPortError, *failure);
    if (watchdogReason_)
        messages_.critical(kWatchdogTitle, *std::exchange(watchdogReason_, std::nullopt));
}

SettingsSave Station::saveRigSettings(const RigSettings& settings)
{
    if (!rigSaveEnabled())
        return {};
    const SettingsSave saved = rigSection_.save(settings);
    rig_.apply(settings);
    setTimer(StationTimer::DialPoll, rig_.usesCat(), RigControl::kDialPollMs);
    if (observer_)
        observer_->dialChanged();
    return saved;
}

void Station::typeDialFrequency(std::optional<double> hz)
{
    rig_.typeDial(hz);
    const SettingsSave saved = settings_.writeDialFrequency(hz);
    if (!saved)
        messages_.critical(kProgramTitle, saved.error);
    if (observer_)
        observer_->dialChanged();
}

void Station::clickMacro(Macro macro)
{
    if (!macroVisible(macro) || !macroEnabled(macro))
        return;
    if (insertMacro(macro, switches_.mode(), destination_, operatorSection_.value(), send_))
        transmitter_.setLongInitialTone(true);
}

void Station::clearScreen()
{
    transmitter_.setLongInitialTone(false);
    receive_.setText("");
    receive_.append("\r\n\r\n\r\n\r\n");
    receive_.moveToEnd();
}

std::string Station::cursorReadout(int x, int y, int width, int height) const
{
    return miv::cursorReadout(x, y, width, height, switches_.mode().bw2250);
}

std::string Station::cursorRadioFrequency(int x, int y, int width, int height) const
{
    const std::optional<double> audioHz = cursorAudioFrequency(x, y, width, height);
    const std::optional<double> radioHz = audioHz ? rig_.rfFrequencyHz(*audioHz) : std::nullopt;
    return radioHz ? formatMegahertz(*radioHz) : std::string();
}

void Station::updateCursorReadout()
{
    setTimer(StationTimer::CursorReadout, cursorReadoutRuns(switches_, transmitting()), kCursorReadoutMs);
}

void Station::openCapture()
{
    receiver_.OpenCapture();
    if (input_.isOpen())
        deviceMessages_.forget(kInputMissing);
}

int Station::capturePosition()
{
    return savedDevicePosition(audio_.captureDevices(), soundCardSection_.value().input);
}

int Station::playbackPosition()
{
    return savedDevicePosition(audio_.playbackDevices(), soundCardSection_.value().output);
}

std::string Station::transmitDevice()
{
    const std::vector<std::string> devices = audio_.playbackDevices();
    const int position = savedDevicePosition(devices, soundCardSection_.value().output);
    if (position < 0 || devices[static_cast<std::size_t>(position)] == kDefaultAudioDevice)
        return {};
    return devices[static_cast<std::size_t>(position)];
}

SettingsSave Station::saveSoundCards(const SoundCards& cards)
{
    if (!soundCardSaveEnabled())
        return {};
    receiver_.CancelMessage();
    receiver_.CloseCapture();
    const SettingsSave saved = soundCardSection_.save(cards);
    deviceMessages_.forgetAll();  // a new choice deserves its own verdict
    openCapture();
    receiver_.StartReception();
    return saved;
}

void Station::showMailOutcomes()
{
    for (const ReportOutcome& outcome : mailer_.takeFinished()) {
        if (!notificationText(outcome.status))
            continue;
        if (observer_)
            observer_->showMailNotification(outcome.status == ReportStatus::Sent);
        setTimer(StationTimer::MailNotification, false, kNotificationMilliseconds);
        setTimer(StationTimer::MailNotification, true, kNotificationMilliseconds);
    }
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

void Station::startReception()
{
    // A transmission has ended: what it said is all in the send window now.
    logbook_.sent(destination_, cp1252ToUtf8(send_.text()));
    tellAfterTransmission();
    openCapture();
    receiver_.StartReception();
}

void Station::resetStatusDisplays()
{
    showGauges(gauges_.resetAll());
    setTimer(StationTimer::VolumeRefresh, false, kVolumeRefreshMs);
    setTimer(StationTimer::MetricRefresh, false, kGaugeRefreshMs);
    setTimer(StationTimer::FrameAcquisitionRefresh, false, kGaugeRefreshMs);
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
    setTimer(StationTimer::Transmit, running, kTickMs);
}

void Station::transmitStateChanged()
{
    if (observer_)
        observer_->transmitStateChanged();
}

void Station::receptionStarted()
{
    setTimer(StationTimer::Receive, true, kTickMs);
    setTimer(StationTimer::VolumeRefresh, true, kVolumeRefreshMs);
    setTimer(StationTimer::MetricRefresh, true, kGaugeRefreshMs);
    setTimer(StationTimer::FrameAcquisitionRefresh, true, kGaugeRefreshMs);
    setTimer(StationTimer::FinalAcquisitionRefresh, true, kGaugeRefreshMs);
    transmitStateChanged();  // the macro buttons follow the mode
}

void Station::receptionStopped()
{
    setTimer(StationTimer::Receive, false, kTickMs);
    setTimer(StationTimer::VolumeRefresh, false, kVolumeRefreshMs);
    setTimer(StationTimer::MetricRefresh, false, kGaugeRefreshMs);
    setTimer(StationTimer::FrameAcquisitionRefresh, false, kGaugeRefreshMs);
}

void Station::frequencyShiftShown(float shiftHz, AfcRange range)
{
    showGauges(gauges_.showFrequencyShift(shiftHz, range));
}

void Station::symbolSynchronizationShown(int shiftRows)
{
    showGauges(gauges_.showSymbolSynchronization(shiftRows));
}

void Station::frameAcquired(int matches)
{
    if (const std::optional<int> delay = armAlarm(switches_))
        setTimer(StationTimer::Alarm, true, *delay);
    setTimer(StationTimer::FrameAcquisitionRefresh, false, kGaugeRefreshMs);
    showGauges(gauges_.frameAcquired(matches));
    setTimer(StationTimer::FrameAcquisitionHold, false, StatusGauges::kAcquisitionHoldMs);
    setTimer(StationTimer::FrameAcquisitionHold, true, StatusGauges::kAcquisitionHoldMs);
}

void Station::finalAcquired(int matches)
{
    setTimer(StationTimer::FinalAcquisitionRefresh, false, kGaugeRefreshMs);
    showGauges(gauges_.finalAcquired(matches));
    setTimer(StationTimer::FinalAcquisitionHold, false, StatusGauges::kAcquisitionHoldMs);
    setTimer(StationTimer::FinalAcquisitionHold, true, StatusGauges::kAcquisitionHoldMs);
}

void Station::messageEnded(const ReceivedMessage& message)
{
    // The report quotes, beside the receiver's figures, what the gauges last showed:
    // those readings live here, so the report is put together here.
    const ReceptionReport report = receptionReport(message, gauges_.readings());
    ReportInput input = reportInputFor(report, switches_.mode());
    input.operatorDetails = operatorSection_.value();
    input.account = emailSection_.value();
    mailer_.submit(planner_.plan(input));

    const ModeParameters& mode = switches_.mode().parameters();
    HeardMessage heard;
    heard.text = cp1252ToUtf8(message.receivedText);
    heard.cancelled = message.cancelled;
    // The signal's audio centre: the middle of the tones it hops over, moved by the shift.
    heard.audioHz = (mode.lowestTone + mode.highestTone) / 2 + message.frequencyShift;
    heard.snrDb = report.snrDb;
    heard.mode = mode.mode;
    logbook_.heard(heard, dialFrequencyHz());
    if (observer_)
        observer_->signalToNoiseChanged();
}

}  // namespace miv
