#include <unistd.h>

#include <cmath>
#include <iostream>
#include <memory>

#include "app/cli/AudioOutput.h"
#include "app/cli/Commands.h"
#include "channel/ChannelSimulator.h"
#include "platform/audio/AudioFileReader.h"
#include "platform/audio/FileAudioSource.h"

namespace miv::cli {

namespace {

struct ChannelOptions {
    ChannelSettings settings;
    std::string input;
    std::string output;
};

bool readInput(const std::string& path, std::vector<std::int16_t>& samples, std::string& error)
{
    if (path == "-") {
        RawAudioSource source(STDIN_FILENO);
        source.open(1);
        AudioBlock block{};
        while (source.slotDone(0)) {
            source.read(0, block);
            source.requeue(0);
            samples.insert(samples.end(), block.begin(), block.end());
        }
        // The last block was padded with silence; keep only what arrived.
        samples.resize(static_cast<std::size_t>(source.bytesRead() / 2));
        error = source.error();
        if (error.empty() && samples.empty())
            error = "no audio on standard input";
        return error.empty();
    }
    AudioFileReader reader(path);
    samples = reader.readAll();
    error = reader.error();
    return error.empty();
}

ExitCode runChannel(const ChannelOptions& options)
{
    std::vector<std::int16_t> input;
    std::string error;
    if (!readInput(options.input, input, error)) {
        std::cerr << "miv-cli channel: " << error << "\n";
        return ExitCode::InputError;
    }
    const ChannelResult result = simulateChannel(input, options.settings);
    if (result.samples.empty()) {
        std::cerr << "miv-cli channel: the input is silent, so there is no signal to set the SNR against\n";
        return ExitCode::InputError;
    }
    std::cerr << "signal power " << result.signalPower << " over samples " << result.signalStart << ".."
              << result.signalEnd << ", noise sigma " << result.noiseSigma << " (SNR " << options.settings.snrDb
              << " dB in 2500 Hz), gain " << result.gain << ", " << result.clipped << " samples clipped\n";
    AudioOutput output(options.output);
    output.write(result.samples);
    if (!output.finish()) {
        std::cerr << "miv-cli channel: " << output.error() << "\n";
        return ExitCode::OutputError;
    }
    return ExitCode::Ok;
}

// NaN passes CLI11's range checks, and NaN or infinite settings turn the whole output
// into silence.
CLI::Validator finite()
{
    return CLI::Validator(
        [](const std::string& text) {
            double value = 0;
            return CLI::detail::lexical_cast(text, value) && std::isfinite(value) ? std::string()
                                                                                  : "expected a finite number";
        },
        "FINITE");
}

}  // namespace

void addChannelCommand(CLI::App& app, ExitCode& exitCode)
{
    auto options = std::make_shared<ChannelOptions>();
    CLI::App* command = app.add_subcommand(
        "channel",
        "Add white Gaussian noise, a frequency offset and a start delay to a recording (deterministic "
        "for a seed)");
    command->add_option("--snr", options->settings.snrDb, "Signal power over noise power in 2500 Hz, dB")
        ->required()
        ->check(finite() & CLI::Range(-1000.0, 1000.0));
    command->add_option("--freq-offset", options->settings.frequencyOffsetHz, "Frequency offset, Hz")
        ->check(finite() & CLI::Range(-20000.0, 20000.0));
    command->add_option("--delay", options->settings.delaySeconds, "Silence before the signal, seconds")
        ->check(finite() & CLI::Range(0.0, 3600.0));
    command->add_option("--seed", options->settings.seed, "Noise seed");
    command->add_option("input", options->input, "Audio file, or - for raw stdin")->required();
    command->add_option("-o,--output", options->output, "WAV or FLAC file, or - for raw stdout")->required();
    command->callback([options, &exitCode] { exitCode = runChannel(*options); });
}

}  // namespace miv::cli
