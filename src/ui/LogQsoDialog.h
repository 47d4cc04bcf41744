#pragma once

#include <QDialog>

#include "logbook/Qso.h"
#include "platform/OperatorMessages.h"

class QDateTimeEdit;
class QLabel;
class QLineEdit;

namespace miv {

class Station;

// "Log QSO": the station's draft of the contact, for the operator to check and
// complete; OK appends it to the log. A record that cannot be written keeps the dialog
// open with everything typed.
class LogQsoDialog final : public QDialog {
    Q_OBJECT
public:
    LogQsoDialog(Station& station, OperatorMessages& messages, QWidget* parent = nullptr);

    void accept() override;

private:
    // The fields as a record; an empty string when they hold one, else what is wrong.
    QString read(Qso& qso) const;

    Station& station_;
    OperatorMessages& messages_;
    Qso draft_;
    QLineEdit* callsign_;
    QDateTimeEdit* start_;
    QDateTimeEdit* end_;
    QLineEdit* frequency_;
    QLineEdit* band_;
    QLineEdit* reportSent_;
    QLineEdit* reportReceived_;
    QLineEdit* name_;
    QLineEdit* qth_;
    QLineEdit* locator_;
    QLineEdit* comment_;
};

}  // namespace miv
