#include "mail/Addresses.h"

#include <algorithm>

#include "config/AsciiCase.h"

namespace miv {

namespace {

// Bounds of an address around its "@", counted from the "@".
constexpr long kMaxBefore = 30;
constexpr long kMaxAfter = 20;

}  // namespace

std::vector<std::string> findAddresses(std::string_view text)
{
    // Positions count from 1, as the search is defined.
    const long length = static_cast<long>(text.size());
    const auto at = [&](long position) { return text[static_cast<std::size_t>(position - 1)]; };

    std::vector<std::string> found;
    for (long p = 3; p <= length - 5; ++p) {
        if (at(p) != '@')
            continue;
        bool bad = false;
        long start = 0;
        for (long i = p - 1; i >= 1; --i) {
            if (at(i) == '<') {
                start = i;
                break;
            }
            bad = bad || at(i) == '@' || p - i > kMaxBefore;
        }
        bad = bad || start == 0;
        long end = 0;
        for (long i = p + 1; i <= length; ++i) {
            if (at(i) == '>') {
                end = i;
                break;
            }
            bad = bad || at(i) == '@' || i - p > kMaxAfter;
        }
        if (end == 0 || bad)
            continue;
        found.emplace_back(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start - 1)));
        if (found.size() == kMaxReportAddresses)
            break;
    }
    return found;
}

std::string_view trimAddress(std::string_view address)
{
    const auto first = address.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return address.substr(first, address.find_last_not_of(' ') - first + 1);
}

bool addressCharactersValid(std::string_view address)
{
    const std::string_view trimmed = trimAddress(address);
    if (trimmed.empty())
        return false;
    bool previousSymbol = false;
    std::size_t atSign = std::string_view::npos;
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const char c = asciiLower(trimmed[i]);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            previousSymbol = false;
            continue;
        }
        if (c != '_' && c != '-' && c != '.' && c != '@')
            return false;
        if (previousSymbol || i == 0 || i == trimmed.size() - 1)
            return false;
        if (c == '@') {
            if (atSign != std::string_view::npos)
                return false;
            atSign = i;
        }
        if (c == '.')
            lastDot = i;
        previousSymbol = true;
    }
    return atSign != std::string_view::npos && lastDot != std::string_view::npos && lastDot > atSign;
}

bool addressStructureValid(std::string_view address)
{
    if (address.empty() || std::count(address.begin(), address.end(), '@') != 1 || address.front() == '@' ||
        address.back() == '@')
        return false;
    const auto lastDot = address.rfind('.');
    const std::string_view ending = lastDot == std::string_view::npos ? address : address.substr(lastDot + 1);
    if (!topLevelDomainValid(ending) || address.size() < 6)
        return false;
    return address[address.find('@') + 1] != '.';
}

bool topLevelDomainValid(std::string_view ending)
{
    std::string wanted(1, '.');
    wanted.append(ending.starts_with('.') ? ending.substr(1) : ending);
    const auto same = [](char a, char b) { return asciiUpper(a) == asciiUpper(b); };
    return std::search(kTopLevelDomainList.begin(), kTopLevelDomainList.end(), wanted.begin(), wanted.end(), same) !=
           kTopLevelDomainList.end();
}

}  // namespace miv
