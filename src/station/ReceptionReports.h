#pragma once

#include <optional>

#include "mail/Report.h"
#include "modem/ModemMode.h"
#include "rx/ReceiverObserver.h"
#include "station/StatusGauges.h"

namespace miv {

// A received message with the gauge readings its e-mail report quotes beside it, and
// the receiver's SNR estimate that the window, the log and the spots show.
struct ReceptionReport : ReceivedMessage {
    float metric = 0;             // dB, as the metric gauge last showed it
    float cpuUsage = 0;           // %, as the CPU gauge last showed it
    float volume = 0;             // dB, as the volume gauge showed it at the message's lock
    std::optional<double> snrDb;  // dB, signal over the noise in 2500 Hz; nothing without an estimate
};

// The receiver's SNR estimate of a message; nothing while the receiver makes none.
std::optional<double> snrEstimate(const ReceivedMessage& message);

ReceptionReport receptionReport(const ReceivedMessage& message, const GaugeReadings& readings);

// The e-mail report's figures for a message the receiver has just ended; the operator
// details and the account are the caller's to fill from the settings.
ReportInput reportInputFor(const ReceptionReport& report, const ModemMode& mode);

}  // namespace miv
