#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miv {

// An INI text kept line by line, so that writing a few keys leaves everything else
// (other sections, unknown keys, comments, blank lines) as it was. Section and key
// names are matched without regard to letter case and may hold spaces
// ("Tarjeta Sonido", "Detector De Modo"); the first section or key of a name wins.
//
// A value is the text after the first "=", without the spaces around it; one pair of
// double quotes around it is removed, which is how a value with leading or trailing
// spaces is written.
class IniDocument {
public:
    IniDocument() = default;
    // Reads LF or CR LF lines; a UTF-8 byte-order mark is dropped.
    static IniDocument parse(std::string_view text);
    // The document with LF line ends.
    std::string text() const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the key's value, or adds the key after the last key of its section, or the
    // section at the end. Line breaks in the value become spaces: a value is one line.
    void set(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class Kind { Section, Entry, Other };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;   // as read, or as written by set
        std::string name;  // section name or key
        std::string value;
    };

    // Index of the first line after the section's header, or nullopt.
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t begin) const;

    std::vector<Line> lines_;
};

}  // namespace miv
