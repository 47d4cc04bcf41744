#pragma once

#include <array>
#include <optional>

#include "platform/OperatorMessages.h"
#include "platform/ProcessorTimes.h"

namespace miv {

// The processor load the CPU gauge and the e-mail report show: the busy percentage of
// the first two processors, averaged, over the time since the previous reading.
class CpuMonitor {
public:
    CpuMonitor(ProcessorTimes& source, OperatorMessages& messages);

    // Once at start-up. False, after telling the operator why, when the load cannot be
    // measured; the CPU refresh then stays off.
    bool start();
    // Percent since the previous reading (or the start). A processor whose reading
    // fails counts as 0.
    float readLoad();

private:
    static constexpr int kMaxProcessors = 2;

    ProcessorTimes& source_;
    OperatorMessages& messages_;
    bool usable_ = false;
    int measured_ = 0;
    std::array<std::optional<ProcessorTicks>, kMaxProcessors> previous_{};
};

}  // namespace miv
