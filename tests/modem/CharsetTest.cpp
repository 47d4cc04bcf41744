#include "modem/Charset.h"

#include <gtest/gtest.h>

namespace miv {
namespace {

TEST(Charset, EveryEightBitCodeSurvivesTheRoundTripThroughUnicode)
{
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        const auto back = utf8ToCp1252(cp1252ToUtf8(one));
        EXPECT_EQ(back.text, one) << code;
        EXPECT_FALSE(back.firstUnsendable);
    }
    EXPECT_EQ(toCp1252(U'\u20ac'), 0x80);  // the euro sign, among the Windows characters
    EXPECT_EQ(cp1252ToUtf8("\xC4"), "\u00c4");
}

TEST(Charset, UnsendableCharactersAreLeftOutAndNamedMalformedInputIsReported)
{
    const auto result = utf8ToCp1252("73 \u2192 de \U0001F600 ok");
    EXPECT_EQ(result.text, "73  de  ok");
    EXPECT_EQ(result.firstUnsendable, U'\u2192');
    EXPECT_FALSE(result.invalidUtf8);
    const auto cut = utf8ToCp1252(std::string("ab\xC3", 3));
    EXPECT_TRUE(cut.invalidUtf8);
    EXPECT_EQ(cut.text, "ab");
    EXPECT_TRUE(utf8ToCp1252("\x80x").invalidUtf8);
}

}  // namespace
}  // namespace miv
