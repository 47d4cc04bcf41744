#pragma once

#include <optional>

#include "mail/Report.h"
#include "modem/ModemMode.h"
#include "rx/ReceiverObserver.h"
#include "station/StatusGauges.h"

namespace miv {

// A received message with the gauge readings its e-mail report quotes beside it.
struct ReceptionReport : ReceivedMessage {
    float metric = 0;    // dB, as the metric gauge last showed it
    float cpuUsage = 0;  // %, as the CPU gauge last showed it
    float volume = 0;    // dB, as the volume gauge showed it at the message's lock
};

ReceptionReport receptionReport(const ReceivedMessage& message, const GaugeReadings& readings);

// The e-mail report's figures for a message the receiver has just ended; the operator
// details and the account are the caller's to fill from the settings.
ReportInput reportInputFor(const ReceptionReport& report, const ModemMode& mode);

}  // namespace miv
