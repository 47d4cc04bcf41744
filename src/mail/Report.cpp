#include "mail/Report.h"

#include "modem/Charset.h"
#include "modem/Picture.h"

namespace miv {

std::string reportSubject(const ReportInput& input)
{
    return input.operatorDetails.callsign + " has received your Radio Message";
}

std::string reportBody(const ReportInput& input)
{
    const OperatorDetails& op = input.operatorDetails;
    const std::string crlf = "\r\n";
    std::string body;
    body += "********** Please don't reply to this email ********************" + crlf + crlf;
    body += op.callsign + " has received your Radio Message sent at: " + formatPicture(input.utcHour, "00") + ":" +
            formatPicture(input.utcMinute, "00") + " UTC" + crlf + crlf;
    body += "Received Message: '" + cp1252ToUtf8(input.receivedText) + "'" + crlf + crlf;
    body += "Operator Info: " + crlf;
    body += "Callsign: " + op.callsign + crlf;
    body += "Name: " + op.name + crlf;
    body += "E-mail: " + op.email + crlf;
    body += "QTH: " + op.qth + crlf;
    body += "Locator: " + op.locator + crlf;
    body += "Station: " + op.station + crlf;
    body += std::string("MIV Version: ") + kReportVersion + crlf + crlf;
    body += "Signal Info: " + crlf;
    body += std::string(input.baud16 ? "Symbol Rate: 16 bauds" : "Symbol Rate: 1 bauds") + crlf;
    body += "Frame Acquisition: " + std::to_string(input.frameAcquisition) + "/" + "20" + crlf;
    body += (input.cancelled ? std::string("Final Acquisition: <CANCEL>")
                             : "Final Acquisition: " + std::to_string(input.finalAcquisition) + "/" + "16") +
            crlf;
    body += "Frequency Shift: " + formatPicture(input.frequencyShift, "######0.0") + " Hz" + crlf;
    body += "Symbol Errors detected by Viterbi: " + std::to_string(input.viterbiErrors) + "/" + "50" + crlf;
    body += "Metric: " + formatPicture(input.metric, "0") + " dB" + crlf;
    body += "Vumeter Level: " + formatPicture(input.volume, "0") + " dB" + crlf;
    body += "CPU Usage: " + formatPicture(input.cpuUsage, "0") + " %" + crlf + crlf;
    body += "Congratulations for the QSO" + crlf;
    return body;
}

}  // namespace miv
