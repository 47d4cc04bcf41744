#include "app/cli/Commands.h"

namespace miv::cli {

void addRxCommand(CLI::App& app, int& /*exitCode*/)
{
    app.add_subcommand("rx", "(not built yet)");
}

}  // namespace miv::cli
