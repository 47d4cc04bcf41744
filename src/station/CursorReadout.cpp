#include "station/CursorReadout.h"

#include "modem/Picture.h"

namespace miv {

namespace {

constexpr double kWaterfallSpanHz = 3000.0;

}  // namespace

std::optional<double> cursorAudioFrequency(int x, int y, int width, int height)
{
    if (x < 0 || x > width || y < 0 || y > height || width <= 0)
        return std::nullopt;
    return x * kWaterfallSpanHz / width;
}

std::string cursorReadout(int x, int y, int width, int height, bool bw2250)
{
    const std::optional<double> audioHz = cursorAudioFrequency(x, y, width, height);
    if (!audioHz)
        return {};
    const double f = *audioHz;
    const double centre = bw2250 ? 1500.0 : 1000.0;
    return "Frec: " + formatPicture(f, "#######.0") + " Hz @ Shift: " + formatPicture(f - centre, "#######.0") + " Hz";
}

bool cursorReadoutRuns(const ModeSwitches& switches, bool transmitting)
{
    return switches.waterfallOn() && !switches.mode().eme && !transmitting;
}

}  // namespace miv
