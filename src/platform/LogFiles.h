#pragma once

#include <map>
#include <string>
#include <string_view>

namespace miv {

// The outcome of appending to a log; `error` says why in a sentence the operator can act
// on.
struct LogAppend {
    bool ok = true;
    std::string error;
    explicit operator bool() const { return ok; }
};

// Log files that only ever grow. Other programs may append to the same file: a record
// goes in whole, at the end as the file stands at that moment, never rewriting it.
class LogFiles {
public:
    virtual ~LogFiles() = default;
    // Appends record, preceded by header when the file is new or empty.
    virtual LogAppend append(const std::string& path, std::string_view header, std::string_view record) = 0;
};

// The log of tests and of a station that should leave the disk alone.
class MemoryLogFiles final : public LogFiles {
public:
    LogAppend append(const std::string& path, std::string_view header, std::string_view record) override
    {
        if (failWrites)
            return {false, "The log could not be written to memory: writes refused"};
        std::string& file = files[path];
        if (file.empty())
            file += header;
        file += record;
        return {};
    }

    std::map<std::string, std::string> files;
    bool failWrites = false;
};

}  // namespace miv
