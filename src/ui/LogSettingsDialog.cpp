#include "ui/LogSettingsDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Datagrams.h"
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

LogSettingsDialog::LogSettingsDialog(LiveSection<LogSettings>& store, const std::string& defaultFile,
                                     OperatorMessages& messages, QWidget* parent)
    : SectionDialog([&store] { store.unload(); }, parent),
      store_(store),
      messages_(messages)
{
    setObjectName("logSettingsDialog");
    setWindowTitle("Logbook");
    setAttribute(Qt::WA_DeleteOnClose);
    const LogSettings log = store_.load();

    file_ = named(new QLineEdit(QString::fromStdString(log.file), this), "logFile");
    file_->setPlaceholderText(QString::fromStdString(defaultFile));
    udpOn_ = named(new QCheckBox("Send each logged contact over UDP to", this), "udpOn");
    udpOn_->setChecked(log.udpOn);
    udpTarget_ = named(new QLineEdit(QString::fromStdString(log.udpTarget), this), "udpTarget");
    spotsOn_ = named(new QCheckBox("Report spots", this), "spotsOn");
    spotsOn_->setChecked(log.spotsOn);
    collector_ = named(new QLineEdit(QString::fromStdString(log.collector), this), "spotCollector");
    auto* note = new QLabel(
        "Spots name the stations you hear, with your callsign and locator from the Operator window, on PSK "
        "Reporter's map.",
        this);
    note->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow("ADIF log file", file_);
    form->addRow(udpOn_, udpTarget_);
    form->addRow(spotsOn_, collector_);
    form->addRow(note);
    auto* save = named(new QPushButton("SAVE", this), "saveButton");
    auto* close = named(new QPushButton("CLOSE", this), "closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    for (QLineEdit* edit : {file_, udpTarget_, collector_})
        connect(edit, &QLineEdit::textChanged, this, [this] { store_.edit(fields()); });
    for (QCheckBox* box : {udpOn_, spotsOn_})
        connect(box, &QCheckBox::toggled, this, [this] { store_.edit(fields()); });
    connect(save, &QPushButton::clicked, this, &LogSettingsDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

LogSettings LogSettingsDialog::fields() const
{
    return {file_->text().trimmed().toStdString(), udpOn_->isChecked(), udpTarget_->text().trimmed().toStdString(),
            spotsOn_->isChecked(), collector_->text().trimmed().toStdString()};
}

void LogSettingsDialog::save()
{
    const LogSettings log = fields();
    DatagramTarget target;
    if ((log.udpOn && !parseDatagramTarget(log.udpTarget, target)) ||
        (log.spotsOn && !parseDatagramTarget(log.collector, target))) {
        messages_.critical("Logbook", "Addresses are written host:port, for example 127.0.0.1:2333.");
        return;
    }
    const SettingsSave saved = store_.save(log);
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;
    }
    close();
}

}  // namespace miv
