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
class frmEmail final : public QDialog {
    Q_OBJECT
public:
    frmEmail(LiveSection<EmailAccount>& store, OperatorMessages& messages, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: hides the dialog without a close event, so it unloads here too.
    void reject() override;

private:
    EmailAccount fields() const;
    void showOption();
    void Command1_Click();

    LiveSection<EmailAccount>& store_;
    OperatorMessages& messages_;
    QRadioButton* optSMTP_;
    QRadioButton* optGmail_;
    QRadioButton* optNoInternet_;
    QLabel* lblServer_;
    QLineEdit* txtServidorSMTP_;
    QLabel* lblUser_;
    QLineEdit* txtUsuarioGmail_;
    QLabel* lblGmail_;
    QLabel* lblPassword_;
    QLineEdit* txtPassword_;
    QLabel* lblNota_;
};

}  // namespace miv
