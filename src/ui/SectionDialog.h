#pragma once

#include <QDialog>

#include <functional>

namespace miv {

// A dialog that holds its section of the settings live while it is open: leaving it by
// any way but SAVE (its CLOSE button, the title bar, Esc) drops the edits.
class SectionDialog : public QDialog {
    Q_OBJECT
public:
    SectionDialog(std::function<void()> unloadSection, QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc hides the dialog without a close event, so it unloads here too.
    void reject() override;

private:
    std::function<void()> unloadSection_;
};

}  // namespace miv
