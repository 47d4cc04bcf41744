#include <gtest/gtest.h>

#include <map>
#include <string>

#include "modem/Varicode.h"

namespace miv {
namespace {

TEST(VaricodeTable, LengthDistributionAndShape)
{
    std::map<std::size_t, int> lengths;
    for (std::string_view entry : VaricodeTable) {
        ++lengths[entry.size()];
        ASSERT_EQ(entry.front(), '1') << entry;
        const std::size_t coreEnd = entry.find_last_of('1');
        ASSERT_GE(entry.size() - coreEnd - 1, 2u) << entry;
        ASSERT_EQ(entry.substr(0, coreEnd + 1).find("00"), std::string_view::npos) << entry;
    }
    const std::map<std::size_t, int> expected{{3, 1},  {4, 2},  {5, 4},   {6, 7},   {7, 12},
                                              {8, 20}, {9, 33}, {10, 54}, {11, 88}, {12, 35}};
    EXPECT_EQ(lengths, expected);
    EXPECT_EQ(VaricodeTable['e'], "1000");
    EXPECT_EQ(VaricodeTable['H'], "101011000");
    EXPECT_EQ(VaricodeTable['i'], "11000");
    EXPECT_EQ(VaricodeTable[0], "11101011100");
    EXPECT_EQ(VaricodeTable[8], "10101000");
}

TEST(VaricodeTable, EntriesAreDistinct)
{
    std::map<std::string_view, int> seen;
    for (int code = 0; code < 256; ++code)
        EXPECT_TRUE(seen.emplace(VaricodeTable[static_cast<std::size_t>(code)], code).second) << code;
}

TEST(SixBitAlphabet, CharacterMapping)
{
    EXPECT_EQ(MapCharacter('a', true), 33);
    EXPECT_EQ(MapCharacter('A', true), 33);
    EXPECT_EQ(MapCharacter(' ', true), 7);
    EXPECT_EQ(MapCharacter(8, true), 27);
    for (int unsendable : std::initializer_list<int>{'\'', ';', '`', '{', 13, 10, 0, 200})
        EXPECT_EQ(MapCharacter(unsendable, true), 0) << unsendable;
    EXPECT_EQ(MapCharacter('_', true), 63);
    EXPECT_EQ(MapCharacter('!', true), 1);
    // Varicode sends the character code itself.
    EXPECT_EQ(MapCharacter(200, false), 200);
    EXPECT_EQ(UpperCaseIfReduced('a', true), 'A');
    EXPECT_EQ(UpperCaseIfReduced('a', false), 'a');
    EXPECT_EQ(UpperCaseIfReduced('{', true), '{');
}

TEST(SixBitAlphabet, BitsGoOutMostSignificantFirstAlwaysSix)
{
    EXPECT_EQ(SixBits(0), "00");
    EXPECT_EQ(SixBits(2), "10");
    EXPECT_EQ(SixBits(3), "011");
    EXPECT_EQ(SixBits(63), "0111111");
    EXPECT_EQ(sixBitField(33), "100001");
    EXPECT_EQ(sixBitField(0), "000000");
    EXPECT_EQ(sixBitField(7), "000111");
    EXPECT_EQ(sixBitField(63), "111111");
    for (int v = 0; v < 64; ++v)
        EXPECT_EQ(std::stoi(sixBitField(v), nullptr, 2), v);
}

class VaricodeDecoding : public ::testing::Test {
protected:
    void feed(std::string_view bits)
    {
        for (char b : bits)
            decoder.DecodeVaricodeBit(b - '0');
    }

    // Sends whole characters; each one shows when the first bit of the next arrives.
    void send(std::initializer_list<int> codes)
    {
        for (int code : codes)
            feed(VaricodeTable[static_cast<std::size_t>(code)]);
    }

    MemoryTextWindow window;
    ReceivedTextWriter writer{window};
    VaricodeDecoder decoder{writer};
};

TEST_F(VaricodeDecoding, PrimedIdleCharacterShowsNothingThenLetters)
{
    decoder.reset();
    feed("10001");  // the first 1 completes the primed idle character, the second "e"
    EXPECT_EQ(window.text(), "e");
    EXPECT_EQ(window.colourAt(0), Colour::Blue);
    feed(VaricodeTable['e'].substr(1));
    send({'H', 'i', 0, 0});
    feed("1");
    EXPECT_EQ(window.text(), "eeHi");
    EXPECT_EQ(writer.ReceivedText(), "eeHi");
}

TEST_F(VaricodeDecoding, RunLengthOfZerosIsPartOfTheCode)
{
    decoder.reset();
    feed(
        "11101100"
        "1");
    EXPECT_EQ(window.text(), "P");
    feed(
        "1101100000"
        "1");  // code 1: never shown
    EXPECT_EQ(window.text(), "P");
}

TEST_F(VaricodeDecoding, UnknownAndHiddenCodesShowNothingCarriageReturnBreaksTheLine)
{
    decoder.reset();
    send({128, 10, 127, 31});
    feed("1011011011100");  // a core no entry has
    EXPECT_EQ(window.text(), "");
    send({13, 4});
    feed("1");
    EXPECT_EQ(window.text(), "\r\n\x04");
}

TEST_F(VaricodeDecoding, OverlongCharacterIsCollectedAgainFromPositionTwo)
{
    decoder.reset();
    // The first 1 completes the primed idle character. Of the thirteen that follow,
    // eleven fill positions 2 to 12; the buffer is then written again from position 2,
    // keeping the first bit, so the boundary finds "111" + "00", which is "n".
    feed("11111111111111");
    feed("001");
    EXPECT_EQ(window.text(), "n");
}

TEST_F(VaricodeDecoding, BackspaceWithdrawsOnlyReceivedCharacters)
{
    window.setText("before");
    decoder.reset();
    send({'e', 8});
    feed("1");
    EXPECT_EQ(window.text(), "before");
    EXPECT_EQ(writer.ReceivedText(), "");
    feed(VaricodeTable[8].substr(1));  // nothing received is left to withdraw
    send({'i'});
    feed("1");
    EXPECT_EQ(window.text(), "beforei");
    EXPECT_EQ(window.colourAt(6), Colour::Blue);
}

}  // namespace
}  // namespace miv
