#pragma once

#include <chrono>
#include <string>

namespace miv {

struct MailFields {
    std::string fromName;     // shown beside the sender address; may be empty
    std::string fromAddress;  // a validated address
    std::string to;           // a validated address
    std::string subject;      // UTF-8, one line
    std::string body;         // UTF-8, any line ends
    std::chrono::system_clock::time_point date;
    std::string messageId;  // without angle brackets
};

// A complete message with CR LF line ends and a single text/plain part. Plain ASCII
// with lines that SMTP can carry goes as US-ASCII, 7bit; anything else as UTF-8,
// quoted-printable. A subject that is not plain ASCII is sent as encoded words. No
// line of the result is longer than 998 characters, and no bare CR or LF remains.
std::string formatMessage(const MailFields& fields);

// "Tue, 01 Aug 2023 12:05:09 +0000"
std::string mailDate(std::chrono::system_clock::time_point time);

}  // namespace miv
