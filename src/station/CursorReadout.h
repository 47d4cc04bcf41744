#pragma once

#include <optional>
#include <string>

#include "modem/ModemMode.h"

namespace miv {

// The frequency under the mouse pointer and its offset from the centre of the mode's
// band, for tuning by the waterfall. (x, y) is the pointer's pixel position relative to
// the waterfall's top-left corner; outside the picture the readout is empty.
std::string cursorReadout(int x, int y, int width, int height, bool bw2250);
// The audio frequency under the pointer in Hz; nothing outside the picture.
std::optional<double> cursorAudioFrequency(int x, int y, int width, int height);

// The readout follows the pointer only while the waterfall is shown: on, on HF and not
// while transmitting.
bool cursorReadoutRuns(const ModeSwitches& switches, bool transmitting);

}  // namespace miv
