#include "ui/RigDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "station/ProgramInfo.h"
#include "station/Station.h"

namespace miv {

namespace {

// Serial speeds a rig's CAT port offers; 0 keeps the model's own.
constexpr int kBauds[] = {0, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kHighestPort = 65535;

QSpinBox* minutes(const char* name, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, kLongestWatchdogMinutes);
    box->setSuffix(" min");
    box->setSpecialValueText("off");
    box->setValue(value);
    return box;
}

}  // namespace

RigDialog::RigDialog(Station& station, OperatorMessages& messages, QWidget* parent)
    : SectionDialog([&station] { station.rigSection().unload(); }, parent),
      station_(station),
      messages_(messages)
{
    setObjectName("rigDialog");
    setWindowTitle("PTT");
    setAttribute(Qt::WA_DeleteOnClose);
    const RigSettings saved = station_.rigSection().load();
    model_ = saved.model;

    auto* method = new QGroupBox("Keying", this);
    auto* methods = new QVBoxLayout(method);
    serial_ = new QRadioButton("Serial port of the COM menu (RTS/DTR)", method);
    serial_->setObjectName("serialOption");
    hamlib_ = new QRadioButton("CAT through Hamlib", method);
    hamlib_->setObjectName("hamlibOption");
    rigctld_ = new QRadioButton("CAT through rigctld", method);
    rigctld_->setObjectName("rigctldOption");
    none_ = new QRadioButton("None (VOX)", method);
    none_->setObjectName("noneOption");
    for (QRadioButton* option : {serial_, hamlib_, rigctld_, none_})
        methods->addWidget(option);
    serial_->setChecked(saved.method == PttMethod::Serial);
    hamlib_->setChecked(saved.method == PttMethod::Hamlib);
    rigctld_->setChecked(saved.method == PttMethod::Rigctld);
    none_->setChecked(saved.method == PttMethod::None);

    saveButton_ = new QPushButton("SAVE", this);
    saveButton_->setObjectName("saveButton");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(method);
    layout->addWidget(buildHamlib(saved));
    layout->addWidget(buildRigctld(saved));
    layout->addWidget(buildWatchdog(saved));
    layout->addLayout(buttons);
    showSaveEnabled();

    for (QRadioButton* option : {serial_, hamlib_, rigctld_, none_})
        connect(option, &QRadioButton::toggled, this, &RigDialog::changed);
    connect(modelSearch_, &QLineEdit::textChanged, this, &RigDialog::filterModels);
    connect(models_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            model_ = item->data(Qt::UserRole).toInt();
        changed();
    });
    for (QLineEdit* text : {device_, host_})
        connect(text, &QLineEdit::textChanged, this, &RigDialog::changed);
    connect(baud_, &QComboBox::currentIndexChanged, this, &RigDialog::changed);
    for (QSpinBox* number : {port_, watchdog16Baud_, watchdogSlow_})
        connect(number, &QSpinBox::valueChanged, this, &RigDialog::changed);
    connect(saveButton_, &QPushButton::clicked, this, &RigDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

QWidget* RigDialog::buildHamlib(const RigSettings& saved)
{
    auto* box = new QGroupBox("Hamlib", this);
    auto* form = new QFormLayout(box);
    modelSearch_ = new QLineEdit(box);
    modelSearch_->setObjectName("modelSearch");
    modelSearch_->setPlaceholderText("maker, model or number");
    models_ = new QListWidget(box);
    models_->setObjectName("rigModel");
    models_->setMinimumHeight(140);
    for (const RigModel& model : station_.rigModels()) {
        auto* item =
            new QListWidgetItem(QString("%1 %2 (%3)")
                                    .arg(QString::fromStdString(model.maker), QString::fromStdString(model.name))
                                    .arg(model.number),
                                models_);
        item->setData(Qt::UserRole, model.number);
        if (model.number == saved.model)
            models_->setCurrentItem(item);
    }
    device_ = new QLineEdit(QString::fromStdString(saved.device), box);
    device_->setObjectName("rigDevice");
    device_->setPlaceholderText("/dev/ttyUSB0");
    baud_ = new QComboBox(box);
    baud_->setObjectName("rigBaud");
    for (const int baud : kBauds) {
        baud_->addItem(baud == 0 ? QString("the model's own") : QString::number(baud), baud);
        if (baud == saved.baud)
            baud_->setCurrentIndex(baud_->count() - 1);
    }
    form->addRow("Search", modelSearch_);
    form->addRow("Model", models_);
    form->addRow("Device", device_);
    form->addRow("Baud", baud_);
    return box;
}

QWidget* RigDialog::buildRigctld(const RigSettings& saved)
{
    auto* box = new QGroupBox("rigctld", this);
    auto* form = new QFormLayout(box);
    host_ = new QLineEdit(QString::fromStdString(saved.rigctldHost), box);
    host_->setObjectName("rigctldHost");
    port_ = new QSpinBox(box);
    port_->setObjectName("rigctldPort");
    port_->setRange(1, kHighestPort);
    port_->setValue(saved.rigctldPort);
    form->addRow("Host", host_);
    form->addRow("Port", port_);
    return box;
}

QWidget* RigDialog::buildWatchdog(const RigSettings& saved)
{
    auto* box = new QGroupBox("Transmit watchdog", this);
    auto* form = new QFormLayout(box);
    watchdog16Baud_ = minutes("watchdog16Baud", saved.watchdog16BaudMinutes, box);
    watchdogSlow_ = minutes("watchdogSlow", saved.watchdogSlowMinutes, box);
    form->addRow("16 baud", watchdog16Baud_);
    form->addRow("1 baud and EME", watchdogSlow_);
    return box;
}

void RigDialog::filterModels()
{
    const QString wanted = modelSearch_->text().trimmed();
    for (int row = 0; row < models_->count(); ++row) {
        QListWidgetItem* item = models_->item(row);
        item->setHidden(!item->text().contains(wanted, Qt::CaseInsensitive));
    }
}

RigSettings RigDialog::chosen() const
{
    RigSettings settings;
    settings.method = hamlib_->isChecked()    ? PttMethod::Hamlib
                      : rigctld_->isChecked() ? PttMethod::Rigctld
                      : none_->isChecked()    ? PttMethod::None
                                              : PttMethod::Serial;
    settings.model = model_;
    settings.device = device_->text().trimmed().toStdString();
    settings.baud = baud_->currentData().toInt();
    settings.rigctldHost = host_->text().trimmed().toStdString();
    settings.rigctldPort = port_->value();
    settings.watchdog16BaudMinutes = watchdog16Baud_->value();
    settings.watchdogSlowMinutes = watchdogSlow_->value();
    return settings;
}

void RigDialog::changed()
{
    station_.rigSection().edit(chosen());
}

void RigDialog::showSaveEnabled()
{
    saveButton_->setEnabled(station_.rigSaveEnabled());
}

void RigDialog::save()
{
    if (!station_.rigSaveEnabled())
        return;
    const SettingsSave saved = station_.saveRigSettings(chosen());
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the choice, which the station already uses
    }
    close();
}

}  // namespace miv
