#include <CLI/CLI.hpp>

#include "app/cli/Commands.h"
#include "app/cli/ExitCodes.h"

int main(int argc, char** argv)
{
    CLI::App app{
        "MIV modem on the command line: encode text to audio, decode audio to text, "
        "and simulate a radio channel"};
    app.require_subcommand(1);
    int exitCode = miv::cli::kExitOk;
    miv::cli::addTxCommand(app, exitCode);
    miv::cli::addRxCommand(app, exitCode);
    miv::cli::addChannelCommand(app, exitCode);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? miv::cli::kExitOk : miv::cli::kExitUsage;
    }
    return exitCode;
}
