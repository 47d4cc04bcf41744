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

class AbortDialog;
class EmailDialog;
class EmailNotificationDialog;
class LogQsoDialog;
class LogSettingsDialog;
class NeedleGauge;
class OperatorDialog;
class OptionPair;
class RigDialog;
class SendTextEdit;
class SoundCardDialog;
class TextView;
class WaterfallView;

// The operator's main window: shows the station and forwards every click, key and
// timer tick to it. Building it starts the station, which shows it.
class MainWindow final : public QMainWindow, private ModeListener, private StationObserver {
    Q_OBJECT
public:
    explicit MainWindow(StationPlatform platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    Station& station() { return *station_; }
    TextView& receiveWindow() { return *receiveView_; }
    SendTextEdit& sendWindow() { return *sendView_; }

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
    void choosePort(int index);
    void updateCursorReadout();
    void showOperatorDialog() override;
    void showEmailDialog();
    void showSoundCardDialog();
    void showLogQsoDialog();
    void showLogSettingsDialog();
    void signalToNoiseChanged() override;
    void showRigDialog();
    void showDial();
    void dialTyped();

    void bandwidthChanged() override { showMode(); }
    void symbolRateChanged() override { showMode(); }
    void channelChanged() override { showMode(); }
    void autoBaudChanged() override { showMode(); }
    void afcRangeChanged() override { showMode(); }
    void detectedRateShown() override { showMode(); }
    void waterfallChanged() override { showMode(); }
    void alarmChanged() override { showMode(); }
    void decoderChanged() override { showMode(); }

    void timerChanged(StationTimer timer, bool running, int intervalMs) override;
    void gaugesChanged(GaugeSet gauges) override;
    void clockChanged() override { showClock(); }
    void transmitStateChanged() override;
    void focusSendWindow() override;
    void clearWaterfall() override;
    void showMainWindow() override { show(); }
    void showAbortDialog() override;
    void closeAbortDialog() override;
    void showMailNotification(bool sent) override;
    void closeMailNotification() override;
    void dialChanged() override { showDial(); }

    TextView* receiveView_ = nullptr;
    SendTextEdit* sendView_ = nullptr;
    WaterfallView* waterfallView_ = nullptr;
    std::unique_ptr<Station> station_;

    QGroupBox* bandwidthFrame_ = nullptr;
    QGroupBox* symbolRateFrame_ = nullptr;
    QGroupBox* waterfallFrame_ = nullptr;
    OptionPair* bandwidth_ = nullptr;
    OptionPair* channel_ = nullptr;
    OptionPair* symbolRate_ = nullptr;
    OptionPair* autoRate_ = nullptr;
    OptionPair* shiftRange_ = nullptr;
    OptionPair* waterfall_ = nullptr;
    OptionPair* alarm_ = nullptr;

    QWidget* frequencyScale_ = nullptr;
    QLineEdit* cursorReadout_ = nullptr;
    QLineEdit* radioFrequency_ = nullptr;  // the dial plus the readout's audio frequency
    QLineEdit* dialFrequency_ = nullptr;
    std::array<NeedleGauge*, kGaugeCount> gauges_{};
    std::array<QLineEdit*, kGaugeCount> gaugeCaptions_{};
    QPushButton* transmitButton_ = nullptr;
    std::array<QPushButton*, kMacros.size()> macroButtons_{};
    QLineEdit* destination_ = nullptr;
    QLabel* transmitLamp_ = nullptr;
    QLabel* receiveLamp_ = nullptr;
    QLabel* signalToNoise_ = nullptr;
    std::array<QLabel*, 4> clockDigits_{};
    std::array<QPixmap, 10> digitPictures_;
    std::array<QAction*, kHighestComPort + 1> portEntries_{};
    QAction* deepDecoding_ = nullptr;
    std::array<QTimer*, kStationTimers> timers_{};
    OperatorMessages& messages_;

    QPointer<OperatorDialog> operatorDialog_;
    QPointer<EmailDialog> emailDialog_;
    QPointer<SoundCardDialog> soundCardDialog_;
    QPointer<RigDialog> rigDialog_;
    QPointer<AbortDialog> abortDialog_;
    QPointer<EmailNotificationDialog> notification_;
    QPointer<LogQsoDialog> logQsoDialog_;
    QPointer<LogSettingsDialog> logSettingsDialog_;
};

}  // namespace miv
