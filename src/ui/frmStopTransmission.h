#pragma once

#include <QDialog>

namespace miv {

// "ABORT TRANSMISSION": offered by Esc while sending, not modal, so the transmission
// and the typing go on while it is open.
class frmStopTransmission final : public QDialog {
    Q_OBJECT
public:
    explicit frmStopTransmission(QWidget* parent = nullptr);

signals:
    void cmdYES_Click();
    void cmdNO_Click();
};

}  // namespace miv
