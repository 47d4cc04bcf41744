#include "ui/frmPrincipal.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/NeedleGauge.h"
#include "ui/OptionPair.h"
#include "ui/TextView.h"
#include "ui/WaterfallView.h"
#include "ui/frmAbout.h"
#include "ui/frmEmail.h"
#include "ui/frmEmailNotification.h"
#include "ui/frmOperator.h"
#include "ui/frmStopTransmission.h"
#include "ui/frmTarjetaSonido.h"

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

QLineEdit* caption(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

// The gauges as the window lays them out, with the names of their pictures and captions.
struct GaugePlace {
    Gauge gauge;
    const char* picture;
    const char* caption;
};
constexpr GaugePlace kGaugePlaces[] = {
    {Gauge::Volume, "pctVumetro", "Text7"},
    {Gauge::Metric, "pctMetrica", "Text10"},
    {Gauge::Errors, "pctErrores", "Text3"},
    {Gauge::FrameAcquisition, "pctSimbolosCoincidentes", "Text1"},
    {Gauge::FinalAcquisition, "pctTramaFinal", "Text11"},
    {Gauge::SymbolSynchronization, "pctJitter", "Text5"},
    {Gauge::FrequencyShift, "pctOffsetFrecuencia", "Text4"},
    {Gauge::Cpu, "pctCPU", "Text6"},
};

std::size_t slot(Gauge gauge)
{
    return static_cast<std::size_t>(gauge) - 1;
}

}  // namespace

frmPrincipal::frmPrincipal(StationPlatform platform, QWidget* parent)
    : QMainWindow(parent),
      messages_(platform.messages)
{
    setObjectName("frmPrincipal");
    setWindowTitle(kProgramTitle);

    auto* central = new QWidget(this);
    auto* layout = new QGridLayout(central);
    layout->addWidget(buildDisplays(), 0, 0, 1, 2);
    layout->addWidget(buildTextWindows(), 1, 0);
    station_ = std::make_unique<Station>(StationViews{rtfVentanaTX_->window(), rtfVentanaRX_->window(), *pctWaterfall_},
                                         platform);
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

frmPrincipal::~frmPrincipal()
{
    station_->switches().removeListener(this);
    station_->setObserver(nullptr);
}

void frmPrincipal::closeEvent(QCloseEvent* event)
{
    station_->closeDown();
    QMainWindow::closeEvent(event);
}

QWidget* frmPrincipal::buildDisplays()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    pctWaterfall_ = new WaterfallView(panel);
    pctWaterfall_->setObjectName("pctWaterfall");
    pctWaterfall_->setMinimumHeight(110);
    grid->addWidget(pctWaterfall_, 0, 0, 1, kGaugeCount);
    Text2_ = caption("Text2", panel);
    grid->addWidget(Text2_, 1, 0, 1, 3);

    int column = 0;
    for (const GaugePlace& place : kGaugePlaces) {
        auto* gauge = new NeedleGauge(panel);
        gauge->setObjectName(place.picture);
        gauge->setMinimumHeight(72);
        gauges_[slot(place.gauge)] = gauge;
        QLineEdit* text = caption(place.caption, panel);
        QFont small = text->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        text->setFont(small);
        text->setAlignment(Qt::AlignCenter);
        gaugeCaptions_[slot(place.gauge)] = text;
        grid->addWidget(gauge, 2, column);
        grid->addWidget(text, 3, column);
        ++column;
    }
    return panel;
}

QWidget* frmPrincipal::buildTextWindows()
{
    auto* splitter = new QSplitter(Qt::Vertical, this);
    rtfVentanaRX_ = new TextView(splitter);
    rtfVentanaRX_->setObjectName("rtfVentanaRX");
    rtfVentanaRX_->setReadOnly(true);
    rtfVentanaTX_ = new SendTextEdit(splitter);
    rtfVentanaTX_->setObjectName("rtfVentanaTX");
    rtfVentanaTX_->setKeyDownHandler([this](int& code, int shift) { code = station_->sendWindowKeyDown(code, shift); });
    rtfVentanaTX_->setKeyPressHandler([this](int& code) { code = station_->sendWindowKeyPress(code); });
    splitter->addWidget(rtfVentanaRX_);
    splitter->addWidget(rtfVentanaTX_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

QWidget* frmPrincipal::buildSelectors()
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

    fraBW_ = frame("fraBW", "Bandwidth", panel);
    bandwidth_ = new OptionPair("imgBW2250", "2250 Hz", "imgBW500", "500 Hz", fraBW_);
    fraBW_->layout()->addWidget(bandwidth_);
    pair(bandwidth_, [&switches] { switches.clickBandwidth(); });

    fraChannel_ = frame("fraChannel", "Channel", panel);
    channel_ = new OptionPair("imgHF", "HF", "imgEME", "EME", fraChannel_);
    fraChannel_->layout()->addWidget(channel_);
    pair(channel_, [&switches] { switches.clickChannel(); });

    fraSymbolRate_ = frame("fraSymbolRate", "Symbol Rate", panel);
    symbolRate_ = new OptionPair("imgONBaud", "16 baud", "imgOFFBaud", "1 baud", fraSymbolRate_);
    autoBaud_ = new OptionPair("imgONAutoBaud", "Auto", "imgOFFAutoBaud", "Manual", fraSymbolRate_);
    fraSymbolRate_->layout()->addWidget(symbolRate_);
    fraSymbolRate_->layout()->addWidget(autoBaud_);
    pair(symbolRate_, [&switches] { switches.clickSymbolRate(); });
    pair(autoBaud_, [&switches] { switches.clickAutoBaud(); });

    fraShiftRange_ = frame("fraShiftRange", "Shift Range", panel);
    afcRange_ = new OptionPair("imgAFC200", "1300 Hz", "imgAFC50", "600 Hz", fraShiftRange_);
    afcRange_->firstLabel().setObjectName("lblAFCAmplio");
    afcRange_->secondLabel().setObjectName("lblAFCEstrecho");
    fraShiftRange_->layout()->addWidget(afcRange_);
    pair(afcRange_, [&switches] { switches.clickAfcRange(); });

    fraWaterFall_ = frame("fraWaterFall", "WaterFall", panel);
    waterfall_ = new OptionPair("imgONWaterFall", "ON", "imgOFFWaterFall", "OFF", fraWaterFall_);
    fraWaterFall_->layout()->addWidget(waterfall_);
    pair(waterfall_, [&switches] { switches.clickWaterfall(); });

    fraAlarma_ = frame("fraAlarma", "Alarm", panel);
    alarm_ = new OptionPair("imgONAlarm", "ON", "imgOFFAlarm", "OFF", fraAlarma_);
    fraAlarma_->layout()->addWidget(alarm_);
    pair(alarm_, [&switches] { switches.clickAlarm(); });

    for (QGroupBox* box : {fraBW_, fraChannel_, fraSymbolRate_, fraShiftRange_, fraWaterFall_, fraAlarma_})
        column->addWidget(box);
    column->addStretch();
    column->addWidget(buildClock());
    return panel;
}

QWidget* frmPrincipal::buildClock()
{
    auto* picture = new QFrame(this);
    picture->setObjectName("Picture1");
    auto* row = new QHBoxLayout(picture);
    row->setSpacing(2);
    row->addWidget(new QLabel("UTC", picture));
    for (int digit = 0; digit < 10; ++digit)
        imgNumeros_[static_cast<std::size_t>(digit)] = digitPicture(digit);
    for (std::size_t position = 0; position < imgFondo_.size(); ++position) {
        auto* label = new QLabel(picture);
        label->setObjectName(QString("imgFondo%1").arg(position));
        imgFondo_[position] = label;
        row->addWidget(label);
        if (position == 1)
            row->addSpacing(6);
    }
    row->addStretch();
    return picture;
}

QWidget* frmPrincipal::buildControls()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* macros = new QHBoxLayout;
    for (std::size_t i = 0; i < kMacros.size(); ++i) {
        const Macro macro = kMacros[i];
        auto* button = new QPushButton(macroCaption(macro), panel);
        button->setObjectName(macroButtonName(macro));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, macro] {
            station_->clickMacro(macro);
            rtfVentanaTX_->setFocus();
        });
        macroButtons_[i] = button;
        macros->addWidget(button);
    }
    grid->addLayout(macros, 0, 0, 1, 6);

    auto* label18 = new QLabel("Destination", panel);
    label18->setObjectName("Label18");
    Text14_ = new QLineEdit(panel);
    Text14_->setObjectName("Text14");
    Text14_->setText(QString::fromStdString(station_->destination()));
    label18->setBuddy(Text14_);
    connect(Text14_, &QLineEdit::textChanged, this, &frmPrincipal::destinationChanged);
    grid->addWidget(label18, 1, 0);
    grid->addWidget(Text14_, 1, 1);

    cmdTX_RX_ = new QPushButton("PTT", panel);
    cmdTX_RX_->setObjectName("cmdTX_RX");
    cmdTX_RX_->setMinimumSize(120, 40);
    cmdTX_RX_->setFocusPolicy(Qt::NoFocus);
    connect(cmdTX_RX_, &QPushButton::clicked, this, [this] { station_->cmdTX_RX_Click(); });
    grid->addWidget(cmdTX_RX_, 1, 2);

    auto* clearSend = new QPushButton("CLEAR", panel);
    clearSend->setObjectName("cmdClearVentanaTX");
    clearSend->setFocusPolicy(Qt::NoFocus);
    connect(clearSend, &QPushButton::clicked, this, [this] {
        station_->clearSendWindow();
        rtfVentanaTX_->setFocus();
    });
    grid->addWidget(clearSend, 1, 3);

    auto* clearScreen = new QPushButton("CLEAR SCREEN", panel);
    clearScreen->setObjectName("cmdClearScreen");
    clearScreen->setFocusPolicy(Qt::NoFocus);
    connect(clearScreen, &QPushButton::clicked, this, [this] { station_->clearScreen(); });
    grid->addWidget(clearScreen, 1, 4);

    auto* lamps = new QHBoxLayout;
    auto* label1 = new QLabel("TX/RX", panel);
    label1->setObjectName("Label1");
    imgLedRojo_ = new QLabel(panel);
    imgLedRojo_->setObjectName("imgLedRojo");
    imgLedRojo_->setPixmap(lampPicture(QColor(230, 20, 20)));
    imgLedVerde_ = new QLabel(panel);
    imgLedVerde_->setObjectName("imgLedVerde");
    imgLedVerde_->setPixmap(lampPicture(QColor(20, 200, 40)));
    lamps->addWidget(label1);
    lamps->addWidget(imgLedRojo_);
    lamps->addWidget(imgLedVerde_);
    lamps->addStretch();
    grid->addLayout(lamps, 1, 5);
    grid->setColumnStretch(5, 1);
    return panel;
}

void frmPrincipal::buildMenus()
{
    QMenuBar* bar = menuBar();
    QAction* mnuOperator = bar->addAction("&Operator");
    mnuOperator->setObjectName("mnuOperator");
    connect(mnuOperator, &QAction::triggered, this, &frmPrincipal::showOperatorWindow);

    QMenu* mnuCOM = bar->addMenu("&COM");
    mnuCOM->setObjectName("mnuCOM");
    auto* ports = new QActionGroup(this);
    for (int index = 0; index < static_cast<int>(mnuCOMA_.size()); ++index) {
        const ComPortMenu::Entry& port = station_->comMenu().entry(index);
        QAction* entry = mnuCOM->addAction(QString::fromStdString(port.caption));
        if (!port.description.empty())
            entry->setToolTip(QString::fromStdString(port.description));
        entry->setObjectName(QString("mnuCOMA%1").arg(index));
        entry->setCheckable(true);
        ports->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, index] { mnuCOMA_Click(index); });
        mnuCOMA_[static_cast<std::size_t>(index)] = entry;
    }

    QAction* mnuTarjetaSonido = bar->addAction("&SoundCard");
    mnuTarjetaSonido->setObjectName("mnuTarjetaSonido");
    connect(mnuTarjetaSonido, &QAction::triggered, this, &frmPrincipal::showSoundCardWindow);
    QAction* mnuEmail = bar->addAction("&E-Mail");
    mnuEmail->setObjectName("mnuEmail");
    connect(mnuEmail, &QAction::triggered, this, &frmPrincipal::showEmailWindow);
    QAction* mnuAbout = bar->addAction("&About");
    mnuAbout->setObjectName("mnuAbout");
    connect(mnuAbout, &QAction::triggered, this, [this] {
        auto* about = new frmAbout(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
    });
}

void frmPrincipal::buildTimers()
{
    for (int i = 0; i < kStationTimers; ++i) {
        const auto timer = static_cast<StationTimer>(i);
        auto* qtimer = new QTimer(this);
        // The receive and transmit ticks poll the sound card every millisecond.
        qtimer->setTimerType(timer == StationTimer::RX || timer == StationTimer::TX ? Qt::PreciseTimer
                                                                                    : Qt::CoarseTimer);
        if (timer == StationTimer::PosicionCursor)
            connect(qtimer, &QTimer::timeout, this, &frmPrincipal::tmrPosicionCursor_Timer);
        else
            connect(qtimer, &QTimer::timeout, this, [this, timer] { station_->timerFired(timer); });
        timers_[static_cast<std::size_t>(i)] = qtimer;
    }
}

void frmPrincipal::timerChanged(StationTimer timer, bool running, int intervalMs)
{
    QTimer* qtimer = timers_[static_cast<std::size_t>(timer)];
    qtimer->setInterval(intervalMs);
    if (running)
        qtimer->start();
    else
        qtimer->stop();
    if (timer == StationTimer::PosicionCursor && !running)
        Text2_->clear();
}

void frmPrincipal::tmrPosicionCursor_Timer()
{
    const QPoint at = pctWaterfall_->mapFromGlobal(QCursor::pos());
    Text2_->setText(QString::fromStdString(
        station_->cursorReadout(at.x(), at.y(), pctWaterfall_->width(), pctWaterfall_->height())));
}

void frmPrincipal::gaugesChanged(GaugeSet changed)
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

void frmPrincipal::mnuCOMA_Click(int index)
{
    station_->mnuCOMA_Click(index);
    transmitStateChanged();
}

void frmPrincipal::showMode()
{
    const ModeSwitches& switches = station_->switches();
    const ModemMode& mode = switches.mode();
    bandwidth_->showFirst(mode.bw2250);
    channel_->showFirst(!mode.eme);
    symbolRate_->showFirst(mode.baud16);
    autoBaud_->showFirst(mode.autoBaud);
    afcRange_->showFirst(switches.afcWide());
    waterfall_->showFirst(switches.waterfallOn());
    alarm_->showFirst(switches.alarmOn());
    afcRange_->firstLabel().setText(QString::fromStdString(afcWideCaption(mode.eme)));
    afcRange_->secondLabel().setText(QString::fromStdString(afcNarrowCaption(mode.eme)));

    // EME has no waterfall and ignores the bandwidth and symbol-rate choices.
    fraWaterFall_->setVisible(!mode.eme);
    fraSymbolRate_->setVisible(!mode.eme);
    fraBW_->setVisible(!mode.eme);
    pctWaterfall_->setVisible(!mode.eme && switches.waterfallOn());
    Text2_->setVisible(!mode.eme && switches.waterfallOn());
    showMacros();
}

void frmPrincipal::showMacros()
{
    for (std::size_t i = 0; i < kMacros.size(); ++i) {
        macroButtons_[i]->setVisible(station_->macroVisible(kMacros[i]));
        macroButtons_[i]->setEnabled(station_->macroEnabled(kMacros[i]));
    }
}

void frmPrincipal::transmitStateChanged()
{
    const TxButtonLook look = station_->txButton();
    cmdTX_RX_->setText(look.caption);
    cmdTX_RX_->setEnabled(look.enabled);
    cmdTX_RX_->setStyleSheet(QString("background-color: %1;").arg(toQColor(look.backColour).name()));
    const bool sending = station_->txState() != 0;
    imgLedRojo_->setVisible(sending);
    imgLedVerde_->setVisible(!sending);
    for (int i = 0; i < static_cast<int>(mnuCOMA_.size()); ++i) {
        const ComPortMenu::Entry& port = station_->comMenu().entry(i);
        mnuCOMA_[static_cast<std::size_t>(i)]->setChecked(port.checked);
        mnuCOMA_[static_cast<std::size_t>(i)]->setEnabled(port.enabled);
    }
    showMacros();
    if (frmTarjetaSonido_)
        frmTarjetaSonido_->showSaveEnabled();
}

void frmPrincipal::showClock()
{
    const auto digits = station_->clock().digits();
    for (std::size_t position = 0; position < imgFondo_.size(); ++position) {
        const int digit = digits[position];
        imgFondo_[position]->setPixmap(imgNumeros_[static_cast<std::size_t>(digit)]);
        imgFondo_[position]->setProperty("digit", digit);
    }
}

void frmPrincipal::focusSendWindow()
{
    rtfVentanaTX_->setFocus();
}

void frmPrincipal::clearWaterfall()
{
    pctWaterfall_->clear();
}

void frmPrincipal::showAbortDialog()
{
    if (!frmStopTransmission_) {
        frmStopTransmission_ = new frmStopTransmission(this);
        frmStopTransmission_->setAttribute(Qt::WA_DeleteOnClose);
        connect(frmStopTransmission_, &frmStopTransmission::cmdYES_Click, this, [this] { station_->cmdYES_Click(); });
        connect(frmStopTransmission_, &frmStopTransmission::cmdNO_Click, this, [this] { station_->cmdNO_Click(); });
    }
    frmStopTransmission_->show();
    frmStopTransmission_->raise();
    frmStopTransmission_->activateWindow();
}

void frmPrincipal::closeAbortDialog()
{
    if (frmStopTransmission_)
        frmStopTransmission_->close();
}

void frmPrincipal::showMailNotification(bool sent)
{
    closeMailNotification();
    frmEmailNotification_ = new frmEmailNotification(sent, this);
    frmEmailNotification_->show();
}

void frmPrincipal::closeMailNotification()
{
    if (frmEmailNotification_)
        frmEmailNotification_->close();
}

void frmPrincipal::showOperatorWindow()
{
    if (!frmOperator_)
        frmOperator_ = new frmOperator(station_->operatorForm(), messages_, this);
    frmOperator_->show();
    frmOperator_->raise();
    frmOperator_->activateWindow();
}

void frmPrincipal::showEmailWindow()
{
    if (!frmEmail_)
        frmEmail_ = new frmEmail(station_->emailForm(), messages_, this);
    frmEmail_->show();
    frmEmail_->raise();
    frmEmail_->activateWindow();
}

void frmPrincipal::showSoundCardWindow()
{
    if (!frmTarjetaSonido_)
        frmTarjetaSonido_ = new frmTarjetaSonido(*station_, messages_, this);
    frmTarjetaSonido_->show();
    frmTarjetaSonido_->raise();
    frmTarjetaSonido_->activateWindow();
}

void frmPrincipal::destinationChanged()
{
    const QString upper = Text14_->text().toUpper();
    if (upper != Text14_->text())
        Text14_->setText(upper);
    Text14_->setCursorPosition(static_cast<int>(Text14_->text().size()));
    station_->setDestination(Text14_->text().toStdString());
}

}  // namespace miv
