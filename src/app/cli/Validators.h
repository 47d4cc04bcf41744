#pragma once

#include <CLI/CLI.hpp>

namespace miv::cli {

// NaN passes CLI11's range checks, and NaN or infinite settings turn a whole output into
// silence or a wait into forever.
CLI::Validator finiteNumber();
// A whole number from 0 to 2^64 - 1 as written: CLI11 would wrap "-1" and saturate
// "1e23", giving different seeds the same noise.
CLI::Validator unsigned64();

}  // namespace miv::cli
