#include "app/cli/Commands.h"

namespace miv::cli {

void addTxCommand(CLI::App& app, int& /*exitCode*/)
{
    app.add_subcommand("tx", "(not built yet)");
}

}  // namespace miv::cli
