#include "mail/ReportDelivery.h"

namespace miv {

ReportOutcome deliverReport(const ReportPlan& plan, MailTransport& transport, std::stop_token stop)
{
    ReportOutcome outcome;
    for (const PlannedDelivery& delivery : plan.deliveries) {
        DeliveryResult result;
        if (!delivery.refusal.empty())
            result = {false, delivery.refusal};
        else if (stop.stop_requested())
            result = {false, "The delivery was stopped"};
        else
            result = transport.send(delivery.mail, stop);
        if (plan.recipients)
            plan.recipients->settle(delivery.address, result.accepted);
        if (!result.accepted)
            outcome.status = ReportStatus::Failed;
        else if (outcome.status == ReportStatus::NothingSent)
            outcome.status = ReportStatus::Sent;
        outcome.deliveries.push_back({delivery.address, std::move(result)});
    }
    return outcome;
}

ReportOutcome reportNow(ReportInput input, const Settings& settings, ReportPlanner& planner, MailTransport& transport)
{
    input.operatorDetails = settings.readOperatorDetails();
    input.account = settings.readEmailAccount();
    return deliverReport(planner.plan(input), transport);
}

std::string describeOutcome(const ReportOutcome& outcome)
{
    std::string text;
    for (const DeliveryOutcome& delivery : outcome.deliveries) {
        text += delivery.address;
        text += delivery.result.accepted ? ": sent\n" : ": not sent (" + delivery.result.error + ")\n";
    }
    return text;
}

std::optional<std::string_view> notificationText(ReportStatus status)
{
    switch (status) {
    case ReportStatus::Sent:
        return kEmailSentText;
    case ReportStatus::Failed:
        return kEmailNotSentText;
    case ReportStatus::NothingSent:
        break;
    }
    return std::nullopt;
}

}  // namespace miv
