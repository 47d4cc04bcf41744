#pragma once

#include <QDialog>

namespace miv {

// "Email Notification": how the report to the sender of a message went. The main
// window closes it when the station's notification timer runs out.
class EmailNotificationDialog final : public QDialog {
    Q_OBJECT
public:
    EmailNotificationDialog(bool sent, QWidget* parent = nullptr);
};

}  // namespace miv
