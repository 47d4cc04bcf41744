#pragma once

#include <cstdint>
#include <optional>

namespace miv {

// Cumulative time a processor has spent, in the source's ticks.
struct ProcessorTicks {
    std::uint64_t busy = 0;
    std::uint64_t total = 0;
};

// Per-processor busy time, read on demand; the CPU gauge turns two readings into a load.
class ProcessorTimes {
public:
    virtual ~ProcessorTimes() = default;
    // Takes a new reading of every processor; false when the source cannot be read.
    virtual bool collect() = 0;
    // Processors in the latest reading.
    virtual int processorCount() const = 0;
    // Processor i (from 0) in the latest reading; nothing when its entry is unreadable.
    virtual std::optional<ProcessorTicks> ticks(int processor) const = 0;
};

}  // namespace miv
