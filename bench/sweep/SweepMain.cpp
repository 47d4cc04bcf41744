// miv_sweep: how weak a signal each receive step still copies. Every trial renders a
// transmission as `miv-cli tx` does, passes it through `miv-cli channel`'s simulator
// and receives it as `miv-cli rx` does; the CSV holds, per mode and SNR, the shares
// of messages acquired, copied (character error rate under 10 %), copied exactly and
// ended with " <STOP>", and the mean character error rate.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <CLI/CLI.hpp>

#include "Sweep.h"

namespace {

using namespace miv::sweep;

std::string formatDb(const std::optional<double>& db)
{
    if (!db)
        return "outside the grid";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dB", *db);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app("Sensitivity sweep of the receive steps over SNR (2500 Hz reference)");
    std::vector<std::string> modeNames;
    std::vector<double> snrs;
    SweepOptions options;
    int trials = 0;
    options.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::string csvPath;
    std::string summaryPath;
    std::string trialsPath;
    app.add_option("--modes", modeNames, "Receive steps to measure (default: all)")->delimiter(',');
    app.add_option("--snr", snrs, "SNRs in dB, comma-separated (default: each mode's published grid)")->delimiter(',');
    app.add_option("--trials", trials,
                   "Trials per SNR, each its own text, offset, delay and noise (default: each mode's published count)")
        ->check(CLI::PositiveNumber);
    app.add_option("--seed", options.seed, "Seed of every trial's draws");
    std::string fading;
    app.add_option("--fading", fading, "Watterson fading: moderate, disturbed or SPREAD_HZ,DELAY_MS (default: none)");
    app.add_option("--clock-ppm", options.impairments.clockPpm, "Receiving sound card's clock error, ppm");
    app.add_option("--drift", options.impairments.driftHzPerMinute, "Frequency drift, Hz per minute");
    std::string decoders = "both";
    app.add_option("--decoder", decoders, "Decoders to measure, side by side")
        ->check(CLI::IsMember({"standard", "deep", "both"}))
        ->capture_default_str();
    app.add_option("--jobs", options.threads, "Threads")->check(CLI::PositiveNumber);
    app.add_option("-o,--output", csvPath, "CSV file (default: stdout)");
    app.add_option("--summary", summaryPath, "Markdown table of the thresholds per mode");
    app.add_option("--trials-csv", trialsPath, "CSV of every trial: what was sent and what was read");
    CLI11_PARSE(app, argc, argv);

    if (!fading.empty()) {
        const std::optional<miv::Fading> parsed = miv::parseFading(fading);
        if (!parsed) {
            std::cerr << "miv_sweep: --fading takes moderate, disturbed or SPREAD_HZ,DELAY_MS\n";
            return 2;
        }
        options.impairments.fading = *parsed;
    }
    if (modeNames.empty())
        for (const auto& m : standardModes())
            modeNames.push_back(m.name);
    for (const auto& name : modeNames) {
        const SweepMode* mode = findMode(name);
        if (mode == nullptr) {
            std::cerr << "miv_sweep: no mode " << name << "; known:";
            for (const auto& m : standardModes())
                std::cerr << ' ' << m.name;
            std::cerr << '\n';
            return 2;
        }
        ModePlan plan = publishedPlan(*mode);
        if (!snrs.empty())
            plan.snrs = snrs;
        if (trials > 0)
            plan.trials = trials;
        options.plans.push_back(plan);
    }

    const auto start = std::chrono::steady_clock::now();
    options.progress = [&](int done, int total) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cerr << "\rmiv_sweep: " << done << '/' << total << " trials, " << static_cast<int>(seconds) << " s"
                  << std::flush;
    };
    std::vector<ModeResult> results;
    for (const miv::Decoder decoder : {miv::Decoder::Standard, miv::Decoder::Deep}) {
        if (decoders != "both" && decoders != decoderName(decoder))
            continue;
        options.decoder = decoder;
        for (ModeResult& r : runSweep(options))
            results.push_back(std::move(r));
        std::cerr << '\n';
    }

    if (csvPath.empty()) {
        writeCsv(std::cout, results);
    } else {
        std::ofstream csv(csvPath);
        writeCsv(csv, results);
        if (!csv) {
            std::cerr << "miv_sweep: cannot write " << csvPath << '\n';
            return 1;
        }
    }

    if (!trialsPath.empty()) {
        std::ofstream out(trialsPath);
        writeTrialsCsv(out, results);
        if (!out) {
            std::cerr << "miv_sweep: cannot write " << trialsPath << '\n';
            return 1;
        }
    }

    std::ostringstream summary;
    summary
        << "| mode | AFC range | decoder | 50 % copied at | CER below 1 % from |\n| --- | --- | --- | ---: | ---: |\n";
    for (const ModeResult& r : results)
        summary << "| " << r.mode->description << " | " << (r.mode->afcWide ? "wide" : "narrow") << " | "
                << decoderName(r.decoder) << " | " << formatDb(copyThreshold(r)) << " | "
                << formatDb(cerThreshold(r, 0.01)) << " |\n";
    summary << "\n| code | data bits per character of the sweep's texts | characters per minute |\n"
               "| --- | ---: | ---: |\n";
    for (const SweepMode* mode : {findMode("hf2250x16"), findMode("hf2250x1")}) {
        const miv::ModeParameters& p = mode->transmitter.parameters();
        const double bits = meanBitsPerCharacter(messageTexts(), mode->transmitter);
        char row[160];
        std::snprintf(row, sizeof row, "| %s at %.4g baud | %.2f | %.1f |\n",
                      mode->transmitter.sixBitAlphabet() ? "6-bit alphabet" : "varicode", p.baud, bits,
                      60 * 2 * p.baud / bits);
        summary << row;
    }
    std::cerr << summary.str();
    if (!summaryPath.empty()) {
        std::ofstream out(summaryPath);
        out << summary.str();
        if (!out) {
            std::cerr << "miv_sweep: cannot write " << summaryPath << '\n';
            return 1;
        }
    }
    return 0;
}
