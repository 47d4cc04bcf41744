#pragma once

#include "config/Settings.h"
#include "platform/OperatorMessages.h"
#include "station/LiveSection.h"
#include "ui/SectionDialog.h"

class QCheckBox;
class QLineEdit;

namespace miv {

// "Logbook": where contacts are logged, the logger that hears of each one over UDP,
// and the reports of stations heard to PSK Reporter. A live store like the operator
// window.
class LogSettingsDialog final : public SectionDialog {
    Q_OBJECT
public:
    LogSettingsDialog(LiveSection<LogSettings>& store, const std::string& defaultFile, OperatorMessages& messages,
                      QWidget* parent = nullptr);

private:
    LogSettings fields() const;
    void save();

    LiveSection<LogSettings>& store_;
    OperatorMessages& messages_;
    QLineEdit* file_;
    QCheckBox* udpOn_;
    QLineEdit* udpTarget_;
    QCheckBox* spotsOn_;
    QLineEdit* collector_;
};

}  // namespace miv
