#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace miv {

// What reading the settings file gave.
struct SettingsLoad {
    enum class Status { Loaded, Missing, Failed };
    Status status = Status::Missing;
    std::string text;   // the whole file when Loaded
    std::string error;  // why, when Failed
};

// The outcome of writing the settings file; `error` says why in a sentence the operator
// can act on.
struct SettingsSave {
    bool ok = true;
    std::string error;
    explicit operator bool() const { return ok; }
};

// Where the settings file lives. The settings layer reads and rewrites it whole; the
// store only moves the text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The very file that load and save use; false on the first run.
    virtual bool exists() const = 0;
    virtual SettingsLoad load() const = 0;
    virtual SettingsSave save(std::string_view text) = 0;
    // The file's name for messages.
    virtual std::string location() const = 0;
};

// The settings file of tests and of a command line that should leave the disk alone.
class MemorySettingsStore final : public SettingsStore {
public:
    MemorySettingsStore() = default;
    explicit MemorySettingsStore(std::string text) : text_(std::move(text)) {}

    bool exists() const override { return text_.has_value(); }
    SettingsLoad load() const override
    {
        if (!text_)
            return {};
        return {SettingsLoad::Status::Loaded, *text_, {}};
    }
    SettingsSave save(std::string_view text) override
    {
        if (failWrites)
            return {false, "The settings could not be saved to memory: writes refused"};
        text_ = std::string(text);
        return {};
    }
    std::string location() const override { return "memory"; }

    const std::optional<std::string>& text() const { return text_; }
    bool failWrites = false;

private:
    std::optional<std::string> text_;
};

}  // namespace miv
