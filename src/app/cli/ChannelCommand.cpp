#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <iostream>
#include <memory>

#include "app/cli/Commands.h"
#include "app/cli/ExitCodes.h"
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

bool writeOutput(const std::string& path, const std::vector<std::int16_t>& samples, std::string& error)
{
    if (path == "-") {
        // A closed pipe is a write error to report, not a signal that kills us.
        std::signal(SIGPIPE, SIG_IGN);
        std::vector<unsigned char> bytes(samples.size() * 2);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const auto u = static_cast<std::uint16_t>(samples[i]);
            bytes[2 * i] = static_cast<unsigned char>(u & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>(u >> 8);
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                error = "cannot write to standard output";
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    const bool flac = path.size() >= 5 && path.compare(path.size() - 5, 5, ".flac") == 0;
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = path + ": cannot write (" + sf_strerror(nullptr) + ")";
        return false;
    }
    const sf_count_t written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    const bool ok = written == static_cast<sf_count_t>(samples.size());
    if (!ok)
        error = path + ": cannot write (" + sf_strerror(file) + ")";
    sf_close(file);
    return ok;
}

int runChannel(const ChannelOptions& options)
{
    std::vector<std::int16_t> input;
    std::string error;
    if (!readInput(options.input, input, error)) {
        std::cerr << "miv-cli channel: " << error << "\n";
        return kExitInputError;
    }
    const ChannelResult result = simulateChannel(input, options.settings);
    if (result.samples.empty()) {
        std::cerr << "miv-cli channel: the input is silent, so there is no signal to set the SNR against\n";
        return kExitInputError;
    }
    std::cerr << "signal power " << result.signalPower << " over samples " << result.signalStart << ".."
              << result.signalEnd << ", noise sigma " << result.noiseSigma << " (SNR " << options.settings.snrDb
              << " dB in 2500 Hz), gain " << result.gain << ", " << result.clipped << " samples clipped\n";
    if (!writeOutput(options.output, result.samples, error)) {
        std::cerr << "miv-cli channel: " << error << "\n";
        return kExitOutputError;
    }
    return kExitOk;
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

void addChannelCommand(CLI::App& app, int& exitCode)
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
