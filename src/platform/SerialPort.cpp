#include "platform/SerialPort.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace miv {

namespace {

// Built-in ports keep the order of their numbers (ttyS2 before ttyS10); a number too
// long for any machine is not one.
constexpr int kMostBuiltInDigits = 5;

std::optional<int> builtInNumber(const std::string& name)
{
    constexpr std::string_view kPrefix = "ttyS";
    if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + kMostBuiltInDigits ||
        !name.starts_with(kPrefix))
        return std::nullopt;
    int number = 0;
    for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return std::nullopt;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

}  // namespace

ComAssignment assignComPorts(std::vector<SerialDeviceInfo> devices)
{
    auto key = [](const SerialDeviceInfo& d) {
        const auto number = builtInNumber(d.name);
        return std::make_tuple(number ? 0 : 1, number.value_or(0), d.path, d.name);
    };
    std::sort(devices.begin(), devices.end(),
              [&](const SerialDeviceInfo& a, const SerialDeviceInfo& b) { return key(a) < key(b); });
    ComAssignment assignment;
    for (std::size_t i = 0; i < devices.size() && i < assignment.size(); ++i)
        assignment[i] = devices[i];
    return assignment;
}

bool FakeSerialPort::probe(const std::string& device)
{
    log.push_back("probe " + device);
    return present.count(device) != 0;
}

bool FakeSerialPort::open(const std::string& device)
{
    log.push_back("open " + device);
    if (isOpen() || present.count(device) == 0 || refusing.count(device) != 0)
        return false;
    openDevice_ = device;
    keyed_.push_back(device);
    return true;
}

void FakeSerialPort::close()
{
    if (!isOpen())
        return;
    log.push_back("close " + openDevice_);
    openDevice_.clear();
}

}  // namespace miv
