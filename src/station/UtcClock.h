#pragma once

#include <array>

#include "platform/Clock.h"

namespace miv {

// The UTC time as the window's clock last read it, once a second: headers and reports
// read this, never the system clock, so they agree with the digits on screen.
class UtcClock final : public Clock {
public:
    explicit UtcClock(const Clock& source) : source_(source) { update(); }

    void update() { last_ = source_.utcNow(); }
    UtcTime utcNow() const override { return last_; }
    // Tens of hours, hours, tens of minutes, minutes.
    std::array<int, 4> digits() const
    {
        return {last_.hour / 10, last_.hour % 10, last_.minute / 10, last_.minute % 10};
    }

private:
    const Clock& source_;
    UtcTime last_;
};

}  // namespace miv
