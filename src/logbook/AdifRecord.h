#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miv {

struct AdifField {
    std::string name;  // upper case, as written
    std::string value;

    friend bool operator==(const AdifField&, const AdifField&) = default;
};

// One ADIF record: its fields in the order they were set or read. Names compare without
// regard to case, as ADIF defines them.
class AdifRecord {
public:
    // Replaces a field of that name, or appends it; an empty value removes it, since ADIF
    // has no empty fields.
    void set(std::string_view name, std::string value);
    std::optional<std::string> get(std::string_view name) const;
    const std::vector<AdifField>& fields() const { return fields_; }

    friend bool operator==(const AdifRecord&, const AdifRecord&) = default;

private:
    std::vector<AdifField> fields_;
};

// ADIF text is ASCII: other characters become '?', one per code point (UTF-8 in), and
// line breaks become spaces so a record never changes what the lines of a file mean.
std::string adifText(std::string_view utf8);

// "<NAME:len>value" per field, then "<EOR>" and a line break: the whole record as one
// write, so a record never interleaves with one another program appends.
std::string formatAdifRecord(const AdifRecord& record);

// The header that opens a new log file.
std::string formatAdifHeader(std::string_view programVersion, std::chrono::sys_seconds created);

// ADIF's date and time fields: "YYYYMMDD" and "HHMMSS".
std::string adifDate(std::chrono::sys_seconds time);
std::string adifTime(std::chrono::sys_seconds time);

}  // namespace miv
