#include "ui/frmPrincipal.h"

#include <QAction>
#include <QActionGroup>
#include <QFontDatabase>
#include <QFrame>
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

#include "ui/OptionPair.h"
#include "ui/TextView.h"
#include "ui/frmAbout.h"

namespace miv {

namespace {

constexpr int kClockIntervalMs = 1000;

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

}  // namespace

frmPrincipal::frmPrincipal(StationPlatform platform, QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frmPrincipal");
    setWindowTitle(kProgramTitle);

    auto* central = new QWidget(this);
    auto* layout = new QGridLayout(central);
    layout->addWidget(buildGauges(), 0, 0, 1, 2);
    layout->addWidget(buildTextWindows(), 1, 0);
    station_ = std::make_unique<Station>(rtfVentanaTX_->window(), rtfVentanaRX_->window(), platform);
    layout->addWidget(buildSelectors(), 1, 1);
    layout->addWidget(buildControls(), 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);
    setCentralWidget(central);
    buildMenus();

    station_->switches().addListener(this);
    showMode();
    showTransmitState();

    tmrUTC_ = new QTimer(this);
    tmrUTC_->setObjectName("tmrUTC");
    connect(tmrUTC_, &QTimer::timeout, this, [this] {
        station_->updateClock();
        showClock();
    });
    showClock();
    tmrUTC_->start(kClockIntervalMs);

    rtfVentanaTX_->setFocus();
    resize(1100, 760);
}

frmPrincipal::~frmPrincipal()
{
    station_->switches().removeListener(this);
}

QWidget* frmPrincipal::buildGauges()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    pctWaterfall_ = new QFrame(panel);
    pctWaterfall_->setObjectName("pctWaterfall");
    pctWaterfall_->setFrameShape(QFrame::Box);
    pctWaterfall_->setMinimumHeight(110);
    pctWaterfall_->setAutoFillBackground(true);
    pctWaterfall_->setPalette(QPalette(Qt::white));
    grid->addWidget(pctWaterfall_, 0, 0, 1, 8);
    Text2_ = caption("Text2", panel);
    grid->addWidget(Text2_, 1, 0, 1, 3);

    struct Gauge {
        const char* picture;
        const char* caption;
    };
    constexpr Gauge kGauges[] = {
        {"pctVumetro", "Text7"},       {"pctMetrica", "Text10"},
        {"pctErrores", "Text3"},       {"pctSimbolosCoincidentes", "Text1"},
        {"pctTramaFinal", "Text11"},   {"pctJitter", "Text5"},
        {"pctOffsetFrecuencia", "Text4"}, {"pctCPU", "Text6"},
    };
    int column = 0;
    for (const Gauge& gauge : kGauges) {
        auto* picture = new QFrame(panel);
        picture->setObjectName(gauge.picture);
        picture->setFrameShape(QFrame::StyledPanel);
        picture->setMinimumSize(110, 62);
        grid->addWidget(picture, 2, column);
        grid->addWidget(caption(gauge.caption, panel), 3, column);
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

    fraBW_ = frame("fraBW", "Bandwidth", panel);
    bandwidth_ = new OptionPair("imgBW2250", "2250 Hz", "imgBW500", "500 Hz", fraBW_);
    fraBW_->layout()->addWidget(bandwidth_);
    connect(bandwidth_, &OptionPair::firstClicked, this, [&switches] { switches.clickBandwidth(); });
    connect(bandwidth_, &OptionPair::secondClicked, this, [&switches] { switches.clickBandwidth(); });

    fraChannel_ = frame("fraChannel", "Channel", panel);
    channel_ = new OptionPair("imgHF", "HF", "imgEME", "EME", fraChannel_);
    fraChannel_->layout()->addWidget(channel_);
    connect(channel_, &OptionPair::firstClicked, this, [&switches] { switches.clickChannel(); });
    connect(channel_, &OptionPair::secondClicked, this, [&switches] { switches.clickChannel(); });

    fraSymbolRate_ = frame("fraSymbolRate", "Symbol Rate", panel);
    symbolRate_ = new OptionPair("imgONBaud", "16 baud", "imgOFFBaud", "1 baud", fraSymbolRate_);
    autoBaud_ = new OptionPair("imgONAutoBaud", "Auto", "imgOFFAutoBaud", "Manual", fraSymbolRate_);
    fraSymbolRate_->layout()->addWidget(symbolRate_);
    fraSymbolRate_->layout()->addWidget(autoBaud_);
    connect(symbolRate_, &OptionPair::firstClicked, this, [&switches] { switches.clickSymbolRate(); });
    connect(symbolRate_, &OptionPair::secondClicked, this, [&switches] { switches.clickSymbolRate(); });
    connect(autoBaud_, &OptionPair::firstClicked, this, [&switches] { switches.clickAutoBaud(); });
    connect(autoBaud_, &OptionPair::secondClicked, this, [&switches] { switches.clickAutoBaud(); });

    fraShiftRange_ = frame("fraShiftRange", "Shift Range", panel);
    afcRange_ = new OptionPair("imgAFC200", "1300 Hz", "imgAFC50", "600 Hz", fraShiftRange_);
    afcRange_->firstLabel().setObjectName("lblAFCAmplio");
    afcRange_->secondLabel().setObjectName("lblAFCEstrecho");
    fraShiftRange_->layout()->addWidget(afcRange_);
    connect(afcRange_, &OptionPair::firstClicked, this, [&switches] { switches.clickAfcRange(); });
    connect(afcRange_, &OptionPair::secondClicked, this, [&switches] { switches.clickAfcRange(); });

    fraWaterFall_ = frame("fraWaterFall", "WaterFall", panel);
    waterfall_ = new OptionPair("imgONWaterFall", "ON", "imgOFFWaterFall", "OFF", fraWaterFall_);
    fraWaterFall_->layout()->addWidget(waterfall_);
    connect(waterfall_, &OptionPair::firstClicked, this, [&switches] { switches.clickWaterfall(); });
    connect(waterfall_, &OptionPair::secondClicked, this, [&switches] { switches.clickWaterfall(); });

    fraAlarma_ = frame("fraAlarma", "Alarm", panel);
    alarm_ = new OptionPair("imgONAlarm", "ON", "imgOFFAlarm", "OFF", fraAlarma_);
    fraAlarma_->layout()->addWidget(alarm_);
    connect(alarm_, &OptionPair::firstClicked, this, [&switches] { switches.clickAlarm(); });
    connect(alarm_, &OptionPair::secondClicked, this, [&switches] { switches.clickAlarm(); });

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

    QMenu* mnuCOM = bar->addMenu("&COM");
    mnuCOM->setObjectName("mnuCOM");
    auto* ports = new QActionGroup(this);
    for (int index = 0; index < static_cast<int>(mnuCOMA_.size()); ++index) {
        QAction* entry = mnuCOM->addAction(index == 0 ? QString("NO COM") : QString("COM%1").arg(index));
        entry->setObjectName(QString("mnuCOMA%1").arg(index));
        entry->setCheckable(true);
        ports->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, index] { mnuCOMA_Click(index); });
        mnuCOMA_[static_cast<std::size_t>(index)] = entry;
    }
    mnuCOMA_[0]->setChecked(true);

    QAction* mnuTarjetaSonido = bar->addAction("&SoundCard");
    mnuTarjetaSonido->setObjectName("mnuTarjetaSonido");
    QAction* mnuEmail = bar->addAction("&E-Mail");
    mnuEmail->setObjectName("mnuEmail");
    QAction* mnuAbout = bar->addAction("&About");
    mnuAbout->setObjectName("mnuAbout");
    connect(mnuAbout, &QAction::triggered, this, [this] {
        auto* about = new frmAbout(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
    });
}

void frmPrincipal::mnuCOMA_Click(int index)
{
    for (QAction* entry : mnuCOMA_)
        entry->setChecked(false);
    mnuCOMA_[static_cast<std::size_t>(index)]->setChecked(true);
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

void frmPrincipal::showTransmitState()
{
    switch (station_->txState()) {
    case 0:
        cmdTX_RX_->setText("PTT");
        cmdTX_RX_->setEnabled(true);
        cmdTX_RX_->setStyleSheet("background-color: #ff0000;");
        break;
    case 1:
        cmdTX_RX_->setText("STOP");
        cmdTX_RX_->setEnabled(true);
        break;
    default:
        cmdTX_RX_->setText("WAIT");
        cmdTX_RX_->setEnabled(false);
        cmdTX_RX_->setStyleSheet("background-color: #e0e0e0;");
        break;
    }
    const bool sending = station_->txState() != 0;
    imgLedRojo_->setVisible(sending);
    imgLedVerde_->setVisible(!sending);
    showMacros();
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

void frmPrincipal::destinationChanged()
{
    const QString upper = Text14_->text().toUpper();
    if (upper != Text14_->text())
        Text14_->setText(upper);
    Text14_->setCursorPosition(static_cast<int>(Text14_->text().size()));
    station_->setDestination(Text14_->text().toStdString());
}

}  // namespace miv
