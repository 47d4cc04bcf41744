#include <gtest/gtest.h>

#include "config/Settings.h"
#include "platform/AudioDevices.h"

namespace miv {
namespace {

using Names = std::vector<std::string>;

TEST(DistinctDeviceNames, AlikeDevicesCanEachBeChosenAndFoundAgain)
{
    // Two identical sound cards, and a third whose own description looks like a copy.
    const Names descriptions{"Default",         "USB Audio CODEC",     "Built-in Audio",
                             "USB Audio CODEC", "USB Audio CODEC (2)", "USB Audio CODEC"};
    const Names names = distinctDeviceNames(descriptions);
    EXPECT_EQ(names, (Names{"Default", "USB Audio CODEC", "Built-in Audio", "USB Audio CODEC (3)",
                            "USB Audio CODEC (2)", "USB Audio CODEC (4)"}));
    // The settings keep the chosen name; the dialog and the station find its position.
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(savedDevicePosition(names, names[i]), static_cast<int>(i)) << names[i];
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(describedAs(names[i]), i == 4 ? "USB Audio CODEC" : descriptions[i]) << names[i];

    // Without alike descriptions nothing changes, so names saved before stay valid.
    const Names unique{"Default", "USB Audio CODEC Analog Stereo", "Monitor (HDMI 1)"};
    EXPECT_EQ(distinctDeviceNames(unique), unique);
    EXPECT_EQ(describedAs("Monitor (HDMI 1)"), "Monitor (HDMI 1)");
    EXPECT_EQ(describedAs("Mic (02)"), "Mic (02)");
}

}  // namespace
}  // namespace miv
