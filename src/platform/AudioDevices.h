#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AudioSink.h"
#include "platform/AudioSource.h"

namespace miv {

// The entry that lists may start with for the device the desktop has chosen.
inline constexpr const char* kDefaultAudioDevice = "Default";

// The machine's sound devices as the sound-card dialog lists them, and the streams
// opened on them. A device is chosen by its position in the list; a position outside
// the list (-1 when nothing is chosen) means the system's default device. The settings
// keep the chosen name, so no two names in a list are alike.
class AudioDevices {
public:
    virtual ~AudioDevices() = default;
    virtual std::vector<std::string> captureDevices() = 0;
    virtual std::vector<std::string> playbackDevices() = 0;
    virtual std::unique_ptr<AudioSource> makeSource(int position) = 0;
    virtual std::unique_ptr<AudioSink> makeSink(int position) = 0;
};

// The names a list shows for devices described by `descriptions`, in their order: two
// devices may describe themselves alike, and then the second and later take a suffix
// (" (2)", " (3)", ...) that no other name has. A description nobody shares is kept.
std::vector<std::string> distinctDeviceNames(const std::vector<std::string>& descriptions);

// The description a listed name was made from: the name without such a suffix.
std::string_view describedAs(std::string_view listedName);

}  // namespace miv
