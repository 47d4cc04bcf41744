#include "platform/cpu/ProcStatProcessorTimes.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

namespace miv {

namespace {

// A per-processor line starts "cpu" and a digit; the total line has a space there.
bool isProcessorLine(const std::string& line)
{
    return line.size() > 3 && line.compare(0, 3, "cpu") == 0 && std::isdigit(static_cast<unsigned char>(line[3]));
}

}  // namespace

ProcStatProcessorTimes::ProcStatProcessorTimes(std::string path) : path_(std::move(path))
{
}

bool ProcStatProcessorTimes::collect()
{
    std::ifstream in(path_);
    if (!in)
        return false;
    processors_.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (isProcessorLine(line))
            processors_.push_back(parseLine(line));
    }
    return !in.bad();
}

std::optional<ProcessorTicks> ProcStatProcessorTimes::ticks(int processor) const
{
    if (processor < 0 || processor >= processorCount())
        return std::nullopt;
    return processors_[static_cast<std::size_t>(processor)];
}

std::optional<ProcessorTicks> ProcStatProcessorTimes::parseLine(const std::string& line)
{
    // user nice system idle iowait irq softirq steal; guest time is already in user.
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    std::uint64_t value[8] = {};
    int read = 0;
    while (read < 8 && fields >> value[read])
        ++read;
    if (read < 4)
        return std::nullopt;
    const std::uint64_t idle = value[3] + value[4];
    const std::uint64_t busy = value[0] + value[1] + value[2] + value[5] + value[6] + value[7];
    return ProcessorTicks{busy, busy + idle};
}

}  // namespace miv
