#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "platform/SettingsStore.h"

namespace miv {

// A settings dialog as the live store of its section of the settings file: while the
// dialog is loaded its fields are what everyone reads, edits included; once it is
// unloaded (SAVE or CLOSE), the next read takes the section from the file again, so
// CLOSE discards the edits.
template <typename Section>
class LiveSection {
public:
    using Read = std::function<Section()>;
    using Write = std::function<SettingsSave(const Section&)>;

    LiveSection(Read read, Write write) : read_(std::move(read)), write_(std::move(write)) {}

    Section value() const { return loaded_ ? *loaded_ : read_(); }
    bool loaded() const { return loaded_.has_value(); }

    // The dialog's load: its fields from the file.
    const Section& load()
    {
        loaded_ = read_();
        return *loaded_;
    }
    // Any change of a field of the loaded dialog.
    void edit(Section section) { loaded_ = std::move(section); }
    // SAVE: the section to the file, then the dialog unloads. A refused write leaves
    // the dialog loaded with the section, so nothing typed is lost and it still counts.
    SettingsSave save(const Section& section)
    {
        const SettingsSave result = write_(section);
        if (result)
            loaded_.reset();
        else
            loaded_ = section;
        return result;
    }
    // CLOSE.
    void unload() { loaded_.reset(); }

private:
    Read read_;
    Write write_;
    std::optional<Section> loaded_;
};

}  // namespace miv
