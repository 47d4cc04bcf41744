#include "ui/frmTarjetaSonido.h"

#include <QCloseEvent>
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

frmTarjetaSonido::frmTarjetaSonido(Station& station, OperatorMessages& messages, QWidget* parent)
    : QDialog(parent),
      station_(station),
      messages_(messages)
{
    setObjectName("frmTarjetaSonido");
    setWindowTitle("SoundCard Configuration");
    setAttribute(Qt::WA_DeleteOnClose);
    const SoundCards saved = station_.soundCardForm().load();
    cboTarjetaSonidoEntrada_ =
        deviceList("cboTarjetaSonidoEntrada", station_.audioDevices().captureDevices(), saved.input, this);
    cboTarjetaSonidoSalida_ =
        deviceList("cboTarjetaSonidoSalida", station_.audioDevices().playbackDevices(), saved.output, this);
    selectionChanged();

    auto* form = new QFormLayout;
    form->addRow("Device Input", cboTarjetaSonidoEntrada_);
    form->addRow("Device Output", cboTarjetaSonidoSalida_);
    cmdSave_ = new QPushButton("SAVE", this);
    cmdSave_->setObjectName("cmdSave");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    showSaveEnabled();

    connect(cboTarjetaSonidoEntrada_, &QComboBox::currentIndexChanged, this, &frmTarjetaSonido::selectionChanged);
    connect(cboTarjetaSonidoSalida_, &QComboBox::currentIndexChanged, this, &frmTarjetaSonido::selectionChanged);
    connect(cmdSave_, &QPushButton::clicked, this, &frmTarjetaSonido::cmdSave_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void frmTarjetaSonido::showSaveEnabled()
{
    cmdSave_->setEnabled(station_.soundCardSaveEnabled());
}

void frmTarjetaSonido::selectionChanged()
{
    station_.soundCardForm().edit(
        {cboTarjetaSonidoEntrada_->currentText().toStdString(), cboTarjetaSonidoSalida_->currentText().toStdString()});
}

void frmTarjetaSonido::cmdSave_Click()
{
    if (!station_.soundCardSaveEnabled())
        return;
    const SettingsSave saved = station_.saveSoundCards(
        {cboTarjetaSonidoEntrada_->currentText().toStdString(), cboTarjetaSonidoSalida_->currentText().toStdString()});
    if (!saved) {
        messages_.critical(kProgramTitle, saved.error);
        return;  // stays open with the choice, which reception already uses
    }
    close();
}

void frmTarjetaSonido::closeEvent(QCloseEvent* event)
{
    station_.soundCardForm().unload();
    QDialog::closeEvent(event);
}

void frmTarjetaSonido::reject()
{
    station_.soundCardForm().unload();
    QDialog::reject();
}

}  // namespace miv
