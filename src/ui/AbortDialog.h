#pragma once

#include <QDialog>

namespace miv {

// "ABORT TRANSMISSION": offered by Esc while sending, not modal, so the transmission
// and the typing go on while it is open. Closes itself on either answer.
class AbortDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AbortDialog(QWidget* parent = nullptr);

signals:
    // YES: cut the transmission.
    void abortConfirmed();
};

}  // namespace miv
