#include "logbook/ContactText.h"

#include <algorithm>
#include <array>

#include "config/AsciiCase.h"
#include "logbook/AdifReader.h"

namespace miv {

namespace {

struct Word {
    std::string text;   // as written
    std::string upper;  // for matching
    bool endsPhrase;    // punctuation or a line break follows
};

bool wordCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
           static_cast<unsigned char>(c) >= 0x80;  // letters of other alphabets, in names and places
}

std::vector<Word> words(std::string_view text)
{
    std::vector<Word> out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!wordCharacter(text[i])) {
            const char c = text[i++];
            if (!out.empty() &&
                (c == '.' || c == ',' || c == ';' || c == '!' || c == '?' || c == '=' || c == '\n' || c == '\r'))
                out.back().endsPhrase = true;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && wordCharacter(text[i]))
            ++i;
        Word word{std::string(text.substr(start, i - start)), {}, false};
        word.upper = word.text;
        for (char& c : word.upper)
            c = asciiUpper(c);
        out.push_back(std::move(word));
    }
    return out;
}

bool isOneOf(const std::string& word, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

// Words that sit between a keyword and what it introduces: "name is", "rst: 599", "ur rst".
bool filler(const std::string& word)
{
    return isOneOf(word, {"IS", "MY", "HR", "HERE", "RST", "UR", "YOUR"});
}

// Words that end a place name: the next item of the contact.
bool stopWord(const std::string& word)
{
    return isOneOf(word, {"NAME", "OP", "QTH", "LOC", "LOCATOR", "GRID", "QRA", "RST", "UR",  "ES", "AND", "DE",
                          "K",    "KN", "BK",  "PSE", "TNX",     "TU",   "73",  "RIG", "ANT", "WX", "SK"});
}

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

bool letter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// An RST of two or three figures, "N" standing for 9 as in "5NN".
std::string report(const std::string& word)
{
    const auto figure = [](char c) { return (c >= '1' && c <= '9') || c == 'N'; };
    if (word.size() < 2 || word.size() > 3 || word[0] < '1' || word[0] > '5' || !figure(word[1]) ||
        (word.size() == 3 && !figure(word[2])))
        return {};
    std::string out = word;
    std::replace(out.begin(), out.end(), 'N', '9');  // cut numbers: 5NN
    return out;
}

bool alphabetic(const std::string& word)
{
    return std::none_of(word.begin(), word.end(), [](char c) { return (c >= '0' && c <= '9') || c == '/'; });
}

// The first word after keyword position k, past fillers; -1 when there is none.
std::ptrdiff_t after(const std::vector<Word>& list, std::size_t k)
{
    std::size_t i = k + 1;
    while (i < list.size() && filler(list[i].upper) && !list[i - 1].endsPhrase)
        ++i;
    if (i >= list.size() || list[i - 1].endsPhrase)
        return -1;
    return static_cast<std::ptrdiff_t>(i);
}

constexpr std::size_t kLongestPlaceWords = 4;

// The callsign proper: a prefix of one letter, of two characters (not two figures) or of
// a figure and two letters, a figure, then up to four letters and figures ending in a letter.
bool baseCallsign(std::string_view part)
{
    const auto fitsAfterPrefix = [&](std::size_t prefix) {
        if (part.size() < prefix + 2 || part.size() > prefix + 5 || !digit(part[prefix]))
            return false;
        const std::string_view suffix = part.substr(prefix + 1);
        return letter(suffix.back()) &&
               std::all_of(suffix.begin(), suffix.end(), [](char c) { return letter(c) || digit(c); });
    };
    if (part.empty())
        return false;
    if (letter(part[0]) && fitsAfterPrefix(1))
        return true;
    if (part.size() >= 2 && (letter(part[0]) || letter(part[1])) && (letter(part[0]) || digit(part[0])) &&
        (letter(part[1]) || digit(part[1])) && fitsAfterPrefix(2))
        return true;
    return part.size() >= 3 && digit(part[0]) && letter(part[1]) && letter(part[2]) && fitsAfterPrefix(3);  // 3DA0
}

}  // namespace

bool looksLikeCallsign(std::string_view word)
{
    std::string upper(word);
    for (char& c : upper)
        c = asciiUpper(c);
    if (upper.size() >= 4 && validLocator(upper))
        return false;
    // "EA8/DL1ABC", "DL1ABC/P", "EA8/DL1ABC/MM": one callsign proper, short parts around it.
    std::vector<std::string_view> parts;
    std::string_view rest = upper;
    for (std::size_t slash; (slash = rest.find('/')) != std::string_view::npos;) {
        parts.push_back(rest.substr(0, slash));
        rest.remove_prefix(slash + 1);
    }
    parts.push_back(rest);
    if (parts.size() > 3)
        return false;
    int proper = 0;
    for (std::string_view part : parts) {
        const bool shortPart = !part.empty() && part.size() <= 4 &&
                               std::all_of(part.begin(), part.end(), [](char c) { return letter(c) || digit(c); });
        if (baseCallsign(part))
            ++proper;
        else if (!shortPart)
            return false;
    }
    return proper >= 1;
}

std::vector<std::string> callsignsIn(std::string_view text)
{
    std::vector<std::string> out;
    for (const Word& word : words(text))
        if (looksLikeCallsign(word.upper))
            out.push_back(word.upper);
    return out;
}

ContactDetails contactDetails(std::string_view text, std::string_view ownCallsign)
{
    const std::vector<Word> list = words(text);
    ContactDetails details;
    std::string own(ownCallsign);
    for (char& c : own)
        c = asciiUpper(c);
    std::string firstOther;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const std::string& word = list[k].upper;
        if (looksLikeCallsign(word) && word != own && firstOther.empty())
            firstOther = word;
        const std::ptrdiff_t next = after(list, k);
        if (next < 0)
            continue;
        const Word& value = list[static_cast<std::size_t>(next)];
        if (word == "DE" && looksLikeCallsign(value.upper) && value.upper != own) {
            details.callsign = value.upper;
        } else if ((word == "UR" || word == "RST") && !report(value.upper).empty()) {
            details.report = report(value.upper);
        } else if ((word == "NAME" || word == "OP") && alphabetic(value.upper) && !stopWord(value.upper)) {
            details.name = value.text;
        } else if ((word == "LOC" || word == "LOCATOR" || word == "GRID" || word == "QRA") &&
                   validLocator(value.upper) && value.upper.size() >= 4) {
            details.locator = value.upper;
        } else if (word == "QTH" && !stopWord(value.upper)) {
            std::string place = value.text;
            for (std::size_t i = static_cast<std::size_t>(next) + 1;
                 i < list.size() && i < static_cast<std::size_t>(next) + kLongestPlaceWords &&
                 !list[i - 1].endsPhrase && !stopWord(list[i].upper);
                 ++i)
                place += ' ' + list[i].text;
            details.qth = place;
        }
    }
    if (details.callsign.empty())
        details.callsign = firstOther;
    if (details.locator.empty())
        for (const Word& word : list)
            if (word.upper.size() == 6 && validLocator(word.upper))
                details.locator = word.upper;  // a full locator needs no keyword
    return details;
}

}  // namespace miv
