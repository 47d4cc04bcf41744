#pragma once

#include <filesystem>

#include "platform/LogFiles.h"

namespace miv {

// Log files on disk. Each record opens the file for appending, goes in with one write()
// (with the header when the file is empty) and is fsync'd before the file closes: a
// program appending to the same file between two records loses nothing, and a crash
// after OK leaves the record on disk. Missing directories are made.
class FileLogFiles final : public LogFiles {
public:
    LogAppend append(const std::string& path, std::string_view header, std::string_view record) override;
};

// $XDG_DATA_HOME/MIV/miv_log.adi, else ~/.local/share/MIV/miv_log.adi. A relative
// XDG_DATA_HOME is ignored, as the base-directory rules ask.
std::filesystem::path defaultLogPath();

}  // namespace miv
