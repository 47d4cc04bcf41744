#pragma once

#include <string>
#include <vector>

namespace miv {

enum class PortErrorAnswer { Abort, Retry, Ignore };

// Messages that need the operator's eyes: a message box in the window, stderr in the
// command line, a recording in tests.
class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    // A device or service failure; the program carries on.
    virtual void critical(const std::string& title, const std::string& text) = 0;
    // The serial-port question with Abort, Retry and Ignore.
    virtual PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) = 0;
};

// Prints messages on stderr and answers the port question with Ignore.
class StderrMessages final : public OperatorMessages {
public:
    void critical(const std::string& title, const std::string& text) override;
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override;
};

// Records every message and answers the port question from a script (Abort when the
// script runs out).
class RecordedMessages final : public OperatorMessages {
public:
    struct Message {
        std::string title;
        std::string text;
    };

    void critical(const std::string& title, const std::string& text) override;
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override;

    std::vector<Message> shown;
    std::vector<PortErrorAnswer> answers;  // consumed front to back
};

}  // namespace miv
