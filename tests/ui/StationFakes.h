#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/AlarmPlayer.h"
#include "platform/AudioDevices.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/ProcessorTimes.h"
#include "platform/SettingsStore.h"
#include "station/Station.h"

namespace miv::testing {

// Two processors, each busy a quarter of the time since the last reading.
class SteadyProcessorTimes final : public ProcessorTimes {
public:
    bool collect() override
    {
        ++readings_;
        return true;
    }
    int processorCount() const override { return 2; }
    std::optional<ProcessorTicks> ticks(int) const override
    {
        return ProcessorTicks{static_cast<std::uint64_t>(readings_) * 25, static_cast<std::uint64_t>(readings_) * 100};
    }

private:
    int readings_ = 0;
};

class RecordingAlarm final : public AlarmPlayer {
public:
    void play(std::span<const AlarmTone> tones, const std::string& transmitDevice) override
    {
        played.push_back({tones.begin(), tones.end()});
        devices.push_back(transmitDevice);
    }
    std::vector<std::vector<AlarmTone>> played;
    std::vector<std::string> devices;
};

// No sound card: the lists hold what the test says, and nothing opens.
class NoSoundCard final : public AudioDevices {
public:
    std::vector<std::string> captureDevices() override { return capture; }
    std::vector<std::string> playbackDevices() override { return playback; }
    std::unique_ptr<AudioSource> makeSource(int position) override
    {
        sourcePositions.push_back(position);
        return nullptr;
    }
    std::unique_ptr<AudioSink> makeSink(int position) override
    {
        sinkPositions.push_back(position);
        return nullptr;
    }

    std::vector<std::string> capture{kDefaultAudioDevice, "USB Audio CODEC"};
    std::vector<std::string> playback{kDefaultAudioDevice, "USB Audio CODEC", "Speakers"};
    std::vector<int> sourcePositions;
    std::vector<int> sinkPositions;
};

// Everything a station needs, none of it real.
struct FakePlatform {
    FixedClock clock{UtcTime{9, 5, 30}};
    RecordedMessages messages;
    MemorySettingsStore settings;
    NoSoundCard audio;
    SteadyProcessorTimes processorTimes;
    RecordingAlarm alarm;

    StationPlatform platform() { return {clock, messages, settings, audio, processorTimes, alarm}; }
};

}  // namespace miv::testing
