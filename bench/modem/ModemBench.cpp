// The modem's per-symbol work: one Viterbi step (64 states, four branches each, and
// 65 trace-backs of 16 steps), run once per received symbol.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "modem/Viterbi.h"

namespace {

using namespace miv;

void BM_ViterbiStep(benchmark::State& state)
{
    // Noisy symbols, so the survivors branch as they do on air.
    std::mt19937 random(3);
    std::normal_distribution<float> noise(0, 1);
    std::vector<std::array<float, 16>> symbols(1024);
    for (auto& s : symbols) {
        for (auto& m : s)
            m = noise(random);
        s[random() % 16] += 3;
    }
    ViterbiDecoder decoder;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoder.ViterbiStep(symbols[i]));
        i = (i + 1) % symbols.size();
    }
}
BENCHMARK(BM_ViterbiStep);

}  // namespace
