#include "platform/Clock.h"

#include <chrono>

namespace miv {

UtcTime SystemClock::utcNow() const
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const hh_mm_ss time{floor<seconds>(now - floor<days>(now))};
    return {static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count())};
}

}  // namespace miv
