#include "platform/AlarmRoute.h"

#include <gtest/gtest.h>

#include <array>

namespace miv {
namespace {

const OutputDevice kSpeakers{"alsa_output.pci-0000_00_1f.3.analog-stereo", "Built-in Audio Analog Stereo"};

TEST(AlarmRoute, PlaysOnlyOnADefaultOutputThatIsNotTheTransmitters)
{
    EXPECT_TRUE(alarmMayUseDefaultOutput(kSpeakers, "USB Audio CODEC Analog Stereo"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, "Built-in Audio Analog Stereo"));
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, kSpeakers.name));
    // Device lists may shorten a name to 31 characters.
    EXPECT_FALSE(alarmMayUseDefaultOutput(kSpeakers, std::string(kSpeakers.name.substr(0, 31))));
}

TEST(AlarmRoute, AnyDoubtMeansTheSystemBeep)
{
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

}  // namespace
}  // namespace miv
