#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "mail/FakeMailTransport.h"
#include "platform/AlarmPlayer.h"
#include "platform/AudioDevices.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/ProcessorTimes.h"
#include "platform/Rig.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/audio/BlockAudioSource.h"
#include "platform/audio/FileAudioSource.h"
#include "platform/audio/LentAudio.h"
#include "platform/audio/MemorySink.h"
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
    void play(std::span<const AlarmTone>, const std::string& transmitDevice) override
    {
        devices.push_back(transmitDevice);
    }
    std::vector<std::string> devices;
};

// A sound card whose output is memory and whose input is a recording the test gives,
// or nothing that opens: the lists hold what the test says.
class FakeSoundCard final : public AudioDevices {
public:
    std::vector<std::string> captureDevices() override { return capture; }
    std::vector<std::string> playbackDevices() override { return playback; }
    std::unique_ptr<AudioSource> makeSource(int position) override
    {
        sourcePositions.push_back(position);
        if (!recording)
            return nullptr;
        return std::make_unique<LentSource>(*recording);
    }
    std::unique_ptr<AudioSink> makeSink(int position) override
    {
        sinkPositions.push_back(position);
        return std::make_unique<LentSink>(output);
    }

    std::vector<std::string> capture{kDefaultAudioDevice, "USB Audio CODEC"};
    std::vector<std::string> playback{kDefaultAudioDevice, "USB Audio CODEC", "Speakers"};
    MemorySink output;
    // Opens, and never fills a block, unless a test gives a recording or takes it away.
    std::unique_ptr<AudioSource> recording = std::make_unique<MemoryAudioSource>();
    std::vector<int> sourcePositions;
    std::vector<int> sinkPositions;
};

// COM1 and COM5 exist; the others are missing.
inline ComAssignment twoSerialPorts()
{
    ComAssignment ports;
    ports[0] = SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""};
    ports[4] = SerialDeviceInfo{"/dev/serial/by-id/usb-FTDI-if00-port0", "ttyUSB0", "FT232R USB UART"};
    return ports;
}

// A reference transmission as the sound card would deliver it, with silence after it
// on which the receiver decides the last symbols.
inline std::unique_ptr<AudioSource> recording(const char* name)
{
    auto file = std::make_unique<FileAudioSource>(std::string(MIV_VECTORS_DIR) + "/" + name);
    file->appendSilence(200);
    return file;
}

// Fires the transmit timer until the transmission ends, at most `ticks` times.
inline void runTransmitTimer(Station& station, int ticks = 100000)
{
    for (int n = 0; n < ticks && station.timerRunning(StationTimer::Transmit); ++n)
        station.timerFired(StationTimer::Transmit);
}

// Fires the receive timer until `done`, at most `ticks` times; whether it is done.
template <typename Done>
bool receiveUntil(Station& station, Done done, int ticks = 4000)
{
    for (int n = 0; n < ticks && !done(); ++n)
        station.timerFired(StationTimer::Receive);
    return done();
}

// Everything a station needs, none of it real.
struct FakePlatform {
    FakePlatform() { serial.present = {"/dev/ttyS0", "/dev/serial/by-id/usb-FTDI-if00-port0"}; }

    FixedClock clock{UtcTime{9, 5, 30}};
    RecordedMessages messages;
    MemorySettingsStore settings;
    FakeSoundCard audio;
    SteadyProcessorTimes processorTimes;
    RecordingAlarm alarm;
    FakeSerialPort serial;
    test::FakeMailTransport mail;
    FakeRig rig;

    StationPlatform platform()
    {
        return {clock,
                messages,
                settings,
                audio,
                processorTimes,
                alarm,
                serial,
                twoSerialPorts(),
                mail,
                rig,
                {{1, "Hamlib", "Dummy"}, {3073, "Icom", "IC-7300"}}};
    }
};

}  // namespace miv::testing
