#include "platform/SerialPort.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace miv {

namespace {

// Built-in ports keep the order of their numbers (ttyS2 before ttyS10).
std::optional<int> builtInNumber(const std::string& name)
{
    if (name.size() <= 4 || name.compare(0, 4, "ttyS") != 0)
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 4; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 9999)
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
