#include "platform/OperatorMessages.h"

#include <iostream>

namespace miv {

void StderrMessages::critical(const std::string& title, const std::string& text)
{
    std::cerr << title << ": " << text << '\n';
}

PortErrorAnswer StderrMessages::askAbortRetryIgnore(const std::string& title, const std::string& text)
{
    std::cerr << title << ": " << text << " (going on without keying)\n";
    return PortErrorAnswer::Ignore;
}

void RecordedMessages::critical(const std::string& title, const std::string& text)
{
    shown.push_back({title, text});
}

PortErrorAnswer RecordedMessages::askAbortRetryIgnore(const std::string& title, const std::string& text)
{
    shown.push_back({title, text});
    if (answers.empty())
        return PortErrorAnswer::Abort;
    const PortErrorAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

}  // namespace miv
