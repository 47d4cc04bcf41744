#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/Report.h"
#include "platform/MailTransport.h"

namespace miv {

// The web-mail service of the e-mail dialog: its users log in as user@domain on the
// service's SMTP host, with TLS from the first byte.
inline constexpr std::string_view kWebMailDomain = "gmail.com";
// What the dialog's `lblGmail` shows after the user name box.
inline constexpr std::string_view kWebMailDomainLabel = "@gmail.com";

struct WebMailService {
    std::string smtpHost = "smtp.gmail.com";
    int port = 465;
    std::string domain{kWebMailDomain};
};

inline constexpr int kDefaultSmtpPort = 25;

// The server setting of the SMTP route: "host" (port 25), "host:port" or "[v6]:port".
// Nothing for an empty or malformed setting.
std::optional<MailServer> smtpServerFromSetting(std::string_view setting);

struct PlannedDelivery {
    std::string address;  // the recipient
    OutgoingMail mail;
    std::string refusal;  // when not empty, the delivery fails at once with this reason
};

// The report of one received message: what to send, to whom, how.
struct ReportPlan {
    std::vector<std::string> addresses;  // as found in the message, duplicates included
    std::vector<std::string> heldBack;   // valid, but mailed within the resend interval
    std::vector<PlannedDelivery> deliveries;
    std::string subject;
    std::string body;
};

struct ReportPlannerOptions {
    WebMailService webMail;
    // An address is mailed at most once in this time, whoever asks.
    std::chrono::seconds resendInterval{600};
    // The sender of the SMTP route when the operator's own address is not valid.
    std::string fallbackSender = "MIV.Notification@localhost";
    std::function<std::chrono::steady_clock::time_point()> steadyNow = [] { return std::chrono::steady_clock::now(); };
    std::function<std::chrono::system_clock::time_point()> wallNow = [] { return std::chrono::system_clock::now(); };
};

// The report operation: finds the addresses of a received message, checks them, skips
// repeats, and composes one message for each address to mail. Addresses come from
// whatever anyone transmits, so no address is mailed twice within the resend interval
// (letter case aside), and only addresses that passed the checks reach a header or
// the envelope. Plans only: delivery is `deliverReport` or a `MailDispatcher`.
class ReportPlanner {
public:
    ReportPlanner();
    explicit ReportPlanner(ReportPlannerOptions options);

    ReportPlan plan(const ReportInput& input);

private:
    PlannedDelivery delivery(const std::string& address, const ReportInput& input, const ReportPlan& plan);
    std::string nextMessageId(std::string_view fromAddress);

    ReportPlannerOptions options_;
    std::map<std::string, std::chrono::steady_clock::time_point> lastMailed_;  // by lower-cased address
    std::uint64_t messagesMade_ = 0;
    std::uint32_t idSalt_;
};

}  // namespace miv
