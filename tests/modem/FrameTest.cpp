#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "modem/Frame.h"

namespace miv {
namespace {

TEST(HopTable, FirstRowsRow33AndRow288)
{
    const std::vector<std::array<int, 3>> first{{3, 3, 1}, {7, 6, 2}, {4, 2, 1}, {8, 5, 2},
                                                {8, 4, 1}, {6, 1, 1}, {2, 5, 2}, {9, 2, 1}};
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(HopTable.group(r, c), first[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)])
                << "row " << r << " column " << c;
    EXPECT_EQ(HopTable.group(33, 1), 8);
    EXPECT_EQ(HopTable.group(33, 2), 3);
    EXPECT_EQ(HopTable.group(33, 3), 1);
    EXPECT_EQ(HopTable.group(288, 1), 6);
    EXPECT_EQ(HopTable.group(288, 2), 7);
    EXPECT_EQ(HopTable.group(288, 3), 2);
}

TEST(HopTable, ColumnsStayInsideTheirModesGroups)
{
    for (int r = 1; r <= kHopRows; ++r) {
        EXPECT_GE(HopTable.group(r, 1), 1);
        EXPECT_LE(HopTable.group(r, 1), 9);
        EXPECT_GE(HopTable.group(r, 2), 1);
        EXPECT_LE(HopTable.group(r, 2), 8);
        EXPECT_GE(HopTable.group(r, 3), 1);
        EXPECT_LE(HopTable.group(r, 3), 2);
    }
}

// The receiver's noise estimate averages the earlier symbols sent in other groups and
// divides by their count, so every window of 8 earlier rows must hold some.
TEST(HopTable, EveryRowHasEarlierRowsInOtherGroups)
{
    const std::array<int, 3> minimum{5, 7, 3};
    for (int column = 1; column <= 3; ++column) {
        for (int r = 1; r <= kHopRows; ++r) {
            int differ = 0;
            for (int k = 1; k <= 8; ++k) {
                const int m = r - k < 1 ? r - k + kHopRows : r - k;
                differ += HopTable.group(m, column) != HopTable.group(r, column);
            }
            EXPECT_GE(differ, minimum[static_cast<std::size_t>(column - 1)]) << "row " << r << " column " << column;
        }
    }
}

TEST(SymbolInterleaver, FirstSentSymbolsOfEveryTransmission)
{
    SymbolInterleaver interleaver;
    std::vector<int> sent;
    for (int n = 1; n <= 16; ++n) {
        const int y = interleaver.push(n <= 20 ? PreambleSymbols[static_cast<std::size_t>(n - 1)] : 0);
        if (n >= 4)
            sent.push_back(y);
    }
    EXPECT_EQ(sent, (std::vector<int>{2, 0, 0, 6, 10, 0, 8, 12, 4, 1, 4, 11, 12}));
}

TEST(SymbolInterleaver, EveryInputLeavesExactlyOnceWithItsDelay)
{
    SymbolInterleaver interleaver;
    const std::array<int, 4> delay{9, 7, 5, 3};  // for n = 1, 2, 3, 0 (mod 4)
    std::multiset<int> seen;
    for (int n = 1; n <= 400; ++n) {
        const int x = n % 251;  // distinct over any window the register holds
        const int y = interleaver.push(static_cast<std::uint8_t>(x));
        const int source = n - delay[static_cast<std::size_t>((n - 1) % 4)];
        EXPECT_EQ(y, source >= 1 ? source % 251 : 0) << "n " << n;
        if (source >= 1)
            seen.insert(source);
    }
    for (int i = 1; i <= 390; ++i)
        EXPECT_EQ(seen.count(i), 1u) << i;
}

TEST(SymbolInterleaver, PreambleSlotsAreWhereThePreambleIsSent)
{
    SymbolInterleaver interleaver;
    std::array<int, 27> slotOf{};  // sent slot (1 = y4) -> input index
    for (int n = 1; n <= 29; ++n) {
        const int y = interleaver.push(static_cast<std::uint8_t>(n));
        if (n >= 4)
            slotOf[static_cast<std::size_t>(n - 3)] = y;
    }
    for (int k = 1; k <= 20; ++k)
        EXPECT_EQ(slotOf[kPreambleSlot[static_cast<std::size_t>(k - 1)]], k) << k;
}

TEST(EndMarker, TablesAgree)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ReceiverSequence[static_cast<std::size_t>(i)], kEndMarkerTones[static_cast<std::size_t>(i)]);
    for (int i = 16; i < 20; ++i)
        EXPECT_EQ(ReceiverSequence[static_cast<std::size_t>(i)], 0);
    // EndMarkerB is seven zeros then bits 8.. of EndMarkerA.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(EndMarkerB[static_cast<std::size_t>(i)], 0);
    for (int i = 7; i < 24; ++i)
        EXPECT_EQ(EndMarkerB[static_cast<std::size_t>(i)], EndMarkerA[static_cast<std::size_t>(i)]);
}

}  // namespace
}  // namespace miv
