#include "modem/Frame.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

// The receiver's noise estimate averages the earlier symbols sent in other groups and
// divides by their count, so every eight earlier rows must hold some.
TEST(HopTable, EveryRowHasEarlierRowsInOtherGroups)
{
    for (int column = 1; column <= 3; ++column) {
        for (int r = 1; r <= kHopRows; ++r) {
            int differ = 0;
            for (int k = 1; k <= 8; ++k)
                differ += HopTable.group(r - k < 1 ? r - k + kHopRows : r - k, column) != HopTable.group(r, column);
            EXPECT_GT(differ, 0) << "row " << r << " column " << column;
        }
    }
}

TEST(EndMarker, TheReceiverLooksForTheTonesTheMarkerMakes)
{
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(ReceiverSequence[i], i < kEndMarkerCheckLength ? kEndMarkerTones[i] : 0) << i;
    // EndMarkerB is seven zeros, then bits 8 on of EndMarkerA.
    for (std::size_t i = 0; i < EndMarkerB.size(); ++i)
        EXPECT_EQ(EndMarkerB[i], i < 7 ? 0 : EndMarkerA[i]) << i;
}

}  // namespace
}  // namespace miv
