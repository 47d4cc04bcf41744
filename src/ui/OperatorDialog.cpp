#include "ui/OperatorDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/ProgramInfo.h"

namespace miv {

namespace {

QLineEdit* field(const char* name, const std::string& text, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(320);
    return edit;
}

}  // namespace

OperatorDialog::OperatorDialog(LiveSection<OperatorDetails>& store, OperatorMessages& messages, QWidget* parent)
    : SectionDialog([&store] { store.unload(); }, parent),
      store_(store),
      messages_(messages)
{
    setObjectName("operatorDialog");
    setWindowTitle("Operator");
    setAttribute(Qt::WA_DeleteOnClose);
    const OperatorDetails details = store_.load();
    callsign_ = field("callsign", details.callsign, this);
    name_ = field("name", details.name, this);
    qth_ = field("qth", details.qth, this);
    locator_ = field("locator", details.locator, this);
    station_ = field("station", details.station, this);
    email_ = field("email", details.email, this);
    custom_ = field("custom", details.custom, this);

    auto* form = new QFormLayout;
    form->addRow("Callsign:", callsign_);
    form->addRow("Name:", name_);
    form->addRow("QTH:", qth_);
    form->addRow("Locator:", locator_);
    form->addRow("Station:", station_);
    form->addRow("E-mail:", email_);
    form->addRow("Custom:", custom_);

    auto* save = new QPushButton("SAVE", this);
    save->setObjectName("saveButton");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(callsign_, &QLineEdit::textChanged, this, &OperatorDialog::callsignChanged);
    for (QLineEdit* edit : {name_, qth_, locator_, station_, email_, custom_})
        connect(edit, &QLineEdit::textChanged, this, [this] { store_.edit(fields()); });
    connect(save, &QPushButton::clicked, this, &OperatorDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

OperatorDetails OperatorDialog::fields() const
{
    OperatorDetails details;
    details.callsign = callsign_->text().toStdString();
    details.name = name_->text().toStdString();
    details.qth = qth_->text().toStdString();
    details.locator = locator_->text().toStdString();
    details.station = station_->text().toStdString();
    details.email = email_->text().toStdString();
    details.custom = custom_->text().toStdString();
    return details;
}

void OperatorDialog::callsignChanged()
{
    const QString upper = callsign_->text().toUpper();
    if (upper != callsign_->text())
        callsign_->setText(upper);
    callsign_->setCursorPosition(static_cast<int>(callsign_->text().size()));
    store_.edit(fields());
}

void OperatorDialog::save()
{
    const SettingsSave saved = store_.save(fields());
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the edits
    }
    close();
}

}  // namespace miv
