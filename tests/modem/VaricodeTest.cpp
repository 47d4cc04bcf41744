#include "modem/Varicode.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace miv {
namespace {

// Characters need no separator only if every entry is a distinct core that starts and
// ends with 1 and holds no "00", followed by two or more 0 bits.
TEST(VaricodeTable, EntriesAreDistinctAndSelfDelimiting)
{
    std::set<std::string_view> seen;
    for (std::string_view entry : VaricodeTable) {
        EXPECT_TRUE(seen.insert(entry).second) << entry;
        const std::size_t coreEnd = entry.find_last_of('1');
        EXPECT_EQ(entry.front(), '1') << entry;
        EXPECT_GE(entry.size() - coreEnd - 1, 2u) << entry;
        EXPECT_EQ(entry.substr(0, coreEnd + 1).find("00"), std::string_view::npos) << entry;
        EXPECT_LE(entry.size(), static_cast<std::size_t>(kMaxVaricodeLength)) << entry;
    }
}

// The codes each bit of `bits` completes, as a string.
std::string decode(VaricodeDecoder& decoder, std::string_view bits)
{
    std::string codes;
    for (char b : bits)
        if (const auto code = decoder.DecodeVaricodeBit(b - '0'))
            codes += static_cast<char>(*code);
    return codes;
}

TEST(VaricodeDecoder, ACharacterEndsWhereTwoZerosMeetAOne)
{
    VaricodeDecoder decoder;
    decoder.reset();
    std::string bits;
    for (int code : {int{'e'}, int{'H'}, 1, 128, 13})
        bits += VaricodeTable[static_cast<std::size_t>(code)];
    // The first 1 completes the primed idle character; codes never shown come out as 0.
    EXPECT_EQ(decode(decoder, bits + "1"), std::string("\0eH\0\0\r", 6));
}

TEST(VaricodeDecoder, AnOverlongCharacterIsCollectedAgainKeepingItsFirstBit)
{
    VaricodeDecoder decoder;
    decoder.reset();
    // After the primed idle character eleven 1s fill the buffer; it is then written
    // again from its second place, so the boundary finds "111" + "00": "n".
    EXPECT_EQ(decode(decoder,
                     "11111111111111"
                     "001"),
              std::string(1, '\0') + "n");
}

TEST(SixBitAlphabet, CapitalsOnlyAndTheUnsendableBecomeIdle)
{
    EXPECT_EQ(MapCharacter('a', true), 33);
    for (int unsendable : std::initializer_list<int>{'\'', '`', '{', 13, 0, 200})
        EXPECT_EQ(MapCharacter(unsendable, true), 0) << unsendable;
    EXPECT_EQ(MapCharacter(200, false), 200);
    EXPECT_EQ(UpperCaseIfReduced('a', true), 'A');
    EXPECT_EQ(UpperCaseIfReduced('a', false), 'a');
    SixBitDecoder decoder;
    for (int v = 0; v < 64; ++v) {
        std::optional<std::uint8_t> value;
        for (char b : sixBitField(v))
            value = decoder.SixBitDecode(b - '0');
        EXPECT_EQ(value, v);
    }
}

}  // namespace
}  // namespace miv
