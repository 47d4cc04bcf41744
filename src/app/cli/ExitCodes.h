#pragma once

namespace miv::cli {

// What `miv-cli` returns, so scripts can tell the failures apart.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,        // bad options
    kExitInputError = 3,   // missing, unreadable or malformed input
    kExitOutputError = 4,  // output cannot be written
    kExitUnsendable = 5,   // text holds a character with no 8-bit code
};

}  // namespace miv::cli
