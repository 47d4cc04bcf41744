#include "config/IniDocument.h"

#include <algorithm>

#include "config/AsciiCase.h"

namespace miv {

namespace {

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string unquote(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string quoteIfNeeded(std::string value)
{
    const bool needsQuotes = !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                                                value.back() == '\t' || value.front() == '"');
    return needsQuotes ? '"' + value + '"' : value;
}

}  // namespace

IniDocument IniDocument::parse(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    IniDocument document;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);

        Line line{Kind::Other, std::string(raw), {}, {}};
        const std::string_view content = trim(raw);
        if (!content.empty() && content.front() == '[') {
            if (const auto close = content.find(']'); close != std::string_view::npos) {
                line.kind = Kind::Section;
                line.name = trim(content.substr(1, close - 1));
            }
        } else if (!content.empty() && content.front() != ';' && content.front() != '#') {
            if (const auto equals = content.find('='); equals != std::string_view::npos && equals > 0) {
                line.kind = Kind::Entry;
                line.name = trim(content.substr(0, equals));
                line.value = unquote(trim(content.substr(equals + 1)));
            }
        }
        document.lines_.push_back(std::move(line));
    }
    return document;
}

std::string IniDocument::text() const
{
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && sameIgnoringAsciiCase(lines_[i].name, section))
            return i + 1;
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t begin) const
{
    std::size_t i = begin;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const auto begin = findSection(section);
    if (!begin)
        return std::nullopt;
    const std::size_t end = sectionEnd(*begin);
    for (std::size_t i = *begin; i < end; ++i) {
        if (lines_[i].kind == Kind::Entry && sameIgnoringAsciiCase(lines_[i].name, key))
            return lines_[i].value;
    }
    return std::nullopt;
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    std::string oneLine(value);
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    const auto begin = findSection(section);
    if (!begin) {
        if (!lines_.empty() && !trim(lines_.back().raw).empty())
            lines_.push_back({Kind::Other, "", {}, {}});
        lines_.push_back({Kind::Section, "[" + std::string(section) + "]", std::string(section), {}});
        lines_.push_back({Kind::Entry, std::string(key) + "=" + quoteIfNeeded(oneLine), std::string(key), oneLine});
        return;
    }
    const std::size_t end = sectionEnd(*begin);
    std::size_t insertAt = *begin;
    for (std::size_t i = *begin; i < end; ++i) {
        if (lines_[i].kind != Kind::Entry)
            continue;
        if (sameIgnoringAsciiCase(lines_[i].name, key)) {
            // The key keeps the spelling the file gave it.
            lines_[i].raw = lines_[i].name + "=" + quoteIfNeeded(oneLine);
            lines_[i].value = oneLine;
            return;
        }
        insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  {Kind::Entry, std::string(key) + "=" + quoteIfNeeded(oneLine), std::string(key), oneLine});
}

}  // namespace miv
