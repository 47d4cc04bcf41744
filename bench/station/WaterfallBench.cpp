#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "station/StatusGauges.h"
#include "station/Waterfall.h"

namespace {

using namespace miv;

struct NullCanvas final : WaterfallCanvas {
    void drawLine(const WaterfallLine& line) override { benchmark::DoNotOptimize(line.data()); }
    void scrollDown() override {}
};

// One waterfall line: 2048 samples in, one FFT and 769 grey levels out.
void BM_DrawWaterfallLine(benchmark::State& state)
{
    ModeSwitches switches;
    NullCanvas canvas;
    Waterfall waterfall(switches, canvas);
    std::vector<float> samples(kWaterfallLength);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 3000.0f * std::sin(0.37f * static_cast<float>(i));
    for (auto _ : state)
        for (float s : samples)
            waterfall.DrawWaterfall(s);
    state.SetItemsProcessed(state.iterations() * kWaterfallLength);
}
BENCHMARK(BM_DrawWaterfallLine);

// Everything the gauge timers do in one second of reception.
void BM_GaugeRefreshesPerSecond(benchmark::State& state)
{
    ModeSwitches switches;
    StatusGauges gauges(switches);
    int n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i)
            gauges.refreshVolume(static_cast<float>(1000 + i));
        for (int i = 0; i < 5; ++i) {
            gauges.refreshMetricAndErrors(-7.0f, (n + i) % 50);
            gauges.refreshFrameAcquisition(i);
            gauges.refreshFinalAcquisition(i, true);
        }
        gauges.refreshCpu(12.0f);
        ++n;
    }
}
BENCHMARK(BM_GaugeRefreshesPerSecond);

}  // namespace
