#include <gtest/gtest.h>

#include "modem/Charset.h"

namespace miv {
namespace {

TEST(Charset, EveryEightBitCodeSurvivesTheRoundTrip)
{
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        const auto back = utf8ToCp1252(cp1252ToUtf8(one));
        EXPECT_EQ(back.text, one) << code;
        EXPECT_FALSE(back.firstUnsendable);
    }
}

TEST(Charset, WindowsCharactersAboveAscii)
{
    EXPECT_EQ(toCp1252(U'\u20ac'), 0x80);  // euro sign
    EXPECT_EQ(toCp1252(U'\u00e9'), 0xE9);  // e acute
    EXPECT_EQ(toCp1252(U'\u2019'), 0x92);
    EXPECT_EQ(cp1252ToUtf8("\xC4"), "\u00c4");
    EXPECT_FALSE(toCp1252(U'\u2192'));
}

TEST(Charset, UnsendableCharactersAreLeftOutAndNamed)
{
    const auto result = utf8ToCp1252("73 \u2192 de \U0001F600 ok");
    EXPECT_EQ(result.text, "73  de  ok");
    EXPECT_EQ(result.firstUnsendable, U'\u2192');
    EXPECT_FALSE(result.invalidUtf8);
}

TEST(Charset, MalformedUtf8IsReportedNotTrusted)
{
    const auto result = utf8ToCp1252(std::string("ab\xC3", 3));
    EXPECT_TRUE(result.invalidUtf8);
    EXPECT_EQ(result.text, "ab");
    EXPECT_TRUE(utf8ToCp1252("\x80x").invalidUtf8);
}

}  // namespace
}  // namespace miv
