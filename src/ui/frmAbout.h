#pragma once

#include <QDialog>

namespace miv {

inline constexpr const char* kProgramTitle = "MIV v2.5.0 Beta";
inline constexpr const char* kProgramVersion = "2.5.0 Beta";

// "About MIV": what the program is and its version.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

}  // namespace miv
