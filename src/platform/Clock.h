#pragma once

namespace miv {

struct UtcTime {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
};

// The UTC time of day, for headers and reports. Tests and `--utc` set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual UtcTime utcNow() const = 0;
};

class SystemClock final : public Clock {
public:
    UtcTime utcNow() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(UtcTime time = {}) : time_(time) {}
    void set(UtcTime time) { time_ = time; }
    UtcTime utcNow() const override { return time_; }

private:
    UtcTime time_;
};

}  // namespace miv
