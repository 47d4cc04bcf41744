#include <gtest/gtest.h>

#include "rx/DecoderRig.h"

namespace miv::test {
namespace {

TEST(MessageOutput, TheHeaderAtTheFourthDecisionThenTheEndMarkerEndsTheMessage)
{
    DecoderRig rig;
    rig.acquire(60, 1e6f);
    // Four decisions, then the end marker's first 16 tones where the interleaver puts them.
    std::vector<std::uint8_t> tones(4 + kEndMarkerCheckSpan, 0);
    for (std::size_t k = 0; k < kEndMarkerCheckLength; ++k)
        tones[3 + kPreambleSlot[k]] = ReceiverSequence[k];
    const std::string header = "\r\nRX: <12:00 UTC> <62.5 Hz.> ";
    for (std::size_t i = 0; i < tones.size(); ++i) {
        rig.output.decided({std::min(static_cast<int>(i) + 1, 23), 0, tones[i], {}, 0});
        if (i == 3) {
            EXPECT_EQ(rig.window.text(), header);
            EXPECT_EQ(rig.window.colourAt(2), Colour::Blue);  // "RX: ", then time and shift in black
            EXPECT_EQ(rig.window.colourAt(static_cast<int>(header.find('<'))), Colour::Black);
            EXPECT_EQ(rig.window.insertColour(), Colour::Blue);  // the text to come
            EXPECT_FALSE(rig.acquisition.enabled());
        }
    }
    EXPECT_EQ(rig.window.text(), header + " <STOP>");
    EXPECT_TRUE(rig.acquisition.enabled() && !rig.acquisition.lockFlag());
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(std::tuple(rig.messages[0].cancelled, rig.messages[0].finalScore, rig.messages[0].utcHour),
              std::tuple(false, 16, 12));
}

TEST(MessageOutput, ACancelActsOnlyOnAMessageInProgress)
{
    DecoderRig rig;
    rig.output.CancelMessage();
    EXPECT_EQ(rig.window.text(), "");
    rig.acquire(60, 1e6f);
    rig.output.CancelMessage();
    EXPECT_EQ(rig.window.text(), " <CANCEL>");
    EXPECT_EQ(rig.window.colourAt(1), Colour::Black);
    EXPECT_FLOAT_EQ(rig.acquisition.bestSum(), 0);  // any preamble locks again
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(std::tuple(rig.messages[0].cancelled, rig.messages[0].finalScore), std::tuple(true, 9));
}

}  // namespace
}  // namespace miv::test
