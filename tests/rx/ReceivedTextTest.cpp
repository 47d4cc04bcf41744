#include "rx/ReceivedText.h"

#include <gtest/gtest.h>

namespace miv::test {
namespace {

// The 6-bit alphabet (HF at 1 baud) after "before" in the window.
class ReceivedTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        mode_.baud16 = false;
        window_.setText("before");
        text_.reset();
    }
    void bits(std::string_view b)
    {
        for (std::size_t i = 0; i + 1 < b.size(); i += 2)
            text_.decodeBits(static_cast<std::uint8_t>(b[i] - '0'), static_cast<std::uint8_t>(b[i + 1] - '0'), mode_);
    }

    ModemMode mode_;
    MemoryTextWindow window_;
    ReceivedText text_{window_};
};

TEST_F(ReceivedTextTest, SixBitCharactersAndABackspaceThatSparesEarlierText)
{
    bits(
        "011011"
        "100001"
        "000000"
        "000111"
        "011010");  // backspace, "A", idle, space, ":"
    EXPECT_EQ(window_.text(), "beforeA :");
    EXPECT_EQ(window_.colourAt(6), Colour::Blue);
    bits(
        "011011"
        "011011"
        "011011"
        "011011");
    EXPECT_EQ(window_.text(), "before");
    EXPECT_EQ(text_.text(), "");
}

TEST_F(ReceivedTextTest, VaricodeLineBreaksAndBackspaces)
{
    mode_.baud16 = true;
    std::string stream;
    for (int code : {int{'h'}, 13, int{'i'}, 8, int{'o'}, 0})
        stream += VaricodeTable[static_cast<std::size_t>(code)];
    bits(stream + (stream.size() % 2 == 0 ? "10" : "1"));  // a 1 completes the last character
    EXPECT_EQ(window_.text(), "beforeh\r\no");
}

TEST_F(ReceivedTextTest, InEmeAnAtSignWaitsToSeeWhetherTheEndMarkerFollows)
{
    mode_.eme = true;
    bits("100000");  // "@"
    EXPECT_EQ(window_.text(), "before");
    bits("100001");  // more text: it was typed
    bits(
        "100000"
        "0000000000");  // "@" and the longest run of zeros an end marker leaves
    EXPECT_EQ(text_.text(), "@A");
    bits("00");  // a longer run: no end marker follows
    bits(
        "100000"
        "0000");
    text_.endMarkerArrived();  // it was the marker's rate bit
    EXPECT_EQ(text_.text(), "@A@");
    text_.reset();
    bits("100000");
    text_.flush();  // the message was cut off: shown as received
    EXPECT_EQ(window_.text(), "before@A@@");
    mode_.eme = false;  // on HF at 1 baud the rate bit is 0: nothing to wait for
    text_.reset();
    bits("100000");
    EXPECT_EQ(window_.text(), "before@A@@@");
}

}  // namespace
}  // namespace miv::test
