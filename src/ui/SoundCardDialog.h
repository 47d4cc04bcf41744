#pragma once

#include "platform/OperatorMessages.h"
#include "ui/SectionDialog.h"

class QComboBox;
class QPushButton;

namespace miv {

class Station;

// "SoundCard Configuration": the capture and playback devices. SAVE restarts capture on
// the chosen input at once; playback takes the chosen output at the next transmission.
// A live store like the operator window.
class SoundCardDialog final : public SectionDialog {
    Q_OBJECT
public:
    SoundCardDialog(Station& station, OperatorMessages& messages, QWidget* parent = nullptr);

    // SAVE acts only while the station receives.
    void showSaveEnabled();

private:
    void selectionChanged();
    void save();

    Station& station_;
    OperatorMessages& messages_;
    QComboBox* input_;
    QComboBox* output_;
    QPushButton* saveButton_;
};

}  // namespace miv
