#pragma once

#include <chrono>

namespace miv {

// The date and time in UTC to the second, for the log and the spots (the Clock gives
// only the time of day). Tests set it.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual std::chrono::sys_seconds now() const = 0;
};

class SystemWallClock final : public WallClock {
public:
    std::chrono::sys_seconds now() const override
    {
        return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    }
};

class ManualWallClock final : public WallClock {
public:
    explicit ManualWallClock(std::chrono::sys_seconds time = {}) : time_(time) {}
    void set(std::chrono::sys_seconds time) { time_ = time; }
    void advance(std::chrono::seconds by) { time_ += by; }
    std::chrono::sys_seconds now() const override { return time_; }

private:
    std::chrono::sys_seconds time_;
};

}  // namespace miv
