#pragma once

#include "platform/OperatorMessages.h"

namespace miv {

// The operator's messages as message boxes over the window in front.
class QtOperatorMessages final : public OperatorMessages {
public:
    void critical(const std::string& title, const std::string& text) override;
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override;
};

}  // namespace miv
