#include "rx/FinalAcquisition.h"

#include <gtest/gtest.h>

#include "modem/Frame.h"
#include "rx/ReceiverObserver.h"

namespace miv::test {
namespace {

struct Finals : ReceiverObserver {
    std::vector<int> matches;
    void finalAcquired(int m) override { matches.push_back(m); }
};

TEST(FinalAcquisition, SevenOfTheMarkersSixteenTonesAreNotTheEndEightAre)
{
    Finals observer;
    FinalAcquisition final(observer);
    for (int matching : {7, 8}) {
        for (int i = 0; i < 20; ++i)  // so that the history wraps
            final.add(0);
        // The 22 tones up to the newest, `matching` of the marker's in their slots.
        std::array<std::uint8_t, kEndMarkerCheckSpan + 1> tones{};
        for (std::size_t k = 0; k < static_cast<std::size_t>(matching); ++k)
            tones[kPreambleSlot[k]] = ReceiverSequence[k];
        bool ended = false;
        for (int slot = 1; slot <= kEndMarkerCheckSpan; ++slot)
            ended = final.add(tones[static_cast<std::size_t>(slot)]);
        EXPECT_EQ(ended, matching == 8);
        EXPECT_EQ(final.count(), matching);
    }
    EXPECT_EQ(final.finalScore(), 8);
    EXPECT_EQ(observer.matches, std::vector<int>{8});
}

}  // namespace
}  // namespace miv::test
