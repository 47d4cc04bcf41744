#pragma once

namespace miv::cli {

// What `miv-cli` returns, so scripts can tell the failures apart.
enum class ExitCode {
    Ok = 0,
    Usage = 2,        // bad options
    InputError = 3,   // missing, unreadable or malformed input
    OutputError = 4,  // output cannot be written
    Unsendable = 5,   // text holds a character with no 8-bit code
};

}  // namespace miv::cli
