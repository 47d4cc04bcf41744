#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace miv {

// What a station's text says about it, as operators write it in a contact: "DL1ABC de
// EA4XYZ", "ur 599", "rst 579", "name is Juan", "op Juan", "qth Madrid", "loc IN80DO".
// Each is empty when the text does not say.
struct ContactDetails {
    std::string callsign;  // the station that wrote the text
    std::string report;    // the report it gives, "599" ("5nn" reads 599)
    std::string name;
    std::string qth;
    std::string locator;  // upper case
};

// ownCallsign is never taken as the writer's callsign. Later mentions win over earlier
// ones, as a text corrects itself.
ContactDetails contactDetails(std::string_view text, std::string_view ownCallsign);

// Whether a word is shaped like an amateur callsign (prefix, digit, suffix, with an
// optional "/P"-style part on either side) and not like a locator.
bool looksLikeCallsign(std::string_view word);

// The callsigns of a text in order, upper case.
std::vector<std::string> callsignsIn(std::string_view text);

}  // namespace miv
