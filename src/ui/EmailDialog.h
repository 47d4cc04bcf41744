#pragma once

#include "config/Settings.h"
#include "platform/OperatorMessages.h"
#include "station/LiveSection.h"
#include "ui/SectionDialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace miv {

// "E-Mail Report Configuration": how reports to the stations that sent their address
// are delivered. A live store like the operator window.
class EmailDialog final : public SectionDialog {
    Q_OBJECT
public:
    EmailDialog(LiveSection<EmailAccount>& store, OperatorMessages& messages, QWidget* parent = nullptr);

private:
    EmailAccount fields() const;
    void showOption();
    void save();

    LiveSection<EmailAccount>& store_;
    OperatorMessages& messages_;
    QRadioButton* smtpOption_;
    QRadioButton* webMailOption_;
    QRadioButton* noInternetOption_;
    QLabel* serverLabel_;
    QLineEdit* smtpServer_;
    QLabel* userLabel_;
    QLineEdit* webMailUser_;
    QLabel* domainLabel_;
    QLabel* passwordLabel_;
    QLineEdit* password_;
    QLabel* note_;
};

}  // namespace miv
