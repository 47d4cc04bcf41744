#include "station/Logbook.h"

#include <cmath>

#include "config/AsciiCase.h"
#include "logbook/AdifReader.h"
#include "station/ProgramInfo.h"

namespace miv {

namespace {

// The window's destination before the operator types one.
constexpr std::string_view kNoDestination = "NONAME";
constexpr double kHighestSpotHz = 4294967295.0;

bool spotsPossible(const OperatorDetails& me)
{
    return looksLikeCallsign(me.callsign) && me.locator.size() >= 4 && validLocator(me.locator);
}

}  // namespace

Logbook::Logbook(LogPlatform platform, LiveSection<LogSettings>& settings,
                 LiveSection<OperatorDetails>& operatorDetails)
    : clock_(platform.clock),
      files_(platform.files),
      datagrams_(platform.datagrams),
      defaultLogPath_(std::move(platform.defaultLogPath)),
      settings_(settings),
      operator_(operatorDetails),
      spots_(platform.observationDomain)
{
}

void Logbook::heard(const HeardMessage& message, std::optional<double> dialHz)
{
    lastSnrDb_ = message.snrDb;
    const OperatorDetails me = operator_.value();
    const ContactDetails details = contactDetails(message.text, me.callsign);
    if (details.callsign.empty())
        return;
    const auto now = clock_.now();
    contacts_.received(details.callsign, details, message.snrDb, now);

    // Only a message that ended with its end marker is sure enough to put on a map.
    if (message.cancelled || !dialHz || !settings_.value().spotsOn || !spotsPossible(me))
        return;
    const double onAirHz = *dialHz + message.audioHz;
    if (onAirHz >= kHighestSpotHz)
        return;  // beyond the four bytes of a spot's frequency
    std::optional<int> snr;
    if (message.snrDb)
        snr = static_cast<int>(std::lround(*message.snrDb));
    spots_.add(
        {details.callsign, static_cast<std::uint32_t>(std::llround(*dialHz + message.audioHz)),
         std::string(submodeName(message.mode)), snr, static_cast<std::uint32_t>(now.time_since_epoch().count())},
        now);
    poll();
}

void Logbook::sent(const std::string& destination, std::string_view text)
{
    std::string callsign = destination;
    if (destination == kNoDestination || !looksLikeCallsign(destination)) {
        // No destination typed: the station our text calls last.
        callsign.clear();
        const std::string own = operator_.value().callsign;
        for (const std::string& named : callsignsIn(text))
            if (!sameIgnoringAsciiCase(named, own))
                callsign = named;
    }
    contacts_.sent(callsign, text, clock_.now());
}

void Logbook::poll()
{
    const LogSettings settings = settings_.value();
    if (!settings.spotsOn) {
        spots_.clear();
        return;
    }
    if (spots_.waiting() == 0)
        return;
    const OperatorDetails me = operator_.value();
    DatagramTarget collector;
    if (!spotsPossible(me) || !parseDatagramTarget(settings.collector, collector))
        return;
    const SpotReceiver receiver{me.callsign, me.locator, std::string("MIV ") + kProgramVersion};
    if (auto datagram = spots_.due(receiver, clock_.now()))
        datagrams_.send(collector, std::move(*datagram));
}

Qso Logbook::draft(const std::string& destination, EffectiveMode mode, std::optional<double> dialHz) const
{
    Qso qso;
    qso.callsign =
        destination != kNoDestination && looksLikeCallsign(destination) ? destination : contacts_.lastHeard();
    qso.end = clock_.now();
    qso.start = qso.end;
    qso.frequencyHz = dialHz;
    qso.mode = mode;
    const OperatorDetails me = operator_.value();
    qso.ownCallsign = looksLikeCallsign(me.callsign) ? me.callsign : std::string();
    qso.ownLocator = validLocator(me.locator) ? me.locator : std::string();
    if (const ContactTracker::Contact* contact = contacts_.find(qso.callsign)) {
        qso.start = contact->first;
        qso.reportSent = contact->reportSent;
        qso.reportReceived = contact->heard.report;
        qso.name = contact->heard.name;
        qso.qth = contact->heard.qth;
        qso.locator = contact->heard.locator;
        qso.snrDb = contact->snrDb;
    }
    return qso;
}

LogAppend Logbook::log(const Qso& qso)
{
    const std::string record = formatAdifRecord(adifRecord(qso));
    const LogAppend result = files_.append(logPath(), formatAdifHeader(kProgramVersion, clock_.now()), record);
    const LogSettings settings = settings_.value();
    DatagramTarget logger;
    if (result && settings.udpOn && parseDatagramTarget(settings.udpTarget, logger))
        datagrams_.send(logger, std::vector<std::uint8_t>(record.begin(), record.end()));
    return result;
}

std::string Logbook::logPath() const
{
    const std::string file = settings_.value().file;
    return file.empty() ? defaultLogPath_ : file;
}

}  // namespace miv
