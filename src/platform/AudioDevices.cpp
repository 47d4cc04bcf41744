#include "platform/AudioDevices.h"

#include <algorithm>
#include <set>

namespace miv {

std::vector<std::string> distinctDeviceNames(const std::vector<std::string>& descriptions)
{
    // Every description is taken first, so a suffix never lands on a device's own name.
    std::set<std::string> taken(descriptions.begin(), descriptions.end());
    std::vector<std::string> names;
    for (const std::string& description : descriptions) {
        if (std::find(names.begin(), names.end(), description) == names.end()) {
            names.push_back(description);
            continue;
        }
        const auto copyName = [&](int copy) { return description + " (" + std::to_string(copy) + ")"; };
        int copy = 2;
        while (!taken.insert(copyName(copy)).second)
            ++copy;
        names.push_back(copyName(copy));
    }
    return names;
}

std::string_view describedAs(std::string_view listedName)
{
    const auto open = listedName.rfind(" (");
    if (open == std::string_view::npos || !listedName.ends_with(')'))
        return listedName;
    const std::string_view number = listedName.substr(open + 2, listedName.size() - open - 3);
    const bool copyNumber = !number.empty() && number.front() != '0' &&
                            std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    return copyNumber ? listedName.substr(0, open) : listedName;
}

}  // namespace miv
