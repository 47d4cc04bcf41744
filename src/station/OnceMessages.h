#pragma once

#include <set>
#include <string>
#include <utility>

#include "platform/OperatorMessages.h"

namespace miv {

// Device failures told once: capture reopens after every transmission, and a sound
// card that is missing at start-up would otherwise interrupt the operator after each
// one with the same box. A message comes again once `forget` says the device has
// worked or the operator has chosen another.
class OnceMessages final : public OperatorMessages {
public:
    explicit OnceMessages(OperatorMessages& messages) : messages_(messages) {}

    void critical(const std::string& title, const std::string& text) override
    {
        if (shown_.insert({title, text}).second)
            messages_.critical(title, text);
    }
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override
    {
        return messages_.askAbortRetryIgnore(title, text);
    }

    void forget(const std::string& text)
    {
        std::erase_if(shown_, [&](const auto& message) { return message.second == text; });
    }
    void forgetAll() { shown_.clear(); }

private:
    OperatorMessages& messages_;
    std::set<std::pair<std::string, std::string>> shown_;
};

}  // namespace miv
