#include "station/CpuMonitor.h"

#include <algorithm>

namespace miv {

namespace {

constexpr const char* kTitle = "MIV";

}  // namespace

CpuMonitor::CpuMonitor(ProcessorTimes& source, OperatorMessages& messages) : source_(source), messages_(messages)
{
}

bool CpuMonitor::start()
{
    usable_ = false;
    if (!source_.collect()) {
        messages_.critical(kTitle, "Windows performance service disabled or broken!");
        return false;
    }
    measured_ = std::min(source_.processorCount(), kMaxProcessors);
    if (measured_ == 0) {
        messages_.critical(kTitle, "CPU usage query failed!");
        return false;
    }
    for (int i = 0; i < measured_; ++i) {
        previous_[static_cast<std::size_t>(i)] = source_.ticks(i);
        if (!previous_[static_cast<std::size_t>(i)]) {
            messages_.critical(kTitle, "CPU Usage Fail");
            return false;
        }
    }
    usable_ = true;
    return true;
}

float CpuMonitor::readLoad()
{
    if (!usable_)
        return 0.0f;
    const bool collected = source_.collect();
    float sum = 0.0f;
    for (int i = 0; i < measured_; ++i) {
        auto& previous = previous_[static_cast<std::size_t>(i)];
        const std::optional<ProcessorTicks> now = collected ? source_.ticks(i) : std::nullopt;
        if (now && previous && now->total > previous->total && now->busy >= previous->busy) {
            const auto busy = static_cast<double>(now->busy - previous->busy);
            const auto total = static_cast<double>(now->total - previous->total);
            sum += static_cast<float>(std::min(100.0, 100.0 * busy / total));
        }
        if (now)
            previous = now;
    }
    return sum / static_cast<float>(measured_);
}

}  // namespace miv
