#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "logbook/ContactText.h"

namespace miv {

// The contact as it happened: when we first and last heard or called each station, what
// it last told us about itself and the report we last gave it. Callsigns are kept in
// upper case.
class ContactTracker {
public:
    struct Contact {
        std::chrono::sys_seconds first{};
        std::chrono::sys_seconds last{};
        ContactDetails heard;         // from its messages, the latest mention of each detail
        std::string reportSent;       // from our transmissions to it
        std::optional<double> snrDb;  // of its latest message
    };

    // A message received from `callsign`.
    void received(const std::string& callsign, const ContactDetails& details, std::optional<double> snrDb,
                  std::chrono::sys_seconds at);
    // A transmission to `callsign` (its start and its end both count) with what it said.
    void sent(const std::string& callsign, std::string_view text, std::chrono::sys_seconds at);

    const Contact* find(std::string_view callsign) const;
    // The callsign of the latest station we received, empty when none.
    const std::string& lastHeard() const { return lastHeard_; }

private:
    Contact& touch(const std::string& callsign, std::chrono::sys_seconds at);

    std::map<std::string, Contact, std::less<>> contacts_;
    std::string lastHeard_;
};

}  // namespace miv
