#pragma once

#include <string>
#include <vector>

#include "platform/AudioDevices.h"

namespace miv {

// The sound server's capture and playback devices (PulseAudio, or PipeWire through
// its PulseAudio service), 48 kHz mono 16-bit, each stream on an audio thread of its
// own. The lists start with kDefaultAudioDevice, the device the desktop has chosen,
// followed by the server's devices by their descriptions, made distinct. Without a
// server the lists hold only that first entry, and opening fails.
class PulseAudioDevices final : public AudioDevices {
public:
    std::vector<std::string> captureDevices() override;
    std::vector<std::string> playbackDevices() override;
    std::unique_ptr<AudioSource> makeSource(int position) override;
    std::unique_ptr<AudioSink> makeSink(int position) override;

private:
    struct Device {
        std::string name;         // the server's name, to open it
        std::string description;  // what the operator sees
    };
    void refresh();
    static std::vector<std::string> names(const std::vector<Device>& devices);
    static std::string serverName(const std::vector<Device>& devices, int position);

    std::vector<Device> sources_;
    std::vector<Device> sinks_;
    bool listed_ = false;
};

}  // namespace miv
