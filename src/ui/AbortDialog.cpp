#include "ui/AbortDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace miv {

AbortDialog::AbortDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("abortDialog");
    setWindowTitle("ABORT TRANSMISSION");
    setModal(false);
    auto* question = new QLabel("The message will be cut. Are you sure?", this);
    auto* yes = new QPushButton("YES", this);
    yes->setObjectName("yesButton");
    auto* no = new QPushButton("NO", this);
    no->setObjectName("noButton");
    no->setDefault(true);  // Enter must not cut a transmission by accident
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(buttons);
    connect(yes, &QPushButton::clicked, this, [this] {
        emit abortConfirmed();
        close();
    });
    connect(no, &QPushButton::clicked, this, &QDialog::close);
}

}  // namespace miv
