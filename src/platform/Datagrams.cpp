#include "platform/Datagrams.h"

#include <charconv>

namespace miv {

bool parseDatagramTarget(const std::string& text, DatagramTarget& target)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    else if (host.find(':') != std::string::npos)
        return false;  // an IPv6 address needs its brackets
    int port = 0;
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, port);
    if (host.empty() || error != std::errc{} || end != last || port < 1 || port > 65535)
        return false;
    target = {std::move(host), port};
    return true;
}

}  // namespace miv
