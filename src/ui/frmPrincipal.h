#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <memory>

#include "modem/ModemMode.h"
#include "station/Station.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace miv {

class OptionPair;
class SendTextEdit;
class TextView;

// The operator's main window: shows the station and forwards every click and key to
// it. Widgets carry the names the operator's manual and the tests use (rtfVentanaTX,
// cmdTX_RX, imgBW2250, ...).
class frmPrincipal final : public QMainWindow, private ModeListener {
    Q_OBJECT
public:
    explicit frmPrincipal(StationPlatform platform, QWidget* parent = nullptr);
    ~frmPrincipal() override;

    Station& station() { return *station_; }
    TextView& receiveWindow() { return *rtfVentanaRX_; }
    SendTextEdit& sendWindow() { return *rtfVentanaTX_; }

private:
    QWidget* buildTextWindows();
    QWidget* buildSelectors();
    QWidget* buildGauges();
    QWidget* buildControls();
    QWidget* buildClock();
    void buildMenus();

    void showMode();
    void showMacros();
    void showTransmitState();
    void showClock();
    void destinationChanged();
    void mnuCOMA_Click(int index);

    void bandwidthChanged() override { showMode(); }
    void symbolRateChanged() override { showMode(); }
    void channelChanged() override { showMode(); }
    void autoBaudChanged() override { showMode(); }
    void afcRangeChanged() override { showMode(); }
    void detectedRateShown() override { showMode(); }
    void waterfallChanged() override { showMode(); }
    void alarmChanged() override { showMode(); }

    TextView* rtfVentanaRX_ = nullptr;
    SendTextEdit* rtfVentanaTX_ = nullptr;
    std::unique_ptr<Station> station_;

    QGroupBox* fraBW_ = nullptr;
    QGroupBox* fraChannel_ = nullptr;
    QGroupBox* fraSymbolRate_ = nullptr;
    QGroupBox* fraShiftRange_ = nullptr;
    QGroupBox* fraWaterFall_ = nullptr;
    QGroupBox* fraAlarma_ = nullptr;
    OptionPair* bandwidth_ = nullptr;
    OptionPair* channel_ = nullptr;
    OptionPair* symbolRate_ = nullptr;
    OptionPair* autoBaud_ = nullptr;
    OptionPair* afcRange_ = nullptr;
    OptionPair* waterfall_ = nullptr;
    OptionPair* alarm_ = nullptr;

    QFrame* pctWaterfall_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QPushButton* cmdTX_RX_ = nullptr;
    std::array<QPushButton*, kMacros.size()> macroButtons_{};
    QLineEdit* Text14_ = nullptr;
    QLabel* imgLedRojo_ = nullptr;
    QLabel* imgLedVerde_ = nullptr;
    std::array<QLabel*, 4> imgFondo_{};
    std::array<QPixmap, 10> imgNumeros_;
    std::array<QAction*, 17> mnuCOMA_{};
    QTimer* tmrUTC_ = nullptr;
};

}  // namespace miv
