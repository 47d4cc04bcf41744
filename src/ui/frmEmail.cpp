#include "ui/frmEmail.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "mail/ReportPlanner.h"
#include "station/ProgramInfo.h"

namespace miv {

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

}  // namespace

frmEmail::frmEmail(LiveSection<EmailAccount>& store, OperatorMessages& messages, QWidget* parent)
    : QDialog(parent),
      store_(store),
      messages_(messages)
{
    setObjectName("frmEmail");
    setWindowTitle("E-Mail Report Configuration");
    setAttribute(Qt::WA_DeleteOnClose);
    const EmailAccount account = store_.load();

    optSMTP_ = named(new QRadioButton("I have a Mail client:", this), "optSMTP");
    optGmail_ = named(new QRadioButton("I have a Gmail account", this), "optGmail");
    optNoInternet_ = named(new QRadioButton("I have no an internet connection", this), "optNoInternet");
    lblServer_ = named(new QLabel("SMTP Server:", this), "lblServer");
    txtServidorSMTP_ = named(new QLineEdit(QString::fromStdString(account.smtpServer), this), "txtServidorSMTP");
    lblUser_ = named(new QLabel("User Name", this), "lblUser");
    txtUsuarioGmail_ = named(new QLineEdit(QString::fromStdString(account.webMailUser), this), "txtUsuarioGmail");
    lblGmail_ = named(
        new QLabel(QString::fromUtf8(kWebMailDomainLabel.data(), static_cast<qsizetype>(kWebMailDomainLabel.size())),
                   this),
        "lblGmail");
    lblPassword_ = named(new QLabel("Password", this), "lblPassword");
    txtPassword_ = named(new QLineEdit(QString::fromStdString(account.password), this), "txtPassword");
    txtPassword_->setEchoMode(QLineEdit::Password);
    lblNota_ =
        named(new QLabel("If you wish, you could create an exclusive Gmail account with a different password", this),
              "lblNota");
    lblNota_->setWordWrap(true);
    switch (account.option) {
    case MailOption::Smtp:
        optSMTP_->setChecked(true);
        break;
    case MailOption::WebMail:
        optGmail_->setChecked(true);
        break;
    case MailOption::NoInternet:
        optNoInternet_->setChecked(true);
        break;
    }

    auto* grid = new QGridLayout;
    grid->addWidget(optSMTP_, 0, 0, 1, 3);
    grid->addWidget(optGmail_, 1, 0, 1, 3);
    grid->addWidget(optNoInternet_, 2, 0, 1, 3);
    grid->addWidget(lblServer_, 3, 0);
    grid->addWidget(txtServidorSMTP_, 3, 1, 1, 2);
    grid->addWidget(lblUser_, 4, 0);
    grid->addWidget(txtUsuarioGmail_, 4, 1);
    grid->addWidget(lblGmail_, 4, 2);
    grid->addWidget(lblPassword_, 5, 0);
    grid->addWidget(txtPassword_, 5, 1);
    grid->addWidget(lblNota_, 6, 0, 1, 3);

    auto* save = named(new QPushButton("SAVE", this), "Command1");
    auto* close = named(new QPushButton("CLOSE", this), "Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(440);
    showOption();

    for (QRadioButton* option : {optSMTP_, optGmail_, optNoInternet_}) {
        connect(option, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) {
                showOption();
                store_.edit(fields());
            }
        });
    }
    for (QLineEdit* edit : {txtServidorSMTP_, txtUsuarioGmail_, txtPassword_})
        connect(edit, &QLineEdit::textChanged, this, [this] { store_.edit(fields()); });
    connect(save, &QPushButton::clicked, this, &frmEmail::Command1_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

EmailAccount frmEmail::fields() const
{
    EmailAccount account;
    account.option = optSMTP_->isChecked()    ? MailOption::Smtp
                     : optGmail_->isChecked() ? MailOption::WebMail
                                              : MailOption::NoInternet;
    account.smtpServer = txtServidorSMTP_->text().toStdString();
    account.webMailUser = txtUsuarioGmail_->text().toStdString();
    account.password = txtPassword_->text().toStdString();
    return account;
}

void frmEmail::showOption()
{
    const bool smtp = optSMTP_->isChecked();
    const bool webMail = optGmail_->isChecked();
    lblServer_->setVisible(smtp);
    txtServidorSMTP_->setVisible(smtp);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{lblUser_, lblGmail_, lblPassword_, txtUsuarioGmail_, txtPassword_, lblNota_})
        widget->setVisible(webMail);
}

void frmEmail::Command1_Click()
{
    const SettingsSave saved = store_.save(fields());
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the edits
    }
    close();
}

void frmEmail::closeEvent(QCloseEvent* event)
{
    store_.unload();
    QDialog::closeEvent(event);
}

void frmEmail::reject()
{
    store_.unload();
    QDialog::reject();
}

}  // namespace miv
