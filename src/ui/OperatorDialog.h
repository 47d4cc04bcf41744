#pragma once

#include "config/Settings.h"
#include "platform/OperatorMessages.h"
#include "station/LiveSection.h"
#include "ui/SectionDialog.h"

class QLineEdit;

namespace miv {

// "Operator": the operator details the macros and the reports use. While it is open
// its fields are the details everyone reads; SAVE writes them, CLOSE forgets the edits.
class OperatorDialog final : public SectionDialog {
    Q_OBJECT
public:
    OperatorDialog(LiveSection<OperatorDetails>& store, OperatorMessages& messages, QWidget* parent = nullptr);

private:
    OperatorDetails fields() const;
    void callsignChanged();
    void save();

    LiveSection<OperatorDetails>& store_;
    OperatorMessages& messages_;
    QLineEdit* callsign_;
    QLineEdit* name_;
    QLineEdit* qth_;
    QLineEdit* locator_;
    QLineEdit* station_;
    QLineEdit* email_;
    QLineEdit* custom_;
};

}  // namespace miv
