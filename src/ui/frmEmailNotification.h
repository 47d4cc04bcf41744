#pragma once

#include <QDialog>

namespace miv {

// "Email Notification": how the report to the sender of a message went. Closed by the
// window's tmrEmail.
class frmEmailNotification final : public QDialog {
    Q_OBJECT
public:
    frmEmailNotification(bool sent, QWidget* parent = nullptr);
};

}  // namespace miv
