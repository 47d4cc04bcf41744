#include <gtest/gtest.h>

#include "platform/TextWindow.h"

namespace miv {
namespace {

TEST(MemoryTextWindow, InsertionsTakeTheCurrentColourInOrder)
{
    MemoryTextWindow window;
    window.setInsertColour(Colour::Blue);
    window.append("RX: ");
    window.setInsertColour(Colour::Black);
    window.append("<12:00 UTC>");
    EXPECT_EQ(window.text(), "RX: <12:00 UTC>");
    EXPECT_EQ(window.textIn(Colour::Blue), "RX: ");
    EXPECT_EQ(window.textIn(Colour::Black), "<12:00 UTC>");
    EXPECT_EQ(window.selStart(), window.length());
}

TEST(MemoryTextWindow, SelectionIsColouredAndReplaced)
{
    MemoryTextWindow window;
    window.append("abcdef");
    window.setSelStart(2);
    window.setSelLength(1);
    window.setInsertColour(Colour::Red);
    EXPECT_EQ(window.colourAt(2), Colour::Red);
    EXPECT_EQ(window.colourAt(3), Colour::Black);
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
    window.setInsertColour(Colour::Red);
    window.append("a");
    EXPECT_EQ(window.text(), "header a");
    EXPECT_EQ(window.textIn(Colour::Red), "a");
}

}  // namespace
}  // namespace miv
