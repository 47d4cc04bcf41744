#pragma once

#include <CLI/CLI.hpp>

#include "app/cli/ExitCodes.h"

namespace miv::cli {

// Each verb registers its options and the function that runs it; the function's
// result becomes the exit code.
void addTxCommand(CLI::App& app, ExitCode& exitCode);
void addRxCommand(CLI::App& app, ExitCode& exitCode);
void addChannelCommand(CLI::App& app, ExitCode& exitCode);
void addLogCommand(CLI::App& app, ExitCode& exitCode);
void addKeyCommand(CLI::App& app, ExitCode& exitCode);

}  // namespace miv::cli
