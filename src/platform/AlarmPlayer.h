#pragma once

#include <span>
#include <string>

namespace miv {

struct AlarmTone {
    int frequencyHz;
    int durationMs;
};

// Sounds the acquisition alarm for the operator. It must never reach the transmitter:
// the alarm plays on another output than the one that feeds the radio, or not at all.
class AlarmPlayer {
public:
    virtual ~AlarmPlayer() = default;
    // Returns at once; the tones play one after the other. transmitDevice is the output
    // device the transmitter uses, as the sound-card settings name it ("" for the
    // system's default output).
    virtual void play(std::span<const AlarmTone> tones, const std::string& transmitDevice) = 0;
};

}  // namespace miv
