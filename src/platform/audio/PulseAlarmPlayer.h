#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "platform/AlarmPlayer.h"

namespace miv {

// Plays the alarm on the sound server's default output, on a thread of its own so the
// window never waits. When the default output is the transmitter's, or the server
// cannot be asked, it calls `beep` instead (on the player's thread: the caller hands it
// to its own). An alarm asked for while one is still sounding is dropped.
class PulseAlarmPlayer final : public AlarmPlayer {
public:
    explicit PulseAlarmPlayer(std::function<void()> beep);
    ~PulseAlarmPlayer() override;
    // Owns a running thread.
    PulseAlarmPlayer(const PulseAlarmPlayer&) = delete;
    PulseAlarmPlayer& operator=(const PulseAlarmPlayer&) = delete;

    void play(std::span<const AlarmTone> tones, const std::string& transmitDevice) override;

private:
    std::function<void()> beep_;
    std::atomic<bool> sounding_{false};
    std::thread worker_;
};

}  // namespace miv
