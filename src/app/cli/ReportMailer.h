#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "mail/MailDispatcher.h"
#include "mail/ReportPlanner.h"
#include "modem/ModemMode.h"
#include "platform/mail/CurlMailTransport.h"
#include "platform/settings/FileSettingsStore.h"
#include "station/ReceptionReports.h"

namespace miv::cli {

// Mails the report of each message as the window would, from the settings file's
// operator details and e-mail account, on a thread beside the decoding so a slow mail
// server never holds it up. What happened goes to stderr as it happens, and finish()
// gives the deliveries still on their way one more `timeout`, abandons the rest, and
// sums up.
class ReportMailer {
public:
    ReportMailer(const std::string& settingsPath, std::chrono::milliseconds timeout);

    void send(const ReceptionReport& report, const ModemMode& mode);
    void finish();

private:
    void finished(const ReportOutcome& outcome);

    FileSettingsStore store_;
    Settings settings_;
    ReportPlanner planner_;
    std::chrono::milliseconds timeout_;
    CurlMailTransport transport_;
    std::mutex mutex_;  // the counts and stderr, shared with the mail thread
    std::map<std::uint64_t, std::vector<std::string>> onTheirWay_;  // addresses, by report
    int sent_ = 0;
    int notSent_ = 0;
    int heldBack_ = 0;
    MailDispatcher dispatcher_;  // last: its thread stops before what it uses goes
};

}  // namespace miv::cli
