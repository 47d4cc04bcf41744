#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "modem/ModemMode.h"
#include "rx/FFT.h"

namespace miv {

inline constexpr int kWaterfallLength = 2048;  // samples per line at 8 kHz, 256 ms
inline constexpr int kWaterfallBins = 769;     // bins 0..768, 0 to 3000 Hz at 3.90625 Hz
inline constexpr int kWaterfallScrollSamples = kWaterfallLength / 2 - 1;

// One waterfall line, a colour per bin as 0xRRGGBB.
using WaterfallLine = std::array<std::uint32_t, kWaterfallBins>;

inline constexpr std::uint32_t kWaterfallMark = 0xFF0000;

// The picture the waterfall draws into: lines arrive at the top, and the picture moves
// down one pixel per scroll, so the newest line is always on top.
class WaterfallCanvas {
public:
    virtual ~WaterfallCanvas() = default;
    virtual void drawLine(const WaterfallLine& line) = 0;
    virtual void scrollDown() = 0;
};

// The received spectrum from 0 to 3000 Hz in grey, strong signals dark on white, with
// red marks at the edges of the range acquisition searches, so the operator can tune
// the other station's initial tone between them. Fed one 8 kHz sample at a time by the
// HF filter chain; it keeps its buffer and counters when feeding stops and resumes.
class Waterfall {
public:
    Waterfall(const ModeSwitches& switches, WaterfallCanvas& canvas);

    void DrawWaterfall(float sample);

    // The two marked bins for the bandwidth and AFC range.
    static std::pair<int, int> markBins(bool bw2250, bool afcWide);
    // Grey level of a bin's magnitude: 255 for nothing, 0 from 255 * 3500 up.
    static std::uint8_t greyLevel(Complex bin);

private:
    void drawLine();

    const ModeSwitches& switches_;
    WaterfallCanvas& canvas_;
    std::array<Complex, kWaterfallLength> buffer_{};
    std::array<Complex, kWaterfallLength> spectrum_{};
    WaterfallLine line_{};
    int fillIndex_ = 0;
    int scrollCounter_ = 0;
};

}  // namespace miv
