#include <unistd.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "app/cli/Commands.h"
#include "app/cli/ModeOptions.h"
#include "app/cli/ReportMailer.h"
#include "app/cli/RxRunner.h"
#include "app/cli/UtcOption.h"
#include "app/cli/Validators.h"
#include "modem/Charset.h"
#include "modem/Picture.h"
#include "platform/audio/FileAudioSource.h"
#include "station/ReceptionReports.h"

namespace miv::cli {

namespace {

struct RxOptions {
    ModeOptions mode;
    UtcOption utc;
    std::string decoder = "deep";
    bool json = false;
    bool reports = false;
    std::string settingsPath;
    double mailTimeoutSeconds = 60;
    std::string input;
};

// The receive window's text as a terminal shows it: UTF-8, LF line ends.
std::string forTerminal(const std::string& windowText)
{
    std::string out = cp1252ToUtf8(windowText);
    std::size_t at = 0;
    while ((at = out.find("\r\n", at)) != std::string::npos)
        out.erase(at, 1);
    return out;
}

double rounded(float value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(static_cast<double>(value) * scale) / scale;
}

nlohmann::json toJson(const ReceptionReport& report)
{
    nlohmann::json j;
    j["text"] = cp1252ToUtf8(report.receivedText);
    j["time"] = formatPicture(report.utcHour, "00") + ":" + formatPicture(report.utcMinute, "00");
    j["frequency_shift"] = report.frequencyShift;
    j["frame_acquisition"] = report.frameScore;
    j["final_acquisition"] = report.cancelled ? nlohmann::json() : nlohmann::json(report.finalScore);
    j["cancelled"] = report.cancelled;
    j["viterbi_errors"] = report.viterbiErrors;
    j["metric"] = rounded(report.metric, 2);
    j["volume"] = rounded(report.volume, 2);
    if (report.snrDb)
        j["snr_db"] = rounded(static_cast<float>(*report.snrDb), 1);
    return j;
}

ExitCode runRx(RxOptions& options)
{
    ModeSwitches switches;
    options.mode.applyTo(switches);
    switches.setDecoder(options.decoder == "standard" ? Decoder::Standard : Decoder::Deep);
    StderrMessages messages;

    std::unique_ptr<BlockAudioSource> source;
    FileAudioSource* file = nullptr;
    RawAudioSource* raw = nullptr;
    if (options.input == "-") {
        source = std::make_unique<RawAudioSource>(STDIN_FILENO);
        raw = static_cast<RawAudioSource*>(source.get());
    } else {
        source = std::make_unique<FileAudioSource>(options.input);
        file = static_cast<FileAudioSource*>(source.get());
        if (!file->error().empty()) {
            std::cerr << "miv-cli rx: " << file->error() << "\n";
            return ExitCode::InputError;
        }
    }

    std::optional<ReportMailer> reports;
    if (options.reports)
        reports.emplace(options.settingsPath,
                        std::chrono::milliseconds(std::llround(options.mailTimeoutSeconds * 1000)));

    RxRunner runner(switches, options.utc.clock(), messages, *source);
    runner.onReport = [&](const ReceptionReport& report) {
        if (options.json)
            std::cout << toJson(report).dump() << std::endl;
        if (reports)
            reports->send(report, switches.mode());
    };
    bool endsWithNewline = true;
    if (!options.json) {
        runner.onText = [&endsWithNewline](const std::string& text) {
            const std::string shown = forTerminal(text);
            if (!shown.empty())
                endsWithNewline = shown.back() == '\n';
            std::cout << shown << std::flush;
        };
    }
    runner.run();
    if (!options.json && !endsWithNewline)
        std::cout << "\n";
    std::cout.flush();
    if (reports)
        reports->finish();

    std::string problem;
    if (file != nullptr)
        problem = file->error();
    if (raw != nullptr) {
        problem = raw->error();
        if (problem.empty() && raw->bytesRead() == 0)
            problem = "no audio on standard input";
    }
    if (!problem.empty()) {
        std::cerr << "miv-cli rx: " << problem << "\n";
        return ExitCode::InputError;
    }
    return std::cout ? ExitCode::Ok : ExitCode::OutputError;
}

}  // namespace

void addRxCommand(CLI::App& app, ExitCode& exitCode)
{
    auto options = std::make_shared<RxOptions>();
    CLI::App* command = app.add_subcommand(
        "rx",
        "Decode a recording (any format libsndfile reads, any rate) or raw 48 kHz 16-bit mono on stdin (-) "
        "and print the receive window's text");
    options->mode.addTo(*command);
    options->utc.addTo(*command, "UTC time shown in message headers (HH:MM); default: the clock");
    command
        ->add_option("--decoder", options->decoder,
                     "deep copies weaker signals; standard is the receiver defined for this signal")
        ->check(CLI::IsMember({"deep", "standard"}))
        ->capture_default_str();
    command->add_flag("--json", options->json, "Print one JSON object per received message instead");
    CLI::Option* reports =
        command->add_flag("--reports", options->reports,
                          "Mail the reception report to the addresses each message carries in angle brackets, "
                          "through the account of the settings file, beside the decoding");
    command->add_option("--settings", options->settingsPath, "Settings file (default: ~/.config/MIV/MIV.ini)")
        ->needs(reports);
    command
        ->add_option("--mail-timeout", options->mailTimeoutSeconds,
                     "Longest one delivery may take, and the wait for those on their way at the end, seconds "
                     "(default 60)")
        ->check(finiteNumber() & CLI::Range(1.0, 3600.0))
        ->needs(reports);
    command->add_option("input", options->input, "Audio file, or - for stdin")->required();
    command->callback([options, &exitCode] { exitCode = runRx(*options); });
}

}  // namespace miv::cli
