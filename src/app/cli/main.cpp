#include <CLI/CLI.hpp>

#include <iostream>

#include "app/cli/Commands.h"
#include "station/ProgramInfo.h"

int main(int argc, char** argv)
{
    using miv::cli::ExitCode;
    CLI::App app{
        "MIV modem on the command line: encode text to audio, decode audio to text, "
        "and simulate a radio channel"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("miv-cli ") + miv::kProgramVersion, "Print the version and exit");
    ExitCode exitCode = ExitCode::Ok;
    miv::cli::addTxCommand(app, exitCode);
    miv::cli::addRxCommand(app, exitCode);
    miv::cli::addChannelCommand(app, exitCode);
    miv::cli::addLogCommand(app, exitCode);
    miv::cli::addKeyCommand(app, exitCode);
    // CLI11 would only say that a subcommand is required.
    if (argc > 1 && argv[1][0] != '-') {
        try {
            app.get_subcommand(argv[1]);
        } catch (const CLI::OptionNotFound&) {
            std::cerr << "miv-cli: there is no command \"" << argv[1] << "\" (tx, rx, channel, log or key; see --help)\n";
            return static_cast<int>(ExitCode::Usage);
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        exitCode = app.exit(e) == 0 ? ExitCode::Ok : ExitCode::Usage;
    }
    return static_cast<int>(exitCode);
}
