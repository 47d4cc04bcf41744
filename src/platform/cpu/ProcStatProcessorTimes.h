#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessorTimes.h"

namespace miv {

// Processor times from the kernel's /proc/stat: the "cpuN" lines in the order listed.
class ProcStatProcessorTimes final : public ProcessorTimes {
public:
    explicit ProcStatProcessorTimes(std::string path = "/proc/stat");

    bool collect() override;
    int processorCount() const override { return static_cast<int>(processors_.size()); }
    std::optional<ProcessorTicks> ticks(int processor) const override;

    // One "cpuN" line; nothing when its fields are not numbers.
    static std::optional<ProcessorTicks> parseLine(const std::string& line);

private:
    std::string path_;
    std::vector<std::optional<ProcessorTicks>> processors_;
};

}  // namespace miv
