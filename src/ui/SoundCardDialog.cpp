#include "ui/SoundCardDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/ProgramInfo.h"
#include "station/Station.h"

namespace miv {

namespace {

QComboBox* deviceList(const char* name, const std::vector<std::string>& devices, const std::string& saved,
                      QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setMinimumWidth(320);
    for (const std::string& device : devices)
        list->addItem(QString::fromStdString(device));
    list->setCurrentIndex(savedDevicePosition(devices, saved));
    return list;
}

}  // namespace

SoundCardDialog::SoundCardDialog(Station& station, OperatorMessages& messages, QWidget* parent)
    : SectionDialog([&station] { station.soundCardSection().unload(); }, parent),
      station_(station),
      messages_(messages)
{
    setObjectName("soundCardDialog");
    setWindowTitle("SoundCard Configuration");
    setAttribute(Qt::WA_DeleteOnClose);
    const SoundCards saved = station_.soundCardSection().load();
    input_ = deviceList("inputDevice", station_.audioDevices().captureDevices(), saved.input, this);
    output_ = deviceList("outputDevice", station_.audioDevices().playbackDevices(), saved.output, this);
    selectionChanged();

    auto* form = new QFormLayout;
    form->addRow("Device Input", input_);
    form->addRow("Device Output", output_);
    saveButton_ = new QPushButton("SAVE", this);
    saveButton_->setObjectName("saveButton");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    showSaveEnabled();

    connect(input_, &QComboBox::currentIndexChanged, this, &SoundCardDialog::selectionChanged);
    connect(output_, &QComboBox::currentIndexChanged, this, &SoundCardDialog::selectionChanged);
    connect(saveButton_, &QPushButton::clicked, this, &SoundCardDialog::save);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void SoundCardDialog::showSaveEnabled()
{
    saveButton_->setEnabled(station_.soundCardSaveEnabled());
}

void SoundCardDialog::selectionChanged()
{
    station_.soundCardSection().edit({input_->currentText().toStdString(), output_->currentText().toStdString()});
}

void SoundCardDialog::save()
{
    if (!station_.soundCardSaveEnabled())
        return;
    const SettingsSave saved =
        station_.saveSoundCards({input_->currentText().toStdString(), output_->currentText().toStdString()});
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the choice, which reception already uses
    }
    close();
}

}  // namespace miv
