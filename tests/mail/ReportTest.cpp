#include <gtest/gtest.h>

#include "mail/Report.h"

namespace miv {
namespace {

ReportInput sampleInput()
{
    ReportInput input;
    input.frameAcquisition = 17;
    input.finalAcquisition = 12;
    input.frequencyShift = -23.46f;
    input.viterbiErrors = 4;
    input.metric = -7.5f;
    input.cpuUsage = 12.4f;
    input.volume = -3.5f;
    input.receivedText = "CQ de G4ABC <g4abc@example.com> pse k";
    input.utcHour = 7;
    input.utcMinute = 5;
    input.baud16 = true;
    input.operatorDetails = {"EA4XYZ", "Pedro", "Madrid", "IN80do", "IC-7300, dipole", "ea4xyz@example.es", "73"};
    return input;
}

TEST(Report, SubjectAndBodyReadExactlyAsSent)
{
    const ReportInput input = sampleInput();
    EXPECT_EQ(reportSubject(input), "EA4XYZ has received your Radio Message");
    EXPECT_EQ(reportBody(input),
              "********** Please don't reply to this email ********************\r\n"
              "\r\n"
              "EA4XYZ has received your Radio Message sent at: 07:05 UTC\r\n"
              "\r\n"
              "Received Message: 'CQ de G4ABC <g4abc@example.com> pse k'\r\n"
              "\r\n"
              "Operator Info: \r\n"
              "Callsign: EA4XYZ\r\n"
              "Name: Pedro\r\n"
              "E-mail: ea4xyz@example.es\r\n"
              "QTH: Madrid\r\n"
              "Locator: IN80do\r\n"
              "Station: IC-7300, dipole\r\n"
              "MIV Version: 2.5.0 Beta\r\n"
              "\r\n"
              "Signal Info: \r\n"
              "Symbol Rate: 16 bauds\r\n"
              "Frame Acquisition: 17/20\r\n"
              "Final Acquisition: 12/16\r\n"
              "Frequency Shift: -23.5 Hz\r\n"
              "Symbol Errors detected by Viterbi: 4/50\r\n"
              "Metric: -8 dB\r\n"
              "Vumeter Level: -4 dB\r\n"
              "CPU Usage: 12 %\r\n"
              "\r\n"
              "Congratulations for the QSO\r\n");
}

TEST(Report, TheFiguresFollowTheMessage)
{
    ReportInput input = sampleInput();
    input.cancelled = true;
    input.finalAcquisition = 3;
    input.baud16 = false;
    input.frequencyShift = 0.04f;
    input.utcHour = 23;
    input.utcMinute = 59;
    input.receivedText =
        "73 de EA4XYZ, Espa\xF1"
        "a \x80";  // Windows-1252
    const std::string body = reportBody(input);
    for (const char* line :
         {"\r\nFinal Acquisition: <CANCEL>\r\n", "\r\nSymbol Rate: 1 bauds\r\n", "\r\nFrequency Shift: 0.0 Hz\r\n",
          "sent at: 23:59 UTC\r\n", "Received Message: '73 de EA4XYZ, España €'\r\n"})
        EXPECT_NE(body.find(line), std::string::npos) << line;

    // Nine of sixteen on a message that ended normally is a count like any other.
    input.cancelled = false;
    input.finalAcquisition = 9;
    EXPECT_NE(reportBody(input).find("\r\nFinal Acquisition: 9/16\r\n"), std::string::npos);
}

}  // namespace
}  // namespace miv
