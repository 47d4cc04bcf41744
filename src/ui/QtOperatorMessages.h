#pragma once

#include "platform/OperatorMessages.h"

class QWidget;

namespace miv {

// The operator's messages as message boxes over the main window.
class QtOperatorMessages final : public OperatorMessages {
public:
    explicit QtOperatorMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void critical(const std::string& title, const std::string& text) override;
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace miv
