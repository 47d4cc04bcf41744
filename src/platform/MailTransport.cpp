#include "platform/MailTransport.h"

#include <algorithm>

namespace miv {

bool validMailHost(std::string_view host)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        const std::string_view inner = host.substr(1, host.size() - 2);
        return std::all_of(inner.begin(), inner.end(), [&](char c) {
            return digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
        });
    }
    return !host.empty() && std::all_of(host.begin(), host.end(), [&](char c) {
        return digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == '_';
    });
}

}  // namespace miv
