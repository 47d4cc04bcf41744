#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/AudioSink.h"
#include "platform/AudioSource.h"

namespace miv {

// The entry that lists may start with for the device the desktop has chosen.
inline constexpr const char* kDefaultAudioDevice = "Default";

// The machine's sound devices as the sound-card dialog lists them, and the streams
// opened on them. A device is chosen by its position in the list; a position outside
// the list (-1 when nothing is chosen) means the system's default device.
class AudioDevices {
public:
    virtual ~AudioDevices() = default;
    virtual std::vector<std::string> captureDevices() = 0;
    virtual std::vector<std::string> playbackDevices() = 0;
    virtual std::unique_ptr<AudioSource> makeSource(int position) = 0;
    virtual std::unique_ptr<AudioSink> makeSink(int position) = 0;
};

}  // namespace miv
