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
    // The fields in the kernel's order; guest time is already in user. Kernels before
    // 2.6 give the first four only.
    enum Field { User, Nice, System, Idle, IoWait, Irq, SoftIrq, Steal, FieldsUsed };
    constexpr int kOldestFields = IoWait;
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    std::uint64_t value[FieldsUsed] = {};
    int read = 0;
    while (read < FieldsUsed && fields >> value[read])
        ++read;
    if (read < kOldestFields)
        return std::nullopt;
    const std::uint64_t idle = value[Idle] + value[IoWait];
    const std::uint64_t busy = value[User] + value[Nice] + value[System] + value[Irq] + value[SoftIrq] + value[Steal];
    return ProcessorTicks{busy, busy + idle};
}

}  // namespace miv
