#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/AudioOutput.h"
#include "app/cli/Commands.h"
#include "app/cli/ModeOptions.h"
#include "app/cli/UtcOption.h"
#include "modem/Charset.h"
#include "modem/Varicode.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "tx/Render.h"
#include "tx/Transmitter.h"

namespace miv::cli {

namespace {

// Idle filler is for test recordings; the bound keeps a mistyped count from running until
// the disk is full (1000 characters last under an hour even at 1 baud).
constexpr long kMaxIdleCharacters = 1000;
// A contact's text, not a book: 64 KiB is hours on the air at the fastest mode, and a
// megabyte would be days of audio.
constexpr std::uintmax_t kMaxTextBytes = 65536;
// Unsendable characters listed before "and N more".
constexpr std::size_t kListedUnsendable = 10;

struct TxOptions {
    ModeOptions mode;
    bool longTone = false;
    bool lossy = false;
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

// The file's text; false with a message when it is not a readable regular file within
// the limit (a device such as /dev/zero would never end).
bool readTextFile(const std::string& path, std::string& text)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
        std::cerr << "miv-cli tx: cannot read " << path
                  << (ec || !std::filesystem::exists(status) ? "" : ": not a regular file") << '\n';
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    text.resize(kMaxTextBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        std::cerr << "miv-cli tx: cannot read " << path << '\n';
        return false;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}

struct UnsendableCharacter {
    std::size_t position;  // from 1, in characters
    std::size_t line;
    std::size_t column;
    char32_t character;
};

// The 8-bit text the far screen will show all of, and the characters it would not,
// either for want of an 8-bit code or of a code in the mode's alphabet. Needs valid UTF-8.
std::string sendableText(const std::string& utf8, bool sixBitAlphabet, std::vector<UnsendableCharacter>& unsendable)
{
    std::string text;
    std::size_t position = 0;
    std::size_t line = 1;
    std::size_t column = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const Cp1252Conversion one = utf8ToCp1252(std::string_view(utf8).substr(i, length));
        i += length;
        ++position;
        ++column;
        if (!one.text.empty() && reachesFarScreen(static_cast<unsigned char>(one.text[0]), sixBitAlphabet))
            text += one.text;
        else
            unsendable.push_back(
                {position, line, column,
                 one.firstUnsendable ? *one.firstUnsendable : fromCp1252(static_cast<std::uint8_t>(one.text[0]))});
        if (one.text == "\r") {
            ++line;
            column = 0;
        }
    }
    return text;
}

void reportUnsendable(const std::vector<UnsendableCharacter>& unsendable, const ModeSwitches& switches, bool lossy)
{
    std::cerr << "miv-cli tx: " << (lossy ? "warning: " : "") << unsendable.size()
              << " character(s) will not reach the far screen in " << switches.mode().parameters().name << ":\n";
    for (std::size_t i = 0; i < std::min(unsendable.size(), kListedUnsendable); ++i) {
        const UnsendableCharacter& u = unsendable[i];
        std::cerr << "  character " << u.position << " (line " << u.line << ", column " << u.column
                  << "): " << (u.character == '\r' ? std::string("line end (U+000D)") : describe(u.character)) << '\n';
    }
    if (unsendable.size() > kListedUnsendable)
        std::cerr << "  and " << unsendable.size() - kListedUnsendable << " more\n";
    std::cerr << (lossy ? "miv-cli tx: sending the rest\n" : "miv-cli tx: nothing sent; --lossy sends the rest\n");
}

ExitCode runTx(TxOptions& options)
{
    std::string utf8 = options.text;
    if (!options.textFile.empty() && !readTextFile(options.textFile, utf8))
        return ExitCode::InputError;
    if (utf8.size() > kMaxTextBytes) {
        std::cerr << "miv-cli tx: the text is over " << kMaxTextBytes << " bytes\n";
        return ExitCode::InputError;
    }
    const std::string normalised = normaliseLineEnds(utf8, !options.textFile.empty());
    if (utf8ToCp1252(normalised).invalidUtf8) {
        std::cerr << "miv-cli tx: the text is not valid UTF-8\n";
        return ExitCode::InputError;
    }
    ModeSwitches switches;
    options.mode.applyTo(switches);
    std::vector<UnsendableCharacter> unsendable;
    const std::string text = sendableText(normalised, switches.mode().sixBitAlphabet(), unsendable);
    if (!unsendable.empty()) {
        reportUnsendable(unsendable, switches, options.lossy);
        if (!options.lossy)
            return ExitCode::Unsendable;
    }

    AudioOutput output(options.output);
    if (!output.ready()) {
        std::cerr << "miv-cli tx: " << output.error() << '\n';
        return ExitCode::OutputError;
    }
    MemoryTextWindow sendWindow;
    MemoryTextWindow receiveWindow;
    sendWindow.setText(text);
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
    std::cerr << "miv-cli tx: " << switches.mode().parameters().name << ", " << text.size() << " characters, "
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
    tx->add_flag("--lossy", options->lossy,
                 "Send the text without the characters the far screen would not show (warns instead of exit 5)");
    tx->add_option("--idle", options->idle, "Idle characters to send after the text before stopping")
        ->check(CLI::Range(0L, kMaxIdleCharacters));
    options->utc.addTo(*tx, "UTC time of the TX header, HH:MM (default: now)");
    CLI::Option_group* text = tx->add_option_group("text", "What to send (UTF-8; line ends are sent as Enter)");
    text->add_option("--text", options->text, "The text (at most 65536 bytes)");
    text->add_option("--text-file", options->textFile, "A regular file holding the text (at most 65536 bytes)");
    text->require_option(1);
    tx->add_option("-o,--output", options->output, "WAV file (FLAC if it ends in .flac), or - for raw s16le on stdout")
        ->required();
    tx->callback([options, &exitCode] { exitCode = runTx(*options); });
}

}  // namespace miv::cli
