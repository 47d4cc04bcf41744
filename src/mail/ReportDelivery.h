#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "config/Settings.h"
#include "mail/ReportPlanner.h"
#include "platform/MailTransport.h"

namespace miv {

// How the deliveries of one report went, as the notification shows it.
enum class ReportStatus : std::uint8_t {
    NothingSent = 0,  // nothing to deliver: no notification
    Failed = 1,       // at least one delivery was not accepted
    Sent = 2,         // every delivery was accepted
};

struct DeliveryOutcome {
    std::string address;
    DeliveryResult result;
};

struct ReportOutcome {
    std::uint64_t report = 0;  // the number `MailDispatcher::submit` gave
    ReportStatus status = ReportStatus::NothingSent;
    std::vector<DeliveryOutcome> deliveries;
};

// Sends every delivery of the plan in turn and waits for each, settling each address
// with the planner: for the command line, or for a thread of its own. A stop request
// fails what is left.
ReportOutcome deliverReport(const ReportPlan& plan, MailTransport& transport, std::stop_token stop = {});

// The report of one received message, delivered before returning: the operator details
// and the account are taken from the settings file as it is now. `input` carries the
// receiver's figures and text. For the command line; the planner remembers whom it
// mailed, so keep one for the whole run.
ReportOutcome reportNow(ReportInput input, const Settings& settings, ReportPlanner& planner, MailTransport& transport);

// One line per delivery, "g4abc@example.com: sent" or "g4abc@example.com: not sent (why)".
std::string describeOutcome(const ReportOutcome& outcome);

// The small window that tells the operator how a report went, and how long it stays.
inline constexpr std::string_view kNotificationCaption = "Email Notification";
inline constexpr std::string_view kEmailSentText = "Email sent";
inline constexpr std::string_view kEmailNotSentText = "Error: The E-mail could not be sent";
inline constexpr int kNotificationMilliseconds = 4000;

// The line the notification shows for a status; nothing means no notification.
std::optional<std::string_view> notificationText(ReportStatus status);

}  // namespace miv
