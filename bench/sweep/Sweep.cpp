#include "Sweep.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <ostream>
#include <random>
#include <thread>

#include "app/cli/RxRunner.h"
#include "channel/ChannelSimulator.h"
#include "modem/Varicode.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/audio/BlockAudioSource.h"
#include "tx/Render.h"

namespace miv::sweep {

namespace {

// Auto-baud off: the steps measured decode one rate.
ModemMode makeMode(bool bw2250, bool eme, bool baud16)
{
    ModemMode m;
    m.bw2250 = bw2250;
    m.eme = eme;
    m.baud16 = baud16;
    m.autoBaud = false;
    return m;
}

const std::vector<SweepMode> kModes{
    {"hf2250x16", "HF 2250 Hz, 16 baud", makeMode(true, false, true), makeMode(true, false, true), true, 100, -17,
     -11.5, 100},
    {"hf500x16", "HF 500 Hz, 16 baud", makeMode(false, false, true), makeMode(false, false, true), true, 100, -17,
     -11.5, 100},
    {"hf2250x1", "HF 2250 Hz, 1 baud", makeMode(true, false, false), makeMode(true, false, false), true, 100, -28.5,
     -24.5, 64},
    {"hf500x1", "HF 500 Hz, 1 baud", makeMode(false, false, false), makeMode(false, false, false), true, 100, -28.5,
     -24.5, 64},
    {"eme-narrow", "EME, narrow range", makeMode(true, true, false), makeMode(true, true, false), false, 100, -28.5,
     -24.5, 64},
    {"eme-wide", "EME, wide range", makeMode(true, true, false), makeMode(true, true, false), true, 100, -28.5, -24.5,
     64},
};

const std::vector<std::string> kTexts{
    "CQ CQ CQ de EA4ABC EA4ABC pse k", "ON4ZZ de G3XYZ ur rst 579 579 hw?",  "tnx fer the call, name is Marta",
    "QTH is near Madrid, loc IN80dk",  "rig is 100 w into a dipole at 12 m", "wx here sunny and warm, 24 C",
    "ok ok, all copied fine, tnx",     "pse QSL via bureau, 73 es gd DX",    "QRZ? QRZ? de DL1ABC k",
    "sri QRM, pse agn ur name?",       "my email is <marta@example.org>",    "first QSO on this mode, very fb",
    "signals are weak but readable",   "moon rising here, echoes good",      "K1JT de PA3ABC 73 tnx fer QSO",
    "ur signal -22 dB, QSB heavy",     "antenna is 4 x 17 el yagi",          "back to you, BK de OZ7XX",
    "RRR 73, hope to cu agn soon",     "tu fer the report, gl es 73",        "QRV daily 0700 to 0900 UTC",
    "pwr 50 w, ant vertical, 73",      "good morning, frequency in use?",    "testing 1 2 3, how is my audio?",
};

// SplitMix64: spreads a seed and a counter into a well-mixed 64-bit value.
std::uint64_t mix(std::uint64_t seed, std::uint64_t value)
{
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (value + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// FNV-1a, so a mode's trials do not depend on which other modes run.
std::uint64_t nameKey(std::string_view name)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return h;
}

double uniform(std::mt19937_64& random)
{
    return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

std::vector<ReceptionReport> receive(std::vector<std::int16_t> samples, const SweepMode& mode, Decoder decoder)
{
    ModeSwitches switches;
    switches.setDecoder(decoder);
    switches.selectBandwidth(mode.receiver.bw2250);
    switches.selectChannel(mode.receiver.eme);
    switches.selectSymbolRate(mode.receiver.baud16);
    switches.setAutoBaud(mode.receiver.autoBaud);
    switches.setAfcWide(mode.afcWide);
    FixedClock clock({12, 0, 0});
    RecordedMessages messages;
    MemoryAudioSource source(std::move(samples));
    cli::RxRunner runner(switches, clock, messages, source);
    runner.run();
    return runner.reports();
}

// `rising`: the value grows as the SNR falls (error rates); else it shrinks (shares).
std::optional<double> crossing(const std::vector<PointSummary>& points, double level,
                               const std::function<double(const PointSummary&)>& value, bool rising)
{
    // From the strongest SNR down, the first point on the far side of the level.
    std::vector<const PointSummary*> sorted;
    for (const auto& p : points)
        sorted.push_back(&p);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->snrDb > b->snrDb; });
    if (sorted.empty())
        return std::nullopt;
    auto beyond = [&](const PointSummary& p) { return rising ? value(p) >= level : value(p) < level; };
    if (beyond(*sorted.front()))
        return std::nullopt;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const PointSummary& above = *sorted[i - 1];
        const PointSummary& below = *sorted[i];
        if (!beyond(below))
            continue;
        const double va = value(above);
        const double vb = value(below);
        const double t = va == vb ? 0 : (va - level) / (va - vb);
        return above.snrDb + t * (below.snrDb - above.snrDb);
    }
    return std::nullopt;
}

}  // namespace

const std::vector<SweepMode>& standardModes()
{
    return kModes;
}

ModePlan publishedPlan(const SweepMode& mode)
{
    ModePlan plan{&mode, {}, mode.trials};
    for (double snr = mode.gridLowDb; snr <= mode.gridHighDb + 1e-9; snr += 0.5)
        plan.snrs.push_back(snr);
    return plan;
}

const SweepMode* findMode(std::string_view name)
{
    for (const auto& m : kModes)
        if (m.name == name)
            return &m;
    return nullptr;
}

const std::vector<std::string>& messageTexts()
{
    return kTexts;
}

std::string expectedText(const std::string& sent, const ModemMode& transmitter)
{
    if (!transmitter.sixBitAlphabet())
        return sent;
    std::string out;
    for (const char c : sent) {
        const std::uint8_t value = MapCharacter(static_cast<unsigned char>(c), true);
        if (value == 0 || value == 27)  // nothing, or a backspace the sweep's texts do not hold
            continue;
        out += value == 7 ? ' ' : static_cast<char>(value + 32);
    }
    return out;
}

double meanBitsPerCharacter(const std::vector<std::string>& texts, const ModemMode& transmitter)
{
    const bool sixBit = transmitter.sixBitAlphabet();
    std::size_t bits = 0;
    std::size_t characters = 0;
    for (const auto& text : texts) {
        for (const char c : text) {
            const std::uint8_t value = MapCharacter(static_cast<unsigned char>(c), sixBit);
            bits += sixBit ? 6 : VaricodeTable[value].size();
            ++characters;
        }
    }
    return characters > 0 ? static_cast<double>(bits) / static_cast<double>(characters) : 0;
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
        }
    }
    return row[b.size()];
}

TrialSetup trialSetup(const SweepMode& mode, std::uint64_t seed, int trial, const std::vector<std::string>& texts)
{
    std::mt19937_64 random(mix(mix(seed, nameKey(mode.name)), static_cast<std::uint64_t>(trial)));
    TrialSetup setup;
    setup.text = texts[random() % texts.size()];
    setup.offsetHz = (2 * uniform(random) - 1) * mode.maxOffsetHz;
    setup.delaySeconds = 2 * uniform(random);
    setup.noiseSeed = random();
    return setup;
}

std::uint64_t noiseSeedAt(const TrialSetup& setup, std::size_t snrIndex)
{
    return mix(setup.noiseSeed, snrIndex);
}

TrialOutcome scoreTrial(const std::vector<ReceptionReport>& reports, const std::string& expected, double offsetHz,
                        double toneSpacingHz)
{
    TrialOutcome outcome;
    for (const ReceptionReport& report : reports) {
        if (std::fabs(report.frequencyShift - offsetHz) > 0.7 * toneSpacingHz)
            continue;
        outcome.acquired = true;
        outcome.stopped = !report.cancelled;
        outcome.received = report.receivedText;
        const double errors = static_cast<double>(editDistance(expected, report.receivedText));
        outcome.cer = std::min(1.0, errors / static_cast<double>(std::max<std::size_t>(1, expected.size())));
        break;
    }
    return outcome;
}

namespace {

TrialOutcome hear(const SweepMode& mode, Decoder decoder, const TrialSetup& setup, const ChannelSimulator& channel,
                  const std::string& expected, double snrDb, std::size_t snrIndex)
{
    return scoreTrial(receive(channel.addNoise(snrDb, noiseSeedAt(setup, snrIndex)).samples, mode, decoder), expected,
                      setup.offsetHz, mode.transmitter.parameters().toneSpacing);
}

}  // namespace

std::vector<ModeResult> runSweep(const SweepOptions& options)
{
    struct Job {
        std::size_t mode;
        int trial;
    };
    std::vector<Job> jobs;
    std::vector<std::vector<TrialSetup>> setups;  // [mode][trial]
    // outcomes[mode][snr][trial]
    std::vector<std::vector<std::vector<TrialOutcome>>> outcomes;
    for (std::size_t m = 0; m < options.plans.size(); ++m) {
        const ModePlan& plan = options.plans[m];
        outcomes.emplace_back(plan.snrs.size(), std::vector<TrialOutcome>(static_cast<std::size_t>(plan.trials)));
        setups.emplace_back();
        for (int t = 0; t < plan.trials; ++t) {
            jobs.push_back({m, t});
            setups.back().push_back(trialSetup(*plan.mode, options.seed, t, options.texts));
        }
    }
    // The slow modes' trials take longest; start them first so the threads finish together.
    std::stable_sort(jobs.begin(), jobs.end(), [&](const Job& a, const Job& b) {
        return options.plans[a.mode].mode->transmitter.samplesPerSymbol() >
               options.plans[b.mode].mode->transmitter.samplesPerSymbol();
    });

    std::atomic<std::size_t> next{0};
    std::atomic<int> done{0};
    std::mutex progressLock;
    auto worker = [&] {
        for (std::size_t j = next++; j < jobs.size(); j = next++) {
            const Job& job = jobs[j];
            const SweepMode& mode = *options.plans[job.mode].mode;
            const TrialSetup& setup = setups[job.mode][static_cast<std::size_t>(job.trial)];
            // One transmission and one shift, heard at every SNR of the grid.
            const RenderedTransmission tx = renderTransmission(mode.transmitter, setup.text);
            ChannelSettings settings = options.impairments;
            settings.frequencyOffsetHz = setup.offsetHz;
            settings.delaySeconds = setup.delaySeconds;
            settings.seed = setup.noiseSeed;
            const ChannelSimulator channel(tx.samples, settings);
            const std::string expected = expectedText(setup.text, mode.transmitter);
            const auto& grid = options.plans[job.mode].snrs;
            for (std::size_t k = 0; k < grid.size(); ++k)
                outcomes[job.mode][k][static_cast<std::size_t>(job.trial)] =
                    hear(mode, options.decoder, setup, channel, expected, grid[k], k);
            const int finished = ++done;
            if (options.progress) {
                const std::lock_guard lock(progressLock);
                options.progress(finished, static_cast<int>(jobs.size()));
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 1; i < std::max(1, options.threads); ++i)
        threads.emplace_back(worker);
    worker();
    for (auto& t : threads)
        t.join();

    std::vector<ModeResult> results;
    for (std::size_t m = 0; m < options.plans.size(); ++m) {
        const ModePlan& plan = options.plans[m];
        ModeResult result{plan.mode, options.decoder, {}, setups[m], outcomes[m]};
        for (std::size_t k = 0; k < plan.snrs.size(); ++k) {
            PointSummary point;
            point.snrDb = plan.snrs[k];
            for (const TrialOutcome& o : outcomes[m][k]) {
                ++point.trials;
                point.acquired += o.acquired;
                point.copied += o.acquired && o.cer < 0.1;
                point.exact += o.acquired && o.cer == 0;
                point.stopped += o.stopped;
                point.cerSum += o.cer;
            }
            result.points.push_back(point);
        }
        results.push_back(std::move(result));
    }
    return results;
}

const char* decoderName(Decoder decoder)
{
    return decoder == Decoder::Deep ? "deep" : "standard";
}

std::optional<double> copyThreshold(const ModeResult& result)
{
    return crossing(
        result.points, 0.5, [](const PointSummary& p) { return p.share(p.copied); }, false);
}

std::optional<double> cerThreshold(const ModeResult& result, double cer)
{
    return crossing(
        result.points, cer, [](const PointSummary& p) { return p.meanCer(); }, true);
}

void writeCsv(std::ostream& out, const std::vector<ModeResult>& results)
{
    out << "mode,decoder,afc,auto_baud,snr_db,trials,acquired,copied,exact,stopped,mean_cer\n";
    char line[160];
    for (const ModeResult& r : results) {
        for (const PointSummary& p : r.points) {
            std::snprintf(line, sizeof line, "%s,%s,%s,%s,%.2f,%d,%.4f,%.4f,%.4f,%.4f,%.5f\n", r.mode->name.c_str(),
                          decoderName(r.decoder), r.mode->afcWide ? "wide" : "narrow",
                          r.mode->receiver.autoBaud ? "on" : "off", p.snrDb, p.trials, p.share(p.acquired),
                          p.share(p.copied), p.share(p.exact), p.share(p.stopped), p.meanCer());
            out << line;
        }
    }
}

void writeTrialsCsv(std::ostream& out, const std::vector<ModeResult>& results)
{
    auto quoted = [](const std::string& text) {
        std::string q = "\"";
        for (const char c : text) {
            if (c == '"')
                q += '"';
            q += static_cast<unsigned char>(c) < 32 ? ' ' : c;
        }
        return q + '"';
    };
    out << "mode,decoder,snr_db,trial,offset_hz,delay_s,acquired,stopped,cer,sent,received\n";
    char numbers[160];
    for (const ModeResult& r : results) {
        for (std::size_t k = 0; k < r.points.size(); ++k) {
            for (std::size_t t = 0; t < r.trials[k].size(); ++t) {
                const TrialSetup& setup = r.setups[t];
                const TrialOutcome& o = r.trials[k][t];
                std::snprintf(numbers, sizeof numbers, "%.2f,%zu,%.3f,%.3f,%d,%d,%.4f", r.points[k].snrDb, t,
                              setup.offsetHz, setup.delaySeconds, o.acquired, o.stopped, o.cer);
                out << r.mode->name << ',' << decoderName(r.decoder) << ',' << numbers << ',' << quoted(setup.text)
                    << ',' << quoted(o.received) << '\n';
            }
        }
    }
}

}  // namespace miv::sweep
