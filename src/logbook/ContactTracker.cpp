#include "logbook/ContactTracker.h"

#include "config/AsciiCase.h"

namespace miv {

namespace {

void keepNewer(std::string& kept, const std::string& heard)
{
    if (!heard.empty())
        kept = heard;
}

}  // namespace

ContactTracker::Contact& ContactTracker::touch(const std::string& callsign, std::chrono::sys_seconds at)
{
    auto [it, added] = contacts_.try_emplace(asciiUpperCase(callsign));
    if (added)
        it->second.first = at;
    it->second.last = at;
    return it->second;
}

void ContactTracker::received(const std::string& callsign, const ContactDetails& details, std::optional<double> snrDb,
                              std::chrono::sys_seconds at)
{
    if (callsign.empty())
        return;
    Contact& contact = touch(callsign, at);
    keepNewer(contact.heard.callsign, details.callsign);
    keepNewer(contact.heard.report, details.report);
    keepNewer(contact.heard.name, details.name);
    keepNewer(contact.heard.qth, details.qth);
    keepNewer(contact.heard.locator, details.locator);
    contact.snrDb = snrDb;
    lastHeard_ = asciiUpperCase(callsign);
}

void ContactTracker::sent(const std::string& callsign, std::string_view text, std::chrono::sys_seconds at)
{
    if (callsign.empty())
        return;
    Contact& contact = touch(callsign, at);
    // What we told it: our own text read as if another station had written it.
    keepNewer(contact.reportSent, contactDetails(text, {}).report);
}

const ContactTracker::Contact* ContactTracker::find(std::string_view callsign) const
{
    const auto it = contacts_.find(asciiUpperCase(callsign));
    return it == contacts_.end() ? nullptr : &it->second;
}

}  // namespace miv
