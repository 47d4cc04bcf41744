#pragma once

namespace miv {

// MIV_VERSION_TEXT ("2.5.0 Beta") is the project's version, set in CMakeLists.txt.
// The window's title, which is also the title of messages that have none of their own.
inline constexpr const char* kProgramTitle = "MIV v" MIV_VERSION_TEXT;
inline constexpr const char* kProgramVersion = MIV_VERSION_TEXT;

}  // namespace miv
