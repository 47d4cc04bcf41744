#include "ui/QtOperatorMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace miv {

void QtOperatorMessages::critical(const std::string& title, const std::string& text)
{
    QMessageBox::critical(QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(text));
}

PortErrorAnswer QtOperatorMessages::askAbortRetryIgnore(const std::string& title, const std::string& text)
{
    const auto answer =
        QMessageBox::warning(QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(text),
                             QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    switch (answer) {
    case QMessageBox::Retry:
        return PortErrorAnswer::Retry;
    case QMessageBox::Ignore:
        return PortErrorAnswer::Ignore;
    default:
        return PortErrorAnswer::Abort;
    }
}

}  // namespace miv
