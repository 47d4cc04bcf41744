#pragma once

#include <filesystem>

#include "platform/SettingsStore.h"

namespace miv {

// The settings file on disk. It holds a password, so it is written with mode 0600, and
// missing directories are made with mode 0700. A save replaces the file in one step (a
// temporary file beside it, then a rename), so a failed save leaves the old file whole.
class FileSettingsStore final : public SettingsStore {
public:
    explicit FileSettingsStore(std::filesystem::path path) : path_(std::move(path)) {}

    bool exists() const override;
    SettingsLoad load() const override;
    SettingsSave save(std::string_view text) override;
    std::string location() const override { return path_.string(); }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// $XDG_CONFIG_HOME/MIV/MIV.ini, else ~/.config/MIV/MIV.ini. A relative XDG_CONFIG_HOME
// is ignored, as the base-directory rules ask.
std::filesystem::path defaultSettingsPath();
// The same from given values of the two variables (null when unset).
std::filesystem::path defaultSettingsPath(const char* xdgConfigHome, const char* home);

}  // namespace miv
