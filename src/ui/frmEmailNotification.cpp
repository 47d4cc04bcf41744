#include "ui/frmEmailNotification.h"

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

frmEmailNotification::frmEmailNotification(bool sent, QWidget* parent) : QDialog(parent)
{
    setObjectName("frmEmailNotification");
    setWindowTitle(text(kNotificationCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* lblEmailSent = new QLabel(text(kEmailSentText), this);
    lblEmailSent->setObjectName("lblEmailSent");
    auto* lblEmailNoSent = new QLabel(text(kEmailNotSentText), this);
    lblEmailNoSent->setObjectName("lblEmailNoSent");
    lblEmailSent->setVisible(sent);
    lblEmailNoSent->setVisible(!sent);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblEmailSent);
    layout->addWidget(lblEmailNoSent);
    setMinimumWidth(300);
}

}  // namespace miv
