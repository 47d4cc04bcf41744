#pragma once

#include <QDialog>

#include "station/ProgramInfo.h"

namespace miv {

// "About MIV": what the program is and its version.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace miv
