#include "app/cli/Commands.h"

namespace miv::cli {

void addChannelCommand(CLI::App& app, int& /*exitCode*/)
{
    app.add_subcommand("channel", "(not built yet)");
}

}  // namespace miv::cli
