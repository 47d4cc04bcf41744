#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <array>
#include <memory>

#include "modem/ModemMode.h"
#include "station/Station.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace miv {

class NeedleGauge;
class OptionPair;
class SendTextEdit;
class TextView;
class WaterfallView;
class frmEmail;
class frmEmailNotification;
class frmOperator;
class frmStopTransmission;
class frmTarjetaSonido;

// The operator's main window: shows the station and forwards every click, key and
// timer tick to it. Building it starts the station, which shows it. Widgets carry the names the operator's manual and
// the tests use (rtfVentanaTX, cmdTX_RX, imgBW2250, ...).
class frmPrincipal final : public QMainWindow, private ModeListener, private StationObserver {
    Q_OBJECT
public:
    explicit frmPrincipal(StationPlatform platform, QWidget* parent = nullptr);
    ~frmPrincipal() override;

    Station& station() { return *station_; }
    TextView& receiveWindow() { return *rtfVentanaRX_; }
    SendTextEdit& sendWindow() { return *rtfVentanaTX_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildTextWindows();
    QWidget* buildSelectors();
    QWidget* buildDisplays();
    QWidget* buildControls();
    QWidget* buildClock();
    void buildMenus();
    void buildTimers();

    void showMode();
    void showMacros();
    void showClock();
    void destinationChanged();
    void mnuCOMA_Click(int index);
    void tmrPosicionCursor_Timer();
    void showOperatorWindow();
    void showEmailWindow();
    void showSoundCardWindow();

    void bandwidthChanged() override { showMode(); }
    void symbolRateChanged() override { showMode(); }
    void channelChanged() override { showMode(); }
    void autoBaudChanged() override { showMode(); }
    void afcRangeChanged() override { showMode(); }
    void detectedRateShown() override { showMode(); }
    void waterfallChanged() override { showMode(); }
    void alarmChanged() override { showMode(); }

    void timerChanged(StationTimer timer, bool running, int intervalMs) override;
    void gaugesChanged(GaugeSet gauges) override;
    void clockChanged() override { showClock(); }
    void transmitStateChanged() override;
    void focusSendWindow() override;
    void clearWaterfall() override;
    void showMainWindow() override { show(); }
    void showOperatorDialog() override { showOperatorWindow(); }
    void showAbortDialog() override;
    void closeAbortDialog() override;
    void showMailNotification(bool sent) override;
    void closeMailNotification() override;

    TextView* rtfVentanaRX_ = nullptr;
    SendTextEdit* rtfVentanaTX_ = nullptr;
    WaterfallView* pctWaterfall_ = nullptr;
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

    QLineEdit* Text2_ = nullptr;
    std::array<NeedleGauge*, kGaugeCount> gauges_{};
    std::array<QLineEdit*, kGaugeCount> gaugeCaptions_{};
    QPushButton* cmdTX_RX_ = nullptr;
    std::array<QPushButton*, kMacros.size()> macroButtons_{};
    QLineEdit* Text14_ = nullptr;
    QLabel* imgLedRojo_ = nullptr;
    QLabel* imgLedVerde_ = nullptr;
    std::array<QLabel*, 4> imgFondo_{};
    std::array<QPixmap, 10> imgNumeros_;
    std::array<QAction*, kHighestComPort + 1> mnuCOMA_{};
    std::array<QTimer*, kStationTimers> timers_{};
    OperatorMessages& messages_;

    QPointer<frmOperator> frmOperator_;
    QPointer<frmEmail> frmEmail_;
    QPointer<frmTarjetaSonido> frmTarjetaSonido_;
    QPointer<frmStopTransmission> frmStopTransmission_;
    QPointer<frmEmailNotification> frmEmailNotification_;
};

}  // namespace miv
