// Transmitter speed: one block per tick in each mode, the tone table, and whole
// renders of a few hundred characters as miv-cli tx does them.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/AudioSink.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "tx/Render.h"
#include "tx/ToneTable.h"
#include "tx/Transmitter.h"

namespace miv {
namespace {

constexpr EffectiveMode kModes[] = {EffectiveMode::Hf2250Fast, EffectiveMode::Hf2250Slow, EffectiveMode::Hf500Fast,
                                    EffectiveMode::Hf500Slow, EffectiveMode::Eme};

ModemMode modeOf(EffectiveMode effective)
{
    ModemMode m;
    m.eme = effective == EffectiveMode::Eme;
    m.bw2250 = effective != EffectiveMode::Hf500Fast && effective != EffectiveMode::Hf500Slow;
    m.baud16 = effective == EffectiveMode::Hf2250Fast || effective == EffectiveMode::Hf500Fast;
    return m;
}

class ReadySink final : public AudioSink {
public:
    bool open(int) override { return true; }
    void queue(int, const AudioBlock& block) override { benchmark::DoNotOptimize(block.data()); }
    bool slotDone(int) const override { return true; }
    void close() override {}
};

class NoKeyer final : public TransmitKeyer {
public:
    bool KeyTransmitter() override { return true; }
    void UnkeyTransmitter() override {}
};

// One tick of the transmit timer that queues a block, with an idle send window (the
// generator runs too).
void BM_TransmitBlock(benchmark::State& state)
{
    const ModemMode mode = modeOf(kModes[state.range(0)]);
    ModeSwitches switches;
    switches.selectBandwidth(mode.bw2250);
    switches.selectChannel(mode.eme);
    switches.selectSymbolRate(mode.baud16);
    MemoryTextWindow send;
    MemoryTextWindow receive;
    FixedClock clock;
    ReadySink sink;
    StderrMessages messages;
    NoKeyer keyer;
    TransmitterHooks hooks;
    Transmitter tx(switches, send, receive, clock, sink, messages, keyer, hooks);
    tx.pressTransmitButton();
    while (tx.activeTimer() != TxTimer::Refill)
        tx.tick();
    for (auto _ : state)
        tx.tick();
    state.SetLabel(mode.parameters().name);
}
BENCHMARK(BM_TransmitBlock)->DenseRange(0, 4);

void BM_BuildToneTable(benchmark::State& state)
{
    const ModeParameters& mode = modeParameters(kModes[state.range(0)]);
    AudioBlock block{};
    for (auto _ : state) {
        ToneTable table;
        table.BuildToneTable(mode);
        table.copyBlock(0, mode.hops ? 1 : 0, 0, block);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetLabel(mode.name);
}
BENCHMARK(BM_BuildToneTable)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// A whole transmission of 300 characters, rendered to memory.
void BM_RenderTransmission(benchmark::State& state)
{
    const ModemMode mode = modeOf(kModes[state.range(0)]);
    std::string text;
    while (text.size() < 300)
        text += "CQ CQ de DL1ABC DL1ABC pse k ";
    text.resize(300);
    std::size_t samples = 0;
    for (auto _ : state)
        samples = renderTransmission(mode, text).samples.size();
    state.SetLabel(std::string(mode.parameters().name) + ", " + std::to_string(samples / 48000) + " s of audio");
}
BENCHMARK(BM_RenderTransmission)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace miv

BENCHMARK_MAIN();
