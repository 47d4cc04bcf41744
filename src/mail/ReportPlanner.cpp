#include "mail/ReportPlanner.h"

#include <algorithm>
#include <charconv>
#include <random>

#include "config/AsciiCase.h"
#include "mail/Addresses.h"
#include "mail/MailMessage.h"

namespace miv {

namespace {

const ReportPlannerOptions& defaultOptions()
{
    static const ReportPlannerOptions kDefaults;
    return kDefaults;
}

constexpr std::string_view kSenderName = "MIV.Notification";
constexpr int kHighestPort = 65535;

bool validAddress(std::string_view address)
{
    return addressStructureValid(address) && addressCharactersValid(address);
}

std::optional<int> portNumber(std::string_view text)
{
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc{} || end != text.data() + text.size() || port < 1 || port > kHighestPort)
        return std::nullopt;
    return port;
}

}  // namespace

std::optional<MailServer> smtpServerFromSetting(std::string_view setting)
{
    const auto first = setting.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    setting = setting.substr(first, setting.find_last_not_of(" \t") - first + 1);

    MailServer server;
    std::string_view host = setting;
    std::string_view port;
    if (setting.front() == '[') {
        const auto close = setting.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = setting.substr(0, close + 1);
        const std::string_view rest = setting.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
        }
    } else if (const auto colon = setting.find(':'); colon != std::string_view::npos) {
        host = setting.substr(0, colon);
        port = setting.substr(colon + 1);
    }
    if (!validMailHost(host))
        return std::nullopt;
    server.host = std::string(host);
    server.port = kDefaultSmtpPort;
    if (!port.empty() || setting.ends_with(':')) {
        const auto number = portNumber(port);
        if (!number)
            return std::nullopt;
        server.port = *number;
    }
    return server;
}

// Copied from one set of defaults: GCC 12 takes the strings of a temporary set for
// uninitialised in optimised builds.
ReportPlanner::ReportPlanner() : ReportPlanner(defaultOptions())
{
}

ReportPlanner::ReportPlanner(ReportPlannerOptions options)
    : options_(std::move(options)),
      recipients_(std::make_shared<RecentRecipients>(options_.resendInterval, options_.steadyNow)),
      idSalt_(std::random_device{}())
{
}

RecentRecipients::RecentRecipients(std::chrono::seconds interval, SteadyNow now)
    : interval_(interval),
      now_(std::move(now))
{
}

bool RecentRecipients::take(std::string_view address)
{
    const auto now = now_();
    const std::lock_guard lock(mutex_);
    std::erase_if(taken_, [&](const auto& entry) { return now - entry.second >= interval_; });
    return taken_.try_emplace(asciiLowerCase(address), now).second;
}

void RecentRecipients::settle(std::string_view address, bool accepted)
{
    const auto now = now_();
    const std::lock_guard lock(mutex_);
    if (accepted)
        taken_[asciiLowerCase(address)] = now;
    else
        taken_.erase(asciiLowerCase(address));
}

ReportPlan ReportPlanner::plan(const ReportInput& input)
{
    ReportPlan plan;
    plan.subject = reportSubject(input);
    plan.body = reportBody(input);
    plan.addresses = findAddresses(input.receivedText);
    plan.recipients = recipients_;

    for (std::size_t i = 0; i < plan.addresses.size(); ++i) {
        const std::string& found = plan.addresses[i];
        const auto earlier = plan.addresses.begin() + static_cast<std::ptrdiff_t>(i);
        if (std::find(plan.addresses.begin(), earlier, found) != earlier)
            continue;
        if (!validAddress(found) || input.account.option == MailOption::NoInternet)
            continue;
        const std::string address(trimAddress(found));
        if (recipients_->take(address))
            plan.deliveries.push_back(delivery(address, input, plan));
        else
            plan.heldBack.push_back(address);
    }
    return plan;
}

PlannedDelivery ReportPlanner::delivery(const std::string& address, const ReportInput& input, const ReportPlan& plan)
{
    PlannedDelivery delivery;
    delivery.address = address;
    OutgoingMail& mail = delivery.mail;
    mail.to = address;

    if (input.account.option == MailOption::WebMail) {
        const WebMailService& service = options_.webMail;
        std::string user(trimAddress(input.account.webMailUser));
        // A user who typed the whole address has given the same login.
        const std::string suffix = "@" + service.domain;
        if (user.size() > suffix.size() && asciiLowerCase(user).ends_with(asciiLowerCase(suffix)))
            user.resize(user.size() - suffix.size());
        mail.from = user + suffix;
        mail.server = {service.smtpHost, service.port, true, mail.from, input.account.password};
        if (user.empty() || !validAddress(mail.from)) {
            delivery.refusal = "The web-mail user name is not valid";
            mail.from.clear();
        }
    } else {
        const std::string own(trimAddress(input.operatorDetails.email));
        mail.from = validAddress(own) ? own : options_.fallbackSender;
        if (const auto server = smtpServerFromSetting(input.account.smtpServer))
            mail.server = *server;
        else
            delivery.refusal = input.account.smtpServer.find_first_not_of(" \t") == std::string::npos
                                   ? "No SMTP server is set"
                                   : "The SMTP server setting is not valid: " + input.account.smtpServer;
    }
    if (delivery.refusal.empty()) {
        mail.message = formatMessage({std::string(kSenderName), mail.from, mail.to, plan.subject, plan.body,
                                      options_.wallNow(), nextMessageId(mail.from)});
    }
    return delivery;
}

std::string ReportPlanner::nextMessageId(std::string_view fromAddress)
{
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(options_.wallNow().time_since_epoch()).count();
    const auto at = fromAddress.find('@');
    const std::string domain(at == std::string_view::npos ? std::string_view("@localhost") : fromAddress.substr(at));
    return "miv." + std::to_string(milliseconds) + "." + std::to_string(idSalt_) + "." +
           std::to_string(++messagesMade_) + domain;
}

}  // namespace miv
