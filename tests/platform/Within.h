#pragma once

#include <chrono>
#include <thread>

namespace miv::test {

// Polls until `done` holds or `limit` has passed: a device, a server or a thread
// answers in its own time, and a generous limit keeps a broken one from hanging the suite.
template <typename Done>
bool within(std::chrono::seconds limit, Done done)
{
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

}  // namespace miv::test
