#include "rx/ReceiveModes.h"

namespace miv {

ReceiveStep selectReceiveStep(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    if (mode.eme)
        return switches.afcWide() ? ReceiveStep::BlockEMEWide : ReceiveStep::BlockEMENarrow;
    if (mode.bw2250) {
        if (mode.autoBaud)
            return ReceiveStep::Block2250Auto;
        return mode.baud16 ? ReceiveStep::Block2250x16 : ReceiveStep::Block2250x1;
    }
    if (mode.autoBaud)
        return ReceiveStep::Block500Auto;
    return mode.baud16 ? ReceiveStep::Block500x16 : ReceiveStep::Block500x1;
}

BinRange startBinLimits(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    if (mode.eme)
        return switches.afcWide() ? BinRange{400, 5744} : BinRange{816, 3280};
    if (mode.bw2250)
        return mode.baud16 ? BinRange{26, 78} : BinRange{416, 1248};
    return mode.baud16 ? BinRange{70, 122} : BinRange{1120, 1952};
}

ShiftScale shiftScale(const ModeSwitches& switches)
{
    constexpr float kFastWidth = 15.625f / 2;
    constexpr float kSlowWidth = 0.9765625f / 2;
    const ModemMode& mode = switches.mode();
    if (mode.eme)
        return {switches.afcWide() ? 3072 : 2048, kSlowWidth};
    if (mode.bw2250)
        return mode.baud16 ? ShiftScale{52, kFastWidth} : ShiftScale{832, kSlowWidth};
    return mode.baud16 ? ShiftScale{96, kFastWidth} : ShiftScale{1536, kSlowWidth};
}

ShiftLimits shiftLimits(const ModeSwitches& switches)
{
    if (switches.mode().eme)
        return switches.afcWide() ? ShiftLimits{1300, 2600, true} : ShiftLimits{609.375f, 1218.75f, false};
    return switches.afcWide() ? ShiftLimits{203.125f, 406.25f, false} : ShiftLimits{78.125f, 156.25f, false};
}

MetricScale metricScale(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    if (!mode.eme && mode.baud16)
        return {128, -18};
    return {2048, -30};
}

int alarmInterval(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    return !mode.eme && mode.baud16 ? 96 : 1536;
}

bool estimatesToneNoise(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    return !mode.eme && (mode.bw2250 || !mode.baud16);
}

}  // namespace miv
