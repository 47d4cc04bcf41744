#include "logbook/Qso.h"

#include <cmath>
#include <cstdio>

#include "logbook/Bands.h"

namespace miv {

std::string_view submodeName(EffectiveMode mode)
{
    switch (mode) {
    case EffectiveMode::Hf2250Fast:
        return "MIV2250X16";
    case EffectiveMode::Hf2250Slow:
        return "MIV2250X1";
    case EffectiveMode::Hf500Fast:
        return "MIV500X16";
    case EffectiveMode::Hf500Slow:
        return "MIV500X1";
    case EffectiveMode::Eme:
        return "MIVEME";
    }
    return "MIV";
}

AdifRecord adifRecord(const Qso& qso)
{
    AdifRecord record;
    record.set("CALL", qso.callsign);
    record.set("QSO_DATE", adifDate(qso.start));
    record.set("TIME_ON", adifTime(qso.start));
    record.set("QSO_DATE_OFF", adifDate(qso.end));
    record.set("TIME_OFF", adifTime(qso.end));
    std::string band = qso.band;
    if (qso.frequencyHz) {
        char mhz[32];
        std::snprintf(mhz, sizeof mhz, "%.6f", *qso.frequencyHz / 1e6);  // 1 Hz
        record.set("FREQ", mhz);
        if (band.empty())
            band = std::string(bandOf(*qso.frequencyHz).value_or(""));
    }
    record.set("BAND", band);
    record.set("MODE", std::string(kAdifMode));
    record.set("SUBMODE", std::string(submodeName(qso.mode)));
    record.set("RST_SENT", qso.reportSent);
    record.set("RST_RCVD", qso.reportReceived);
    record.set("NAME", qso.name);
    record.set("QTH", qso.qth);
    record.set("GRIDSQUARE", qso.locator);
    record.set("COMMENT", qso.comment);
    if (qso.snrDb)
        record.set("APP_MIV_SNR", std::to_string(std::lround(*qso.snrDb)));
    record.set("STATION_CALLSIGN", qso.ownCallsign);
    record.set("MY_GRIDSQUARE", qso.ownLocator);
    return record;
}

}  // namespace miv
