#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/Settings.h"
#include "logbook/ContactTracker.h"
#include "logbook/Qso.h"
#include "logbook/SpotReporter.h"
#include "modem/ModemMode.h"
#include "platform/Datagrams.h"
#include "platform/LogFiles.h"
#include "platform/WallClock.h"
#include "station/LiveSection.h"

namespace miv {

// What the logbook runs on, supplied by the program or by a test.
struct LogPlatform {
    const WallClock& clock;
    LogFiles& files;
    DatagramSender& datagrams;
    std::string defaultLogPath;
    std::uint32_t observationDomain;  // this run's identity at PSK Reporter, chosen at random
};

// A message the receiver finished, as the logbook needs it. Text is UTF-8.
struct HeardMessage {
    std::string text;
    bool cancelled = false;
    double audioHz = 0;           // the signal's centre in the receiver's audio, shift included
    std::optional<double> snrDb;  // 2500 Hz reference; nothing when the receiver gave no estimate
    EffectiveMode mode = EffectiveMode::Hf2250Fast;
};

// The station's logbook: follows the contacts as they happen, drafts the record the
// operator confirms, appends it to the ADIF file and sends it to a logger, and spots
// the stations heard to PSK Reporter.
class Logbook {
public:
    Logbook(LogPlatform platform, LiveSection<LogSettings>& settings, LiveSection<OperatorDetails>& operatorDetails);

    // A received message; dialHz is the rig's dial, when known.
    void heard(const HeardMessage& message, std::optional<double> dialHz);
    // A transmission to the destination (or, with none typed, to the station the text
    // calls) started or ended, with the send window's text.
    void sent(const std::string& destination, std::string_view text);
    // Sends the waiting spots when a datagram may go; the clock's tick calls it.
    void poll();

    // The record the dialog opens with: the destination unless it is the window's
    // placeholder, else the station last heard.
    Qso draft(const std::string& destination, EffectiveMode mode, std::optional<double> dialHz) const;
    // Appends the record to the log, then sends it to the logger when that is on.
    LogAppend log(const Qso& qso);

    std::string logPath() const;
    const std::string& defaultLogPath() const { return defaultLogPath_; }
    // The SNR of the last message heard, for the window.
    std::optional<double> lastSnrDb() const { return lastSnrDb_; }

private:
    const WallClock& clock_;
    LogFiles& files_;
    DatagramSender& datagrams_;
    std::string defaultLogPath_;
    LiveSection<LogSettings>& settings_;
    LiveSection<OperatorDetails>& operator_;
    ContactTracker contacts_;
    SpotReporter spots_;
    std::optional<double> lastSnrDb_;
};

}  // namespace miv
