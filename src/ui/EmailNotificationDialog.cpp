#include "ui/EmailNotificationDialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "mail/ReportDelivery.h"

namespace miv {

namespace {

QString text(std::string_view line)
{
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace

EmailNotificationDialog::EmailNotificationDialog(bool sent, QWidget* parent) : QDialog(parent)
{
    setObjectName("emailNotification");
    setWindowTitle(text(kNotificationCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* outcome = new QLabel(text(sent ? kEmailSentText : kEmailNotSentText), this);
    outcome->setObjectName("outcome");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outcome);
    setMinimumWidth(300);
}

}  // namespace miv
