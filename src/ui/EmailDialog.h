#pragma once

#include <QDialog>

#include "config/Settings.h"
#include "platform/OperatorMessages.h"
#include "station/LiveSection.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace miv {

// "E-Mail Report Configuration": how reports to the stations that sent their address
// are delivered. A live store like the operator window.
class EmailDialog final : public QDialog {
    Q_OBJECT
public:
    EmailDialog(LiveSection<EmailAccount>& store, OperatorMessages& messages, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: hides the dialog without a close event, so it unloads here too.
    void reject() override;

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
