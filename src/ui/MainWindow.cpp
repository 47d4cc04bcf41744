#include "ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/AbortDialog.h"
#include "ui/AboutDialog.h"
#include "ui/EmailDialog.h"
#include "ui/EmailNotificationDialog.h"
#include "ui/LogQsoDialog.h"
#include "ui/LogSettingsDialog.h"
#include "ui/FrequencyScale.h"
#include "ui/NeedleGauge.h"
#include "ui/OperatorDialog.h"
#include "ui/OptionPair.h"
#include "ui/RigDialog.h"
#include "ui/SoundCardDialog.h"
#include "ui/TextView.h"
#include "ui/WaterfallView.h"

namespace miv {

namespace {

QPixmap lampPicture(const QColor& colour)
{
    const qreal ratio = 2.0;
    QPixmap picture(QSize(18, 18) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(7, 7), 9);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour.darker(120));
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(50, 50, 50), 1));
    painter.drawEllipse(QRectF(1, 1, 16, 16));
    return picture;
}

QPixmap digitPicture(int digit)
{
    const qreal ratio = 2.0;
    QPixmap picture(QSize(22, 34) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(QColor(20, 20, 20));
    QPainter painter(&picture);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 170, 0));
    painter.drawText(QRectF(0, 0, 22, 34), Qt::AlignCenter, QString::number(digit));
    return picture;
}

QGroupBox* frame(const char* name, const QString& caption, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    new QVBoxLayout(box);
    return box;
}

QLineEdit* caption(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

// The gauges as the window lays them out, with the names of their needles and captions
// ("volumeGauge", "volumeCaption", ...).
struct GaugePlace {
    Gauge gauge;
    const char* name;
};
constexpr GaugePlace kGaugePlaces[] = {
    {Gauge::Volume, "volume"},
    {Gauge::Metric, "metric"},
    {Gauge::Errors, "errors"},
    {Gauge::FrameAcquisition, "frameAcquisition"},
    {Gauge::FinalAcquisition, "finalAcquisition"},
    {Gauge::SymbolSynchronization, "symbolSynchronization"},
    {Gauge::FrequencyShift, "frequencyShift"},
    {Gauge::Cpu, "cpu"},
};

std::size_t slot(Gauge gauge)
{
    return static_cast<std::size_t>(gauge) - 1;
}

// A dialog opened from the menus or by the station comes to the front, modeless.
void raiseDialog(QDialog* dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

MainWindow::MainWindow(StationPlatform platform, QWidget* parent) : QMainWindow(parent), messages_(platform.messages)
{
    setObjectName("mainWindow");
    setWindowTitle(kProgramTitle);

    auto* central = new QWidget(this);
    auto* layout = new QGridLayout(central);
    layout->addWidget(buildDisplays(), 0, 0, 1, 2);
    layout->addWidget(buildTextWindows(), 1, 0);
    station_ =
        std::make_unique<Station>(StationViews{sendView_->window(), receiveView_->window(), *waterfallView_}, platform);
    layout->addWidget(buildSelectors(), 1, 1);
    layout->addWidget(buildControls(), 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);
    setCentralWidget(central);
    buildMenus();
    buildTimers();

    station_->setObserver(this);
    station_->switches().addListener(this);
    showMode();
    resize(1240, 820);
    station_->startUp();
}

MainWindow::~MainWindow()
{
    station_->switches().removeListener(this);
    station_->setObserver(nullptr);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    station_->closeDown();
    QMainWindow::closeEvent(event);
}

QWidget* MainWindow::buildDisplays()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    waterfallView_ = new WaterfallView(panel);
    waterfallView_->setObjectName("waterfall");
    waterfallView_->setMinimumHeight(110);
    grid->addWidget(waterfallView_, 0, 0, 1, kGaugeCount);
    frequencyScale_ = new FrequencyScale(panel);
    frequencyScale_->setObjectName("frequencyScale");
    grid->addWidget(frequencyScale_, 1, 0, 1, kGaugeCount);
    cursorReadout_ = caption("cursorReadout", panel);
    grid->addWidget(cursorReadout_, 2, 0, 1, 3);
    radioFrequency_ = caption("radioFrequency", panel);
    radioFrequency_->setToolTip("The radio frequency under the pointer: the dial plus the audio frequency");
    grid->addWidget(radioFrequency_, 2, 3, 1, 2);

    int column = 0;
    for (const GaugePlace& place : kGaugePlaces) {
        auto* gauge = new NeedleGauge(panel);
        gauge->setObjectName(QString(place.name) + "Gauge");
        gauge->setMinimumHeight(72);
        gauges_[slot(place.gauge)] = gauge;
        QLineEdit* text = caption(QString(place.name) + "Caption", panel);
        QFont small = text->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        text->setFont(small);
        text->setAlignment(Qt::AlignCenter);
        gaugeCaptions_[slot(place.gauge)] = text;
        grid->addWidget(gauge, 3, column);
        grid->addWidget(text, 4, column);
        ++column;
    }
    return panel;
}

QWidget* MainWindow::buildTextWindows()
{
    auto* splitter = new QSplitter(Qt::Vertical, this);
    receiveView_ = new TextView(splitter);
    receiveView_->setObjectName("receiveWindow");
    receiveView_->setReadOnly(true);
    sendView_ = new SendTextEdit(splitter);
    sendView_->setObjectName("sendWindow");
    sendView_->setKeyDownHandler([this](SendWindowKey key) { return station_->sendWindowKeyDown(key); });
    sendView_->setKeyPressHandler([this](int character) { return station_->sendWindowKeyPress(character); });
    splitter->addWidget(receiveView_);
    splitter->addWidget(sendView_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

QWidget* MainWindow::buildSelectors()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    ModeSwitches& switches = station_->switches();

    // Both images of a pair ask for the other state; the switches decide.
    auto pair = [this](OptionPair* options, auto click) {
        connect(options, &OptionPair::firstClicked, this, click);
        connect(options, &OptionPair::secondClicked, this, click);
    };

    bandwidthFrame_ = frame("bandwidthFrame", "Bandwidth", panel);
    bandwidth_ = new OptionPair("bandwidth2250", "2250 Hz", "bandwidth500", "500 Hz", bandwidthFrame_);
    bandwidthFrame_->layout()->addWidget(bandwidth_);
    pair(bandwidth_, [&switches] { switches.clickBandwidth(); });

    QGroupBox* channelFrame = frame("channelFrame", "Channel", panel);
    channel_ = new OptionPair("channelHf", "HF", "channelEme", "EME", channelFrame);
    channelFrame->layout()->addWidget(channel_);
    pair(channel_, [&switches] { switches.clickChannel(); });

    symbolRateFrame_ = frame("symbolRateFrame", "Symbol Rate", panel);
    symbolRate_ = new OptionPair("rate16", "16 baud", "rate1", "1 baud", symbolRateFrame_);
    autoRate_ = new OptionPair("autoRateOn", "Auto", "autoRateOff", "Manual", symbolRateFrame_);
    symbolRateFrame_->layout()->addWidget(symbolRate_);
    symbolRateFrame_->layout()->addWidget(autoRate_);
    pair(symbolRate_, [&switches] { switches.clickSymbolRate(); });
    pair(autoRate_, [&switches] { switches.clickAutoBaud(); });

    QGroupBox* shiftRangeFrame = frame("shiftRangeFrame", "Shift Range", panel);
    shiftRange_ = new OptionPair("shiftRangeWide", "1300 Hz", "shiftRangeNarrow", "600 Hz", shiftRangeFrame);
    shiftRange_->firstLabel().setObjectName("shiftRangeWideLabel");
    shiftRange_->secondLabel().setObjectName("shiftRangeNarrowLabel");
    shiftRangeFrame->layout()->addWidget(shiftRange_);
    pair(shiftRange_, [&switches] { switches.clickAfcRange(); });

    waterfallFrame_ = frame("waterfallFrame", "WaterFall", panel);
    waterfall_ = new OptionPair("waterfallOn", "ON", "waterfallOff", "OFF", waterfallFrame_);
    waterfallFrame_->layout()->addWidget(waterfall_);
    pair(waterfall_, [&switches] { switches.clickWaterfall(); });

    QGroupBox* alarmFrame = frame("alarmFrame", "Alarm", panel);
    alarm_ = new OptionPair("alarmOn", "ON", "alarmOff", "OFF", alarmFrame);
    alarmFrame->layout()->addWidget(alarm_);
    pair(alarm_, [&switches] { switches.clickAlarm(); });

    for (QGroupBox* box :
         {bandwidthFrame_, channelFrame, symbolRateFrame_, shiftRangeFrame, waterfallFrame_, alarmFrame})
        column->addWidget(box);
    column->addStretch();
    column->addWidget(buildClock());
    return panel;
}

QWidget* MainWindow::buildClock()
{
    auto* picture = new QFrame(this);
    picture->setObjectName("clock");
    auto* row = new QHBoxLayout(picture);
    row->setSpacing(2);
    row->addWidget(new QLabel("UTC", picture));
    for (int digit = 0; digit < 10; ++digit)
        digitPictures_[static_cast<std::size_t>(digit)] = digitPicture(digit);
    for (std::size_t position = 0; position < clockDigits_.size(); ++position) {
        auto* label = new QLabel(picture);
        label->setObjectName(QString("clockDigit%1").arg(position));
        clockDigits_[position] = label;
        row->addWidget(label);
        if (position == 1)
            row->addSpacing(6);
    }
    row->addSpacing(8);
    dialFrequency_ = new QLineEdit(picture);
    dialFrequency_->setObjectName("dialFrequency");
    dialFrequency_->setPlaceholderText("dial MHz");
    dialFrequency_->setMaximumWidth(130);
    connect(dialFrequency_, &QLineEdit::editingFinished, this, &MainWindow::dialTyped);
    row->addWidget(dialFrequency_);
    row->addStretch();
    return picture;
}

QWidget* MainWindow::buildControls()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* macros = new QHBoxLayout;
    for (std::size_t i = 0; i < kMacros.size(); ++i) {
        const Macro macro = kMacros[i];
        auto* button = new QPushButton(macroCaption(macro), panel);
        button->setObjectName(QString("macro") + macroName(macro));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, macro] {
            station_->clickMacro(macro);
            sendView_->setFocus();
        });
        macroButtons_[i] = button;
        macros->addWidget(button);
    }
    grid->addLayout(macros, 0, 0, 1, 6);

    auto* destinationLabel = new QLabel("Destination", panel);
    destinationLabel->setObjectName("destinationLabel");
    destination_ = new QLineEdit(panel);
    destination_->setObjectName("destination");
    destination_->setText(QString::fromStdString(station_->destination()));
    destinationLabel->setBuddy(destination_);
    connect(destination_, &QLineEdit::textChanged, this, &MainWindow::destinationChanged);
    grid->addWidget(destinationLabel, 1, 0);
    grid->addWidget(destination_, 1, 1);

    transmitButton_ = new QPushButton("PTT", panel);
    transmitButton_->setObjectName("transmitButton");
    transmitButton_->setMinimumSize(120, 40);
    transmitButton_->setFocusPolicy(Qt::NoFocus);
    connect(transmitButton_, &QPushButton::clicked, this, [this] { station_->pressTransmitButton(); });
    grid->addWidget(transmitButton_, 1, 2);

    auto* clearSend = new QPushButton("CLEAR", panel);
    clearSend->setObjectName("clearSendButton");
    clearSend->setFocusPolicy(Qt::NoFocus);
    connect(clearSend, &QPushButton::clicked, this, [this] {
        station_->clearSendWindow();
        sendView_->setFocus();
    });
    grid->addWidget(clearSend, 1, 3);

    auto* clearScreen = new QPushButton("CLEAR SCREEN", panel);
    clearScreen->setObjectName("clearScreenButton");
    clearScreen->setFocusPolicy(Qt::NoFocus);
    connect(clearScreen, &QPushButton::clicked, this, [this] { station_->clearScreen(); });
    grid->addWidget(clearScreen, 1, 4);

    auto* lamps = new QHBoxLayout;
    auto* lampLabel = new QLabel("TX/RX", panel);
    lampLabel->setObjectName("lampLabel");
    transmitLamp_ = new QLabel(panel);
    transmitLamp_->setObjectName("transmitLamp");
    transmitLamp_->setPixmap(lampPicture(QColor(230, 20, 20)));
    receiveLamp_ = new QLabel(panel);
    receiveLamp_->setObjectName("receiveLamp");
    receiveLamp_->setPixmap(lampPicture(QColor(20, 200, 40)));
    lamps->addWidget(lampLabel);
    lamps->addWidget(transmitLamp_);
    lamps->addWidget(receiveLamp_);
    // The last message's SNR: beside the lamps, so the received header stays as other
    // stations' reports quote it.
    signalToNoise_ = new QLabel(panel);
    signalToNoise_->setObjectName("signalToNoise");
    lamps->addWidget(signalToNoise_);
    lamps->addStretch();
    grid->addLayout(lamps, 1, 5);
    grid->setColumnStretch(5, 1);

    auto* logQso = new QPushButton("Log QSO", panel);
    logQso->setObjectName("logQsoButton");
    logQso->setFocusPolicy(Qt::NoFocus);
    logQso->setShortcut(QKeySequence("Ctrl+L"));
    logQso->setToolTip("Log the contact (Ctrl+L)");
    connect(logQso, &QPushButton::clicked, this, &MainWindow::showLogQsoDialog);
    grid->addWidget(logQso, 1, 6);
    return panel;
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    QAction* operatorMenu = bar->addAction("&Operator");
    operatorMenu->setObjectName("operatorMenu");
    connect(operatorMenu, &QAction::triggered, this, &MainWindow::showOperatorDialog);

    QMenu* portMenu = bar->addMenu("&COM");
    portMenu->setObjectName("portMenu");
    auto* ports = new QActionGroup(this);
    for (int index = 0; index < static_cast<int>(portEntries_.size()); ++index) {
        const ComPortMenu::Entry& port = station_->portMenu().entry(index);
        QAction* entry = portMenu->addAction(QString::fromStdString(port.caption));
        if (!port.description.empty())
            entry->setToolTip(QString::fromStdString(port.description));
        entry->setObjectName(QString("port%1").arg(index));
        entry->setCheckable(true);
        ports->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, index] { choosePort(index); });
        portEntries_[static_cast<std::size_t>(index)] = entry;
    }

    QAction* pttMenu = bar->addAction("&PTT");
    pttMenu->setObjectName("pttMenu");
    connect(pttMenu, &QAction::triggered, this, &MainWindow::showRigDialog);

    // The deep decoder copies weaker signals; the standard one is kept for comparison.
    QMenu* decoderMenu = bar->addMenu("&Decoder");
    decoderMenu->setObjectName("decoderMenu");
    deepDecoding_ = decoderMenu->addAction("&Deep decoding (copies weaker signals)");
    deepDecoding_->setObjectName("deepDecoding");
    deepDecoding_->setCheckable(true);
    connect(deepDecoding_, &QAction::triggered, this,
            [this](bool on) { station_->switches().setDecoder(on ? Decoder::Deep : Decoder::Standard); });

    QAction* soundCardMenu = bar->addAction("&SoundCard");
    soundCardMenu->setObjectName("soundCardMenu");
    connect(soundCardMenu, &QAction::triggered, this, &MainWindow::showSoundCardDialog);
    QAction* emailMenu = bar->addAction("&E-Mail");
    emailMenu->setObjectName("emailMenu");
    connect(emailMenu, &QAction::triggered, this, &MainWindow::showEmailDialog);
    QAction* logMenu = bar->addAction("&Logbook");
    logMenu->setObjectName("logMenu");
    connect(logMenu, &QAction::triggered, this, &MainWindow::showLogSettingsDialog);
    QAction* aboutMenu = bar->addAction("&About");
    aboutMenu->setObjectName("aboutMenu");
    connect(aboutMenu, &QAction::triggered, this, [this] {
        auto* about = new AboutDialog(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
    });
}

void MainWindow::buildTimers()
{
    for (int i = 0; i < kStationTimers; ++i) {
        const auto timer = static_cast<StationTimer>(i);
        auto* qtimer = new QTimer(this);
        // The receive and transmit ticks poll the sound card every millisecond.
        qtimer->setTimerType(timer == StationTimer::Receive || timer == StationTimer::Transmit ? Qt::PreciseTimer
                                                                                               : Qt::CoarseTimer);
        if (timer == StationTimer::CursorReadout)
            connect(qtimer, &QTimer::timeout, this, &MainWindow::updateCursorReadout);
        else
            connect(qtimer, &QTimer::timeout, this, [this, timer] { station_->timerFired(timer); });
        timers_[static_cast<std::size_t>(i)] = qtimer;
    }
}

void MainWindow::timerChanged(StationTimer timer, bool running, int intervalMs)
{
    QTimer* qtimer = timers_[static_cast<std::size_t>(timer)];
    qtimer->setInterval(intervalMs);
    if (running)
        qtimer->start();
    else
        qtimer->stop();
    if (timer == StationTimer::CursorReadout && !running) {
        cursorReadout_->clear();
        radioFrequency_->clear();
    }
}

void MainWindow::updateCursorReadout()
{
    const QPoint at = waterfallView_->mapFromGlobal(QCursor::pos());
    const int width = waterfallView_->width();
    const int height = waterfallView_->height();
    cursorReadout_->setText(QString::fromStdString(station_->cursorReadout(at.x(), at.y(), width, height)));
    radioFrequency_->setText(QString::fromStdString(station_->cursorRadioFrequency(at.x(), at.y(), width, height)));
}

void MainWindow::gaugesChanged(GaugeSet changed)
{
    for (const GaugePlace& place : kGaugePlaces) {
        if (!changed.contains(place.gauge))
            continue;
        const GaugeDisplay& display = station_->gauges().display(place.gauge);
        gauges_[slot(place.gauge)]->setValue(display.needle);
        QLineEdit* text = gaugeCaptions_[slot(place.gauge)];
        text->setText(QString::fromStdString(display.caption));
        QPalette palette = text->palette();
        palette.setColor(QPalette::Base, QColor::fromRgb(rgb(display.background)));
        text->setPalette(palette);
    }
}

void MainWindow::choosePort(int index)
{
    station_->choosePort(index);
    transmitStateChanged();
}

void MainWindow::showMode()
{
    const ModeSwitches& switches = station_->switches();
    const ModemMode& mode = switches.mode();
    bandwidth_->showFirst(mode.bw2250);
    channel_->showFirst(!mode.eme);
    symbolRate_->showFirst(mode.baud16);
    autoRate_->showFirst(mode.autoBaud);
    shiftRange_->showFirst(switches.afcWide());
    waterfall_->showFirst(switches.waterfallOn());
    alarm_->showFirst(switches.alarmOn());
    deepDecoding_->setChecked(switches.decoder() == Decoder::Deep);
    shiftRange_->firstLabel().setText(QString::fromStdString(afcWideCaption(mode.eme)));
    shiftRange_->secondLabel().setText(QString::fromStdString(afcNarrowCaption(mode.eme)));

    // EME has no waterfall and ignores the bandwidth and symbol-rate choices.
    waterfallFrame_->setVisible(!mode.eme);
    symbolRateFrame_->setVisible(!mode.eme);
    bandwidthFrame_->setVisible(!mode.eme);
    waterfallView_->setVisible(!mode.eme && switches.waterfallOn());
    cursorReadout_->setVisible(!mode.eme && switches.waterfallOn());
    frequencyScale_->setVisible(!mode.eme && switches.waterfallOn());
    radioFrequency_->setVisible(!mode.eme && switches.waterfallOn());
    showMacros();
}

void MainWindow::showMacros()
{
    for (std::size_t i = 0; i < kMacros.size(); ++i) {
        macroButtons_[i]->setVisible(station_->macroVisible(kMacros[i]));
        macroButtons_[i]->setEnabled(station_->macroEnabled(kMacros[i]));
    }
}

void MainWindow::transmitStateChanged()
{
    const TxButtonLook look = station_->txButton();
    transmitButton_->setText(look.caption);
    transmitButton_->setEnabled(look.enabled);
    transmitButton_->setStyleSheet(QString("background-color: %1;").arg(toQColor(look.backColour).name()));
    const bool sending = station_->txState() != TxState::Receiving;
    transmitLamp_->setVisible(sending);
    receiveLamp_->setVisible(!sending);
    for (int i = 0; i < static_cast<int>(portEntries_.size()); ++i) {
        const ComPortMenu::Entry& port = station_->portMenu().entry(i);
        portEntries_[static_cast<std::size_t>(i)]->setChecked(port.checked);
        portEntries_[static_cast<std::size_t>(i)]->setEnabled(port.enabled);
    }
    showMacros();
    if (soundCardDialog_)
        soundCardDialog_->showSaveEnabled();
    if (rigDialog_)
        rigDialog_->showSaveEnabled();
}

void MainWindow::showDial()
{
    const std::optional<double> dial = station_->dialFrequencyHz();
    dialFrequency_->setText(dial ? QString::fromStdString(formatMegahertz(*dial)) : QString());
    // CAT reads the dial; without it the operator types it.
    dialFrequency_->setReadOnly(station_->dialFromCat());
    dialFrequency_->setToolTip(station_->dialFromCat() ? "The dial frequency, read from the rig"
                                                       : "The dial frequency in MHz, as the radio shows it");
}

void MainWindow::dialTyped()
{
    if (station_->dialFromCat())
        return;
    const std::string typed = dialFrequency_->text().trimmed().toStdString();
    if (typed.empty())
        station_->typeDialFrequency(std::nullopt);
    else if (const std::optional<double> hz = parseMegahertz(typed))
        station_->typeDialFrequency(hz);
    showDial();  // a typing mistake gives way to the dial as it was
}

void MainWindow::showClock()
{
    const auto digits = station_->clock().digits();
    for (std::size_t position = 0; position < clockDigits_.size(); ++position) {
        const int digit = digits[position];
        clockDigits_[position]->setPixmap(digitPictures_[static_cast<std::size_t>(digit)]);
        clockDigits_[position]->setProperty("digit", digit);
    }
}

void MainWindow::focusSendWindow()
{
    sendView_->setFocus();
}

void MainWindow::clearWaterfall()
{
    waterfallView_->clear();
}

void MainWindow::showAbortDialog()
{
    if (!abortDialog_) {
        abortDialog_ = new AbortDialog(this);
        abortDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(abortDialog_, &AbortDialog::abortConfirmed, this, [this] { station_->abortTransmission(); });
    }
    raiseDialog(abortDialog_);
}

void MainWindow::closeAbortDialog()
{
    if (abortDialog_)
        abortDialog_->close();
}

void MainWindow::showMailNotification(bool sent)
{
    closeMailNotification();
    notification_ = new EmailNotificationDialog(sent, this);
    notification_->show();
}

void MainWindow::closeMailNotification()
{
    if (notification_)
        notification_->close();
}

void MainWindow::showOperatorDialog()
{
    if (!operatorDialog_)
        operatorDialog_ = new OperatorDialog(station_->operatorSection(), messages_, this);
    raiseDialog(operatorDialog_);
}

void MainWindow::showEmailDialog()
{
    if (!emailDialog_)
        emailDialog_ = new EmailDialog(station_->emailSection(), messages_, this);
    raiseDialog(emailDialog_);
}

void MainWindow::showSoundCardDialog()
{
    if (!soundCardDialog_)
        soundCardDialog_ = new SoundCardDialog(*station_, messages_, this);
    raiseDialog(soundCardDialog_);
}

void MainWindow::showLogQsoDialog()
{
    // A fresh draft each time: the contact may have gone on since the last one.
    if (logQsoDialog_)
        logQsoDialog_->close();
    logQsoDialog_ = new LogQsoDialog(*station_, messages_, this);
    raiseDialog(logQsoDialog_);
}

void MainWindow::showLogSettingsDialog()
{
    if (!logSettingsDialog_)
        logSettingsDialog_ = new LogSettingsDialog(station_->logSection(), station_->defaultLogPath(), messages_, this);
    raiseDialog(logSettingsDialog_);
}

void MainWindow::signalToNoiseChanged()
{
    const auto snr = station_->lastSnrDb();
    signalToNoise_->setText(snr ? QString("SNR %1 dB").arg(*snr, 0, 'f', 0) : QString());
}

void MainWindow::showRigDialog()
{
    if (!rigDialog_)
        rigDialog_ = new RigDialog(*station_, messages_, this);
    raiseDialog(rigDialog_);
}

void MainWindow::destinationChanged()
{
    const QString upper = destination_->text().toUpper();
    if (upper != destination_->text())
        destination_->setText(upper);
    destination_->setCursorPosition(static_cast<int>(destination_->text().size()));
    station_->setDestination(destination_->text().toStdString());
}

}  // namespace miv
