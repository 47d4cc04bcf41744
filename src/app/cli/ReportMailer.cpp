#include "app/cli/ReportMailer.h"

#include <iostream>

#include "mail/ReportDelivery.h"

namespace miv::cli {

ReportMailer::ReportMailer(const std::string& settingsPath, std::chrono::milliseconds timeout)
    : store_(settingsPath.empty() ? defaultSettingsPath() : std::filesystem::path(settingsPath)),
      settings_(store_),
      timeout_(timeout),
      transport_(CurlMailOptions{timeout, {}}),
      dispatcher_(transport_, [this](const ReportOutcome& outcome) { finished(outcome); })
{
    // Said once at the start, so a run that mails nothing is not mistaken for one that
    // had nobody to mail.
    const EmailAccount account = settings_.readEmailAccount();
    if (!settings_.lastReadError().empty())
        std::cerr << "miv-cli rx: " << settings_.lastReadError() << ": reports go nowhere\n";
    else if (account.option == MailOption::NoInternet)
        std::cerr << "miv-cli rx: " << (store_.exists() ? "no e-mail account is set in " : "no settings file at ")
                  << store_.location() << ": reports go nowhere until the e-mail account is set\n";
}

void ReportMailer::send(const ReceptionReport& report, const ModemMode& mode)
{
    ReportInput input = reportInputFor(report, mode);
    input.operatorDetails = settings_.readOperatorDetails();
    input.account = settings_.readEmailAccount();
    ReportPlan plan = planner_.plan(input);
    std::vector<std::string> addresses;
    for (const PlannedDelivery& delivery : plan.deliveries)
        addresses.push_back(delivery.address);

    const std::lock_guard lock(mutex_);
    for (const std::string& address : plan.heldBack) {
        ++heldBack_;
        std::cerr << address << ": held back (mailed less than " << kResendInterval.count()
                  << " minutes ago, or on its way)\n";
    }
    if (const auto id = dispatcher_.submit(std::move(plan)))
        onTheirWay_[*id] = std::move(addresses);
}

void ReportMailer::finished(const ReportOutcome& outcome)
{
    const std::lock_guard lock(mutex_);
    onTheirWay_.erase(outcome.report);
    for (const DeliveryOutcome& delivery : outcome.deliveries)
        ++(delivery.result.accepted ? sent_ : notSent_);
    std::cerr << describeOutcome(outcome) << std::flush;
}

void ReportMailer::finish()
{
    if (!dispatcher_.waitIdle(timeout_))
        dispatcher_.stop();
    const std::lock_guard lock(mutex_);
    int abandoned = 0;
    for (const auto& [report, addresses] : onTheirWay_) {
        for (const std::string& address : addresses) {
            ++abandoned;
            std::cerr << address << ": abandoned (no answer in time)\n";
        }
    }
    std::cerr << "miv-cli rx: reports: " << sent_ << " sent, " << notSent_ << " not sent, " << heldBack_
              << " held back, " << abandoned << " abandoned\n";
}

}  // namespace miv::cli
