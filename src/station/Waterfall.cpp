#include "station/Waterfall.h"

#include <cmath>

namespace miv {

namespace {

constexpr float kMagnitudePerGreyStep = 3500.0f;

}  // namespace

Waterfall::Waterfall(const ModeSwitches& switches, WaterfallCanvas& canvas) : switches_(switches), canvas_(canvas)
{
}

std::pair<int, int> Waterfall::markBins(bool bw2250, bool afcWide)
{
    if (bw2250)
        return afcWide ? std::pair{333, 436} : std::pair{365, 404};
    return afcWide ? std::pair{205, 308} : std::pair{236, 276};
}

std::uint8_t Waterfall::greyLevel(Complex bin)
{
    const float re = bin.real();
    const float im = bin.imag();
    const float m = std::sqrt(re * re + im * im);
    const float v = m / kMagnitudePerGreyStep;
    if (!(v <= 255.0f))
        return 0;
    return static_cast<std::uint8_t>(std::nearbyint(255.0f - v));
}

void Waterfall::DrawWaterfall(float sample)
{
    buffer_[static_cast<std::size_t>(fillIndex_)] = {sample, 0.0f};
    if (++fillIndex_ == kWaterfallLength) {
        fillIndex_ = 0;
        drawLine();
    }
    if (++scrollCounter_ == kWaterfallScrollSamples) {
        scrollCounter_ = 0;
        canvas_.scrollDown();
    }
}

void Waterfall::drawLine()
{
    spectrum_ = buffer_;
    FFT(spectrum_.data(), kWaterfallLength);
    const auto [low, high] = markBins(switches_.mode().bw2250, switches_.afcWide());
    for (int x = 0; x < kWaterfallBins; ++x) {
        if (x == low || x == high) {
            line_[static_cast<std::size_t>(x)] = kWaterfallMark;
            continue;
        }
        const std::uint32_t g = greyLevel(spectrum_[static_cast<std::size_t>(x)]);
        line_[static_cast<std::size_t>(x)] = g << 16 | g << 8 | g;
    }
    canvas_.drawLine(line_);
}

}  // namespace miv
