#pragma once

#include <string>

#include "config/Settings.h"

namespace miv {

// What the report tells the station that sent a message: the receiver's figures at the
// end of the message, the receiving operator's details and how to send it.
struct ReportInput {
    int frameAcquisition = 0;  // matching sync symbols at the latest frame acquisition, of 20
    int finalAcquisition = 0;  // matching end-marker symbols, of 16
    bool cancelled = false;    // the message ended in " <CANCEL>"
    float frequencyShift = 0;  // Hz, measured at acquisition
    int viterbiErrors = 0;     // symbol errors the decoder corrected, of 50
    float metric = 0;          // dB, as the metric gauge last showed it
    float cpuUsage = 0;        // %, as the CPU gauge last showed it
    float volume = 0;          // dB, at the latest acquisition
    std::string receivedText;  // the message as received: 8-bit, Windows-1252
    int utcHour = 0;
    int utcMinute = 0;
    bool baud16 = true;  // else 1 baud
    OperatorDetails operatorDetails;
    EmailAccount account;  // the chosen delivery and its account
};

// The project's version ("2.5.0 Beta"), set in CMakeLists.txt.
inline constexpr const char* kReportVersion = MIV_VERSION_TEXT;

// "<callsign> has received your Radio Message"
std::string reportSubject(const ReportInput& input);
// The report text, UTF-8, each line ended by CR LF.
std::string reportBody(const ReportInput& input);

}  // namespace miv
