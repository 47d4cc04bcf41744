#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "app/cli/AudioOutput.h"
#include "app/cli/Commands.h"
#include "app/cli/ModeOptions.h"
#include "app/cli/UtcOption.h"
#include "modem/Charset.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "tx/Render.h"
#include "tx/Transmitter.h"

namespace miv::cli {

namespace {

// Idle filler is for test recordings; the bound keeps a mistyped count from running until
// the disk is full (1000 characters last under an hour even at 1 baud).
constexpr long kMaxIdleCharacters = 1000;

struct TxOptions {
    ModeOptions mode;
    bool longTone = false;
    long idle = 0;
    UtcOption utc;
    std::string text;
    std::string textFile;
    std::string output;
};

// Line ends become the Enter key's carriage return, which the far end shows as a new
// line; the final line end of a file is not part of the message.
std::string normaliseLineEnds(const std::string& text, bool dropFinal)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\n' ? '\r' : text[i];
    }
    while (dropFinal && !out.empty() && out.back() == '\r')
        out.pop_back();
    return out;
}

std::string describe(char32_t c)
{
    std::ostringstream s;
    s << '"' << utf8Encode(c) << "\" (U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
      << static_cast<unsigned long>(c) << ')';
    return s.str();
}

ExitCode runTx(TxOptions& options)
{
    std::string utf8 = options.text;
    if (!options.textFile.empty()) {
        std::error_code ec;
        std::ifstream file(options.textFile, std::ios::binary);
        std::ostringstream content;
        if (file && !std::filesystem::is_directory(options.textFile, ec))
            content << file.rdbuf();
        if (!file || file.bad() || std::filesystem::is_directory(options.textFile, ec)) {
            std::cerr << "miv-cli tx: cannot read " << options.textFile << '\n';
            return ExitCode::InputError;
        }
        utf8 = content.str();
    }
    const Cp1252Conversion converted = utf8ToCp1252(normaliseLineEnds(utf8, !options.textFile.empty()));
    if (converted.invalidUtf8) {
        std::cerr << "miv-cli tx: the text is not valid UTF-8\n";
        return ExitCode::InputError;
    }
    if (converted.firstUnsendable) {
        std::cerr << "miv-cli tx: the text holds " << describe(*converted.firstUnsendable)
                  << ", which has no 8-bit character code and cannot be sent\n";
        return ExitCode::Unsendable;
    }

    AudioOutput output(options.output);
    if (!output.ready()) {
        std::cerr << "miv-cli tx: " << output.error() << '\n';
        return ExitCode::OutputError;
    }
    ModeSwitches switches;
    options.mode.applyTo(switches);
    MemoryTextWindow sendWindow;
    MemoryTextWindow receiveWindow;
    sendWindow.setText(converted.text);
    sendWindow.moveToEnd();
    StderrMessages messages;
    NoPttKeyer keyer;
    TransmitterHooks hooks;

    Transmitter transmitter(switches, sendWindow, receiveWindow, options.utc.clock(), output.sink(), messages, keyer,
                            hooks);
    transmitter.setLongInitialTone(options.longTone);
    // The same ticks as the window's timers; a file is always ready, so every tick
    // moves a block.
    runTransmission(transmitter, options.idle, [&output] { return output.failed(); });
    if (!output.finish()) {
        std::cerr << "miv-cli tx: " << output.error() << '\n';
        return ExitCode::OutputError;
    }
    const long long samples = output.samplesWritten();
    std::cerr << "miv-cli tx: " << switches.mode().parameters().name << ", " << converted.text.size() << " characters, "
              << samples / kBlockSamples << " blocks (" << std::fixed << std::setprecision(3)
              << static_cast<double>(samples) / kSampleRate << " s)\n";
    return ExitCode::Ok;
}

}  // namespace

void addTxCommand(CLI::App& app, ExitCode& exitCode)
{
    auto options = std::make_shared<TxOptions>();
    CLI::App* tx = app.add_subcommand("tx", "Render a whole transmission of a text to audio");
    options->mode.addTo(*tx);
    tx->add_flag("--long-tone", options->longTone, "Long initial tone, as after the CQ macro");
    tx->add_option("--idle", options->idle, "Idle characters to send after the text before stopping")
        ->check(CLI::Range(0L, kMaxIdleCharacters));
    options->utc.addTo(*tx, "UTC time of the TX header, HH:MM (default: now)");
    CLI::Option_group* text = tx->add_option_group("text", "What to send (UTF-8; line ends are sent as Enter)");
    text->add_option("--text", options->text, "The text");
    text->add_option("--text-file", options->textFile, "A file holding the text");
    text->require_option(1);
    tx->add_option("-o,--output", options->output, "WAV file (FLAC if it ends in .flac), or - for raw s16le on stdout")
        ->required();
    tx->callback([options, &exitCode] { exitCode = runTx(*options); });
}

}  // namespace miv::cli
