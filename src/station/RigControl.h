#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Settings.h"
#include "modem/ModemMode.h"
#include "platform/OperatorMessages.h"
#include "platform/Rig.h"
#include "tx/CatKeyer.h"
#include "tx/PttKeyer.h"

namespace miv {

// The station's radio: which way it is keyed (the COM menu's serial port, CAT, or not at
// all for VOX) and its dial frequency, read over CAT or typed by the operator. A rig
// that stops answering is told once, until it answers again.
class RigControl final : public TransmitKeyer {
public:
    // Often enough to follow the operator's tuning, seldom enough to leave the CAT line
    // to PTT commands and to the operator's other programs.
    static constexpr int kDialPollMs = 3000;

    RigControl(Rig& rig, PttKeyer& serial, OperatorMessages& messages, std::vector<RigModel> catalogue);
    // Unkeys, then lets go of the rig.
    ~RigControl() override;
    RigControl(const RigControl&) = delete;
    RigControl& operator=(const RigControl&) = delete;

    // A new choice, made while receiving: whatever keyed before is unkeyed first.
    void apply(const RigSettings& settings);
    const RigSettings& settings() const { return settings_; }
    bool usesCat() const { return settings_.catAddress().has_value(); }
    const std::vector<RigModel>& catalogue() const { return catalogue_; }

    bool KeyTransmitter() override;
    // Unkeys every way the radio may have been keyed, whatever the method now.
    void UnkeyTransmitter() override;
    bool catKeyed() const { return cat_.keyed(); }
    // Why CAT did not confirm the last unkey, once: for the operator, after the
    // transmission has ended.
    std::optional<std::string> takeUnkeyFailure();

    struct Poll {
        bool dialChanged = false;
        bool lost = false;                // the reading failed: the rig no longer follows the station
        std::optional<std::string> tell;  // the first failure after the rig last answered
    };
    // Every kDialPollMs while CAT is in use: collects the reading asked for last time,
    // then asks for the next (the rig refuses while a PTT command is with it).
    Poll poll();

    // The figure the operator typed, for a radio without CAT; CAT's reading wins.
    void typeDial(std::optional<double> hz) { typedDialHz_ = hz; }
    std::optional<double> dialHz() const { return usesCat() ? catDialHz_ : typedDialHz_; }
    // The radio frequency of a signal `audioOffsetHz` above the dial (upper sideband).
    std::optional<double> rfFrequencyHz(double audioOffsetHz) const;

private:
    Rig& rig_;
    PttKeyer& serial_;
    std::vector<RigModel> catalogue_;
    CatKeyer cat_;
    RigSettings settings_;
    std::string rigName_;
    std::optional<double> catDialHz_;
    std::optional<double> typedDialHz_;
    bool lostTold_ = false;
};

// The transmit watchdog's limit for `mode` in minutes, 0 when off: 1 baud and EME send
// for much longer than 16 baud, so each has its own.
int watchdogMinutes(const RigSettings& settings, const ModemMode& mode);

// "14.074000 MHz", as the window shows a dial or a radio frequency.
std::string formatMegahertz(double hz);
// What the operator typed for the dial, in MHz ("14.074", "1296,1"), in Hz; nothing
// when it is not a frequency a radio could be on.
std::optional<double> parseMegahertz(const std::string& text);

}  // namespace miv
