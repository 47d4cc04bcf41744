#include "ui/frmOperator.h"

#include <QCloseEvent>
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

frmOperator::frmOperator(LiveSection<OperatorDetails>& store, OperatorMessages& messages, QWidget* parent)
    : QDialog(parent),
      store_(store),
      messages_(messages)
{
    setObjectName("frmOperator");
    setWindowTitle("Operator");
    setAttribute(Qt::WA_DeleteOnClose);
    const OperatorDetails details = store_.load();
    txtCallsign_ = field("txtCallsign", details.callsign, this);
    txtName_ = field("txtName", details.name, this);
    txtQTH_ = field("txtQTH", details.qth, this);
    txtLocator_ = field("txtLocator", details.locator, this);
    txtStation_ = field("txtStation", details.station, this);
    txtEmail_ = field("txtEmail", details.email, this);
    txtCustom_ = field("txtCustom", details.custom, this);

    auto* form = new QFormLayout;
    form->addRow("Callsign:", txtCallsign_);
    form->addRow("Name:", txtName_);
    form->addRow("QTH:", txtQTH_);
    form->addRow("Locator:", txtLocator_);
    form->addRow("Station:", txtStation_);
    form->addRow("E-mail:", txtEmail_);
    form->addRow("Custom:", txtCustom_);

    auto* save = new QPushButton("SAVE", this);
    save->setObjectName("cmdSave");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(txtCallsign_, &QLineEdit::textChanged, this, &frmOperator::callsignChanged);
    for (QLineEdit* edit : {txtName_, txtQTH_, txtLocator_, txtStation_, txtEmail_, txtCustom_})
        connect(edit, &QLineEdit::textChanged, this, [this] { store_.edit(fields()); });
    connect(save, &QPushButton::clicked, this, &frmOperator::cmdSave_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

OperatorDetails frmOperator::fields() const
{
    OperatorDetails details;
    details.callsign = txtCallsign_->text().toStdString();
    details.name = txtName_->text().toStdString();
    details.qth = txtQTH_->text().toStdString();
    details.locator = txtLocator_->text().toStdString();
    details.station = txtStation_->text().toStdString();
    details.email = txtEmail_->text().toStdString();
    details.custom = txtCustom_->text().toStdString();
    return details;
}

void frmOperator::callsignChanged()
{
    const QString upper = txtCallsign_->text().toUpper();
    if (upper != txtCallsign_->text())
        txtCallsign_->setText(upper);
    txtCallsign_->setCursorPosition(static_cast<int>(txtCallsign_->text().size()));
    store_.edit(fields());
}

void frmOperator::cmdSave_Click()
{
    const SettingsSave saved = store_.save(fields());
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the edits
    }
    close();
}

void frmOperator::closeEvent(QCloseEvent* event)
{
    store_.unload();  // after SAVE it is unloaded already; CLOSE drops the edits
    QDialog::closeEvent(event);
}

void frmOperator::reject()
{
    store_.unload();
    QDialog::reject();
}

}  // namespace miv
