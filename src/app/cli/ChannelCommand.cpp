#include <cmath>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/cli/AudioOutput.h"
#include "app/cli/ChannelInput.h"
#include "app/cli/Commands.h"
#include "app/cli/Validators.h"
#include "channel/ChannelSimulator.h"

namespace miv::cli {

namespace {

struct ChannelOptions {
    ChannelSettings settings;
    std::string fading;
    std::string input;
    std::string output;
};

ExitCode runChannel(ChannelOptions& options)
{
    const std::optional<Fading> fading = parseFading(options.fading);
    if (!options.fading.empty() && !fading) {
        std::cerr << "miv-cli channel: --fading takes moderate, disturbed or SPREAD,DELAY (0.01 to 50 Hz, 0 to "
                     "20 ms), not \""
                  << options.fading << "\"\n";
        return ExitCode::Usage;
    }
    if (fading)
        options.settings.fading = *fading;
    ChannelInput input(options.input);
    // The output file is made only once the input has been read through and has a signal.
    std::unique_ptr<AudioOutput> output;
    const ChannelStreamIo io{[&] { return input.rewind(); },
                             [&](std::span<std::int16_t> block) { return input.read(block); },
                             [&](std::span<const std::int16_t> samples) {
                                 if (!output)
                                     output = std::make_unique<AudioOutput>(options.output);
                                 output->write(samples);
                                 return !output->failed();
                             }};
    const ChannelResult result = streamChannel(options.settings, io);
    if (!input.error().empty()) {
        std::cerr << "miv-cli channel: " << input.error() << "\n";
        return ExitCode::InputError;
    }
    if (result.length == 0) {
        std::cerr << "miv-cli channel: the input is silent, so there is no signal to set the SNR against\n";
        return ExitCode::InputError;
    }
    std::cerr << "signal power " << result.signalPower << " over samples " << result.signalStart << ".."
              << result.signalEnd << ", noise sigma " << result.noiseSigma << " (SNR " << options.settings.snrDb
              << " dB in 2500 Hz), gain " << result.gain << ", " << result.clipped << " samples clipped\n";
    if (!output->finish()) {
        std::cerr << "miv-cli channel: " << output->error() << "\n";
        return ExitCode::OutputError;
    }
    return ExitCode::Ok;
}

}  // namespace

void addChannelCommand(CLI::App& app, ExitCode& exitCode)
{
    auto options = std::make_shared<ChannelOptions>();
    CLI::App* command = app.add_subcommand(
        "channel",
        "Add white Gaussian noise, fading, a frequency offset and drift, a clock error and a start delay to a "
        "recording (deterministic for a seed)");
    ChannelSettings& settings = options->settings;
    command->add_option("--snr", settings.snrDb, "Mean signal power over noise power in 2500 Hz, dB")
        ->required()
        ->check(finiteNumber() & CLI::Range(-1000.0, 1000.0));
    command->add_option("--freq-offset", settings.frequencyOffsetHz, "Frequency offset, Hz")
        ->check(finiteNumber() & CLI::Range(-20000.0, 20000.0));
    command->add_option("--drift", settings.driftHzPerMinute, "Frequency drift added to the offset, Hz per minute")
        ->check(finiteNumber() & CLI::Range(-600.0, 600.0));
    command
        ->add_option("--fading", options->fading,
                     "Watterson HF fading, two paths: moderate (0.5 Hz, 1 ms), disturbed (1 Hz, 2 ms) or "
                     "SPREAD,DELAY in Hz and ms")
        ->type_name("MODEL");
    command->add_option("--clock-ppm", settings.clockPpm, "Receiving sound card's clock error, parts per million")
        ->check(finiteNumber() & CLI::Range(-10000.0, 10000.0));
    command->add_option("--delay", settings.delaySeconds, "Silence before the signal, seconds")
        ->check(finiteNumber() & CLI::Range(0.0, 3600.0));
    command->add_option("--seed", settings.seed, "Noise and fading seed")->check(unsigned64());
    command->add_option("input", options->input, "Audio file, or - for raw stdin")->required();
    command->add_option("-o,--output", options->output, "WAV or FLAC file, or - for raw stdout")->required();
    command->callback([options, &exitCode] { exitCode = runChannel(*options); });
}

}  // namespace miv::cli
