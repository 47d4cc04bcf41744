#pragma once

#include <CLI/CLI.hpp>

namespace miv::cli {

// Each verb registers its options and the function that runs it; the function's
// result becomes the exit code (see ExitCodes.h).
void addTxCommand(CLI::App& app, int& exitCode);
void addRxCommand(CLI::App& app, int& exitCode);
void addChannelCommand(CLI::App& app, int& exitCode);

}  // namespace miv::cli
