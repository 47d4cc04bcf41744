#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
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
// What the e-mail dialog shows after the web-mail user-name box.
inline constexpr std::string_view kWebMailDomainLabel = "@gmail.com";

struct WebMailService {
    std::string smtpHost = "smtp.gmail.com";
    int port = 465;
    std::string domain{kWebMailDomain};
};

inline constexpr int kDefaultSmtpPort = 25;

// Addresses come from whatever anyone transmits: one is mailed at most once in this time.
inline constexpr std::chrono::minutes kResendInterval{10};

// The server setting of the SMTP route: "host" (port 25), "host:port" or "[v6]:port".
// Nothing for an empty or malformed setting.
std::optional<MailServer> smtpServerFromSetting(std::string_view setting);

using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

// The addresses mailed lately, letter case aside. An address is taken when a report to
// it is planned, so no other report mails it while that one is on its way; it stays
// taken for the resend interval once the server has accepted the report, and a refused
// or failed delivery frees it at once. Deliveries settle their addresses from whatever
// thread they run on.
class RecentRecipients {
public:
    RecentRecipients(std::chrono::seconds interval, SteadyNow now);

    // False while the address is taken.
    bool take(std::string_view address);
    void settle(std::string_view address, bool accepted);

private:
    const std::chrono::seconds interval_;
    const SteadyNow now_;
    std::mutex mutex_;
    std::map<std::string, std::chrono::steady_clock::time_point> taken_;  // by lower-cased address, since when
};

struct PlannedDelivery {
    std::string address;  // the recipient
    OutgoingMail mail;
    std::string refusal;  // when not empty, the delivery fails at once with this reason
};

// The report of one received message: what to send, to whom, how.
struct ReportPlan {
    std::vector<std::string> addresses;  // as found in the message, duplicates included
    std::vector<std::string> heldBack;   // valid, but mailed lately or on its way
    std::vector<PlannedDelivery> deliveries;
    std::string subject;
    std::string body;
    std::shared_ptr<RecentRecipients> recipients;  // where the deliveries settle their addresses
};

struct ReportPlannerOptions {
    WebMailService webMail;
    std::chrono::seconds resendInterval = kResendInterval;
    // The sender of the SMTP route when the operator's own address is not valid.
    std::string fallbackSender = "MIV.Notification@localhost";
    SteadyNow steadyNow = [] { return std::chrono::steady_clock::now(); };
    std::function<std::chrono::system_clock::time_point()> wallNow = [] { return std::chrono::system_clock::now(); };
};

// The report operation: finds the addresses of a received message, checks them, skips
// repeats, and composes one message for each address to mail. No address is mailed
// twice within the resend interval, and only addresses that passed the checks reach a
// header or the envelope. Plans only: delivery is `deliverReport` or a `MailDispatcher`.
class ReportPlanner {
public:
    ReportPlanner();
    explicit ReportPlanner(ReportPlannerOptions options);

    ReportPlan plan(const ReportInput& input);

private:
    PlannedDelivery delivery(const std::string& address, const ReportInput& input, const ReportPlan& plan);
    std::string nextMessageId(std::string_view fromAddress);

    ReportPlannerOptions options_;
    std::shared_ptr<RecentRecipients> recipients_;
    std::uint64_t messagesMade_ = 0;
    std::uint32_t idSalt_;
};

}  // namespace miv
