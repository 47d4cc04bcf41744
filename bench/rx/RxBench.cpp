// How fast the receiver runs: the FFT at each size it uses, and one 64 ms capture
// block through each receive step, with each decoder, while searching (acquisition over the whole range
// after every spectrum) and while locked on a message (decoding). "x_realtime" is
// seconds of audio per second of processor time; "allocations" counts the heap
// allocations per block, which stay at 0 but for the received text itself.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "platform/audio/AudioFileReader.h"
#include "platform/audio/BlockAudioSource.h"
#include "rx/FFT.h"
#include "rx/Receiver.h"

namespace {

std::atomic<long long> allocations{0};

}  // namespace

// The counting replacements of the global allocation functions. GCC takes the free()
// of a pointer from the replaced operator new for a mismatch once both are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

using namespace miv;

constexpr double kBlockSeconds = 0.064;

void BM_FFT(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<Complex> data(static_cast<std::size_t>(n));
    std::mt19937 random(1);
    std::uniform_real_distribution<float> value(-1, 1);
    for (auto& x : data)
        x = {value(random), value(random)};
    std::vector<Complex> work = data;
    for (auto _ : state) {
        work = data;
        FFT(work.data(), n);
        benchmark::DoNotOptimize(work.data());
    }
}
BENCHMARK(BM_FFT)->Arg(1024)->Arg(2048)->Arg(8192)->Arg(16384);

// Plays its audio over and over, as fast as it is taken.
class LoopingSource final : public BlockAudioSource {
public:
    explicit LoopingSource(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {}

protected:
    bool produce(AudioBlock& block) override
    {
        for (auto& s : block) {
            s = samples_[position_];
            position_ = (position_ + 1) % samples_.size();
        }
        return true;
    }

private:
    std::vector<std::int16_t> samples_;
    std::size_t position_ = 0;
};

struct StepSetup {
    bool bw2250;
    bool eme;
    bool baud16;
    bool autoBaud;
    bool afcWide;
    const char* vector;  // a transmission the step can lock on
    Decoder decoder = Decoder::Standard;
};

struct Bench {
    Bench(const StepSetup& setup, std::vector<std::int16_t> audio) : source(std::move(audio))
    {
        switches.selectBandwidth(setup.bw2250);
        switches.selectChannel(setup.eme);
        switches.selectSymbolRate(setup.baud16);
        switches.setAutoBaud(setup.autoBaud);
        switches.setAfcWide(setup.afcWide);
        switches.setDecoder(setup.decoder);
        receiver.OpenCapture();
        receiver.StartReception();
    }

    ModeSwitches switches;
    MemoryTextWindow window;
    FixedClock clock;
    RecordedMessages messages;
    LoopingSource source;
    ReceiverObserver observer;
    Receiver receiver{switches, window, clock, messages, source, observer};
};

std::vector<std::int16_t> noise(std::size_t samples)
{
    std::mt19937 random(7);
    std::normal_distribution<float> gauss(0, 3000);
    std::vector<std::int16_t> v(samples);
    for (auto& s : v)
        s = static_cast<std::int16_t>(gauss(random));
    return v;
}

void runBlocks(benchmark::State& state, Bench& bench)
{
    const long long before = allocations;
    for (auto _ : state)
        bench.receiver.tick();
    const auto allocated = static_cast<double>(allocations - before);
    state.counters["x_realtime"] =
        benchmark::Counter(kBlockSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["allocations"] = benchmark::Counter(allocated, benchmark::Counter::kAvgIterations);
}

void BM_Searching(benchmark::State& state, StepSetup setup)
{
    Bench bench(setup, noise(64 * kBlockSamples));
    // Fill the ring and the history first.
    for (int i = 0; i < 64; ++i)
        bench.receiver.tick();
    runBlocks(state, bench);
    if (bench.receiver.lockFlag())
        state.SkipWithError("locked on noise");
}

void BM_Locked(benchmark::State& state, StepSetup setup)
{
    AudioFileReader reader(std::string(MIV_VECTORS_DIR) + "/" + setup.vector + ".flac");
    Bench bench(setup, reader.readAll());
    // Up to the header: locked, acquisition off, characters coming. The deep path
    // decodes from the preamble on, and shows a short message only at its end.
    const bool deep = setup.decoder == Decoder::Deep;
    const auto decoding = [&] {
        return deep ? bench.receiver.busy() : bench.receiver.lockFlag() && !bench.receiver.acquisitionEnabled();
    };
    while (!decoding())
        bench.receiver.tick();
    runBlocks(state, bench);
    if (!decoding())
        state.SkipWithError("the message ended during the measurement");
}

// Each step with the rate it decodes while locked; Auto steps both ways.
const std::vector<std::pair<std::string, StepSetup>> kSteps{
    {"2250x16", {true, false, true, false, true, "hf2250-16"}},
    {"500x16", {false, false, true, false, true, "hf500-16"}},
    {"2250x1", {true, false, false, false, true, "hf2250-1"}},
    {"500x1", {false, false, false, false, true, "hf500-1"}},
    {"2250Auto/16baud", {true, false, true, true, true, "hf2250-16"}},
    {"2250Auto/1baud", {true, false, false, true, true, "hf2250-1"}},
    {"500Auto/16baud", {false, false, true, true, true, "hf500-16"}},
    {"500Auto/1baud", {false, false, false, true, true, "hf500-1"}},
    {"EMENarrow", {true, true, true, false, false, "eme"}},
    {"EMEWide", {true, true, true, false, true, "eme"}},
};

const bool kRegistered = [] {
    for (const Decoder decoder : {Decoder::Standard, Decoder::Deep}) {
        for (auto [name, setup] : kSteps) {
            setup.decoder = decoder;
            if (decoder == Decoder::Deep)
                name += "/deep";
            // A slow spectrum falls on every second block, so measure whole pairs. The
            // deep path shows a message later, so less of it is left to measure locked.
            const bool slow = setup.eme || !setup.baud16;
            const int iterations = slow ? 512 : 64;
            const int lockedIterations = decoder == Decoder::Deep ? iterations / (slow ? 4 : 2) : iterations;
            benchmark::RegisterBenchmark(("BM_Searching/" + name).c_str(), BM_Searching, setup)
                ->Iterations(iterations)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("BM_Locked/" + name).c_str(), BM_Locked, setup)
                ->Iterations(lockedIterations)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

}  // namespace
