#include "platform/audio/AlarmRoute.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/TestDirectory.h"
#include "platform/audio/PulseAlarmPlayer.h"

namespace miv::test {
namespace {

const OutputDevice kSpeakers{"alsa_output.pci-0000_00_1f.3.analog-stereo", "Built-in Audio Analog Stereo"};

TEST(AlarmRoute, PlaysOnlyOnADefaultOutputThatIsNotTheTransmittersAndAnyDoubtMeansTheBeep)
{
    EXPECT_TRUE(alarmMayUseDefaultOutput(kSpeakers, "USB Audio CODEC Analog Stereo"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, "Built-in Audio Analog Stereo"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, kSpeakers.name));
    // Device lists may shorten a name to 31 characters, or tell alike devices apart.
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, kSpeakers.name.substr(0, 31)));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, "Built-in Audio Analog Stereo (2)"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, ""));  // the transmitter is on the default
    EXPECT_FALSE(alarmMayUseDefaultOutput(std::nullopt, "USB Audio CODEC"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(OutputDevice{"", "Something"}, "USB Audio CODEC"));
}

int signChanges(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to)
{
    int changes = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        changes += (samples[i - 1] < 0) != (samples[i] < 0);
    return changes;
}

TEST(AlarmRoute, RendersTheTonesInOrder)
{
    const std::array<AlarmTone, 3> tones{{{440, 100}, {880, 300}, {440, 100}}};
    const std::vector<std::int16_t> samples = renderAlarm(tones);
    ASSERT_EQ(samples.size(), 48u * 500);
    // Two sign changes per cycle: 88 in 100 ms at 440 Hz, 528 in 300 ms at 880 Hz.
    EXPECT_NEAR(signChanges(samples, 0, 4800), 88, 2);
    EXPECT_NEAR(signChanges(samples, 4800, 19200), 528, 2);
    EXPECT_NEAR(signChanges(samples, 19200, 24000), 88, 2);
    // Each tone starts and ends quietly, so the steps do not click.
    EXPECT_EQ(samples.front(), 0);
    EXPECT_LT(std::abs(samples[4799]), 200);
    EXPECT_LT(std::abs(samples[4800]), 200);
    EXPECT_LT(std::abs(samples.back()), 200);
}

// A sound server that takes the connection and never answers: the alarm gives up on it
// and beeps instead of waiting for ever (and holding up the program's exit).
TEST(PulseAlarmPlayer, GivesUpOnAServerThatNeverAnswers)
{
    const TestDirectory directory;
    const std::string socketPath = directory / "native";
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 4), 0);  // connections wait in the backlog, never served

    const char* previous = std::getenv("PULSE_SERVER");
    const std::string saved = previous ? previous : "";
    ::setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1);
    {
        std::promise<void> beeped;
        PulseAlarmPlayer player([&] { beeped.set_value(); });
        const std::array tones{AlarmTone{1000, 50}};
        player.play(tones, "");
        EXPECT_EQ(beeped.get_future().wait_for(std::chrono::seconds(15)), std::future_status::ready);
        ::close(server);  // lets a player that still waits go, so a failure does not hang
    }
    if (previous)
        ::setenv("PULSE_SERVER", saved.c_str(), 1);
    else
        ::unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace miv::test
