#include <gtest/gtest.h>

#include "platform/TextWindow.h"

namespace miv {
namespace {

TEST(MemoryTextWindow, InsertionsTakeTheCurrentColourAndASelectionIsColouredAndReplaced)
{
    MemoryTextWindow window;
    window.setInsertColour(Colour::Blue);
    window.append("RX: ");
    window.setInsertColour(Colour::Black);
    window.append("<12:00 UTC> abcdef");
    EXPECT_EQ(window.textIn(Colour::Blue), "RX: ");
    EXPECT_EQ(window.selStart(), window.length());

    window.setSelStart(18);
    window.setSelLength(1);
    window.setInsertColour(Colour::Red);
    EXPECT_EQ(window.colourAt(18), Colour::Red);
    EXPECT_EQ(window.colourAt(19), Colour::Black);
    window.setSelStart(20);
    window.setSelLength(100);  // clamped to the text
    window.setSelText("X");
    EXPECT_EQ(window.text(), "RX: <12:00 UTC> abcdX");
    EXPECT_EQ(window.textIn(Colour::Red), "cX");
    EXPECT_EQ(window.selStart(), 21);

    // A text set anew is black, with the insertion point at its start.
    window.setText("header ");
    EXPECT_EQ(window.selStart(), 0);
    window.append("a");
    EXPECT_EQ(window.text(), "header a");
    EXPECT_EQ(window.textIn(Colour::Red), "a");
}

}  // namespace
}  // namespace miv
