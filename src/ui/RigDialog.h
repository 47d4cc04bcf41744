#pragma once

#include "config/Settings.h"
#include "platform/OperatorMessages.h"
#include "ui/SectionDialog.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace miv {

class Station;

// "PTT": how the radio is keyed (the COM menu's serial port, CAT through Hamlib with a
// rig model found by searching Hamlib's catalogue, CAT through a rigctld, or none for
// VOX) and the transmit watchdog's limits. SAVE puts the choice to use at once, only
// while receiving. A live store like the sound-card dialog.
class RigDialog final : public SectionDialog {
    Q_OBJECT
public:
    RigDialog(Station& station, OperatorMessages& messages, QWidget* parent = nullptr);

    // SAVE acts only while the station receives.
    void showSaveEnabled();

private:
    QWidget* buildHamlib(const RigSettings& saved);
    QWidget* buildRigctld(const RigSettings& saved);
    QWidget* buildWatchdog(const RigSettings& saved);
    void filterModels();
    void changed();
    RigSettings chosen() const;
    void save();

    Station& station_;
    OperatorMessages& messages_;
    int model_ = 0;
    QRadioButton* serial_ = nullptr;
    QRadioButton* hamlib_ = nullptr;
    QRadioButton* rigctld_ = nullptr;
    QRadioButton* none_ = nullptr;
    QLineEdit* modelSearch_ = nullptr;
    QListWidget* models_ = nullptr;
    QLineEdit* device_ = nullptr;
    QComboBox* baud_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QSpinBox* watchdog16Baud_ = nullptr;
    QSpinBox* watchdogSlow_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

}  // namespace miv
