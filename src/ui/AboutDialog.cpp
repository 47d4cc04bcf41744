#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace miv {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("aboutDialog");
    setWindowTitle("About MIV");
    auto* title = new QLabel("<h2>MIV</h2>", this);
    auto* description = new QLabel(
        "A sound-card modem for keyboard-to-keyboard text contacts between amateur radio "
        "stations on HF and by moonbounce (EME): 16-tone frequency-hopping FSK with a "
        "convolutional code and Viterbi decoding, in 2250 Hz and 500 Hz bandwidths at 16 "
        "and 1 baud.",
        this);
    description->setObjectName("description");
    description->setWordWrap(true);
    auto* version = new QLabel(QString("Version ") + kProgramVersion, this);
    version->setObjectName("version");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(description);
    layout->addWidget(version);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

}  // namespace miv
