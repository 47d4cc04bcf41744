#include "rx/deep/DeepMode.h"

#include "modem/Frame.h"

namespace miv {

int DeepMode::group(int hopRow) const
{
    return hopColumn == 0 ? 1 : HopTable.group(hopRow, hopColumn);
}

DeepMode deepMode(const ModemMode& mode, bool baud16, bool afcWide)
{
    // The same search ranges as the standard receive steps: the wide and narrow AFC
    // ranges either side of the nominal frequency.
    if (mode.eme)
        return {false, 8192, 4, 1, 0, 1500.0, afcWide ? 1304.6875 : 601.5625, true};
    const double searchHz = afcWide ? 203.125 : 62.5;
    if (mode.bw2250)
        return baud16 ? DeepMode{true, 512, 1, 9, 1, 406.25, searchHz, false}
                      : DeepMode{false, 8192, 16, 9, 1, 406.25, searchHz, true};
    return baud16 ? DeepMode{true, 512, 1, 2, 3, 750.0, searchHz, false}
                  : DeepMode{false, 8192, 4, 8, 2, 750.0, searchHz, true};
}

}  // namespace miv
