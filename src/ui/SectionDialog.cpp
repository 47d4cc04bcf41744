#include "ui/SectionDialog.h"

#include <utility>

namespace miv {

SectionDialog::SectionDialog(std::function<void()> unloadSection, QWidget* parent)
    : QDialog(parent),
      unloadSection_(std::move(unloadSection))
{
}

void SectionDialog::closeEvent(QCloseEvent* event)
{
    unloadSection_();  // after SAVE it is unloaded already
    QDialog::closeEvent(event);
}

void SectionDialog::reject()
{
    unloadSection_();
    QDialog::reject();
}

}  // namespace miv
