#pragma once

namespace miv {

// The window's title, which is also the title of messages that have none of their own.
inline constexpr const char* kProgramTitle = "MIV v2.5.0 Beta";
inline constexpr const char* kProgramVersion = "2.5.0 Beta";

}  // namespace miv
