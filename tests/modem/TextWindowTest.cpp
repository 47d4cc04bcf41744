#include <gtest/gtest.h>

#include "platform/TextWindow.h"

namespace miv {
namespace {

TEST(MemoryTextWindow, InsertionsTakeTheCurrentColourInOrder)
{
    MemoryTextWindow window;
    window.setSelColor(kBlue);
    window.append("RX: ");
    window.setSelColor(kBlack);
    window.append("<12:00 UTC>");
    EXPECT_EQ(window.text(), "RX: <12:00 UTC>");
    EXPECT_EQ(window.textIn(kBlue), "RX: ");
    EXPECT_EQ(window.textIn(kBlack), "<12:00 UTC>");
    EXPECT_EQ(window.selStart(), window.length());
}

TEST(MemoryTextWindow, SelectionIsColouredAndReplaced)
{
    MemoryTextWindow window;
    window.append("abcdef");
    window.setSelStart(2);
    window.setSelLength(1);
    window.setSelColor(kRed);
    EXPECT_EQ(window.colorAt(2), kRed);
    EXPECT_EQ(window.colorAt(3), kBlack);
    window.setSelStart(4);
    window.setSelLength(100);  // clamped to the text
    window.setSelText("X");
    EXPECT_EQ(window.text(), "abcdX");
    EXPECT_EQ(window.selStart(), 5);
}

TEST(MemoryTextWindow, SnapshotRestoredThenInsertedAgain)
{
    MemoryTextWindow window;
    window.append("header ");
    const std::string snapshot = window.text();
    window.append("ab");
    window.setText(snapshot);
    EXPECT_EQ(window.selStart(), 0);
    window.setSelColor(kRed);
    window.append("a");
    EXPECT_EQ(window.text(), "header a");
    EXPECT_EQ(window.textIn(kRed), "a");
}

}  // namespace
}  // namespace miv
