#include "ui/EmailDialog.h"

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

EmailDialog::EmailDialog(LiveSection<EmailAccount>& store, OperatorMessages& messages, QWidget* parent)
    : SectionDialog([&store] { store.unload(); }, parent),
      store_(store),
      messages_(messages)
{
    setObjectName("emailDialog");
    setWindowTitle("E-Mail Report Configuration");
    setAttribute(Qt::WA_DeleteOnClose);
    const EmailAccount account = store_.load();

    smtpOption_ = named(new QRadioButton("I have a Mail client:", this), "smtpOption");
    webMailOption_ = named(new QRadioButton("I have a Gmail account", this), "webMailOption");
    noInternetOption_ = named(new QRadioButton("I have no an internet connection", this), "noInternetOption");
    serverLabel_ = named(new QLabel("SMTP Server:", this), "serverLabel");
    smtpServer_ = named(new QLineEdit(QString::fromStdString(account.smtpServer), this), "smtpServer");
    userLabel_ = named(new QLabel("User Name", this), "userLabel");
    webMailUser_ = named(new QLineEdit(QString::fromStdString(account.webMailUser), this), "webMailUser");
    domainLabel_ = named(
        new QLabel(QString::fromUtf8(kWebMailDomainLabel.data(), static_cast<qsizetype>(kWebMailDomainLabel.size())),
                   this),
        "domainLabel");
    passwordLabel_ = named(new QLabel("Password", this), "passwordLabel");
    password_ = named(new QLineEdit(QString::fromStdString(account.password), this), "password");
    password_->setEchoMode(QLineEdit::Password);
    note_ = named(
        new QLabel("If you wish, you could create an exclusive Gmail account with a different password", this), "note");
    note_->setWordWrap(true);
    switch (account.option) {
    case MailOption::Smtp:
        smtpOption_->setChecked(true);
        break;
    case MailOption::WebMail:
        webMailOption_->setChecked(true);
        break;
    case MailOption::NoInternet:
        noInternetOption_->setChecked(true);
        break;
    }

    auto* grid = new QGridLayout;
    grid->addWidget(smtpOption_, 0, 0, 1, 3);
    grid->addWidget(webMailOption_, 1, 0, 1, 3);
    grid->addWidget(noInternetOption_, 2, 0, 1, 3);
    grid->addWidget(serverLabel_, 3, 0);
    grid->addWidget(smtpServer_, 3, 1, 1, 2);
    grid->addWidget(userLabel_, 4, 0);
    grid->addWidget(webMailUser_, 4, 1);
    grid->addWidget(domainLabel_, 4, 2);
    grid->addWidget(passwordLabel_, 5, 0);
    grid->addWidget(password_, 5, 1);
    grid->addWidget(note_, 6, 0, 1, 3);

    auto* save = named(new QPushButton("SAVE", this), "saveButton");
    auto* close = named(new QPushButton("CLOSE", this), "closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(440);
    showOption();

    for (QRadioButton* option : {smtpOption_, webMailOption_, noInternetOption_}) {
        connect(option, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) {
                showOption();
                store_.edit(fields());
            }
        });
    }
    for (QLineEdit* edit : {smtpServer_, webMailUser_, password_})
        connect(edit, &QLineEdit::textChanged, this, [this] { store_.edit(fields()); });
    connect(save, &QPushButton::clicked, this, &EmailDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

EmailAccount EmailDialog::fields() const
{
    EmailAccount account;
    account.option = smtpOption_->isChecked()      ? MailOption::Smtp
                     : webMailOption_->isChecked() ? MailOption::WebMail
                                                   : MailOption::NoInternet;
    account.smtpServer = smtpServer_->text().toStdString();
    account.webMailUser = webMailUser_->text().toStdString();
    account.password = password_->text().toStdString();
    return account;
}

void EmailDialog::showOption()
{
    const bool smtp = smtpOption_->isChecked();
    const bool webMail = webMailOption_->isChecked();
    serverLabel_->setVisible(smtp);
    smtpServer_->setVisible(smtp);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{userLabel_, domainLabel_, passwordLabel_, webMailUser_, password_, note_})
        widget->setVisible(webMail);
}

void EmailDialog::save()
{
    const SettingsSave saved = store_.save(fields());
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the edits
    }
    close();
}

}  // namespace miv
