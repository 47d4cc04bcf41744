#include "station/ReceptionReports.h"

namespace miv {

ReceptionReport receptionReport(const ReceivedMessage& message, const GaugeReadings& readings)
{
    return {message, readings.metricDb, readings.cpuPercent, readings.volumeAtLockDb};
}

ReportInput reportInputFor(const ReceptionReport& report, const ModemMode& mode)
{
    ReportInput input;
    input.frameAcquisition = report.frameScore;
    input.finalAcquisition = report.finalScore;
    input.cancelled = report.cancelled;
    input.frequencyShift = report.frequencyShift;
    input.viterbiErrors = report.viterbiErrors;
    input.metric = report.metric;
    input.cpuUsage = report.cpuUsage;
    input.volume = report.volume;
    input.receivedText = report.receivedText;
    input.utcHour = report.utcHour;
    input.utcMinute = report.utcMinute;
    input.baud16 = mode.baud16;
    return input;
}

}  // namespace miv
