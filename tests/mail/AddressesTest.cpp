#include <gtest/gtest.h>

#include "mail/Addresses.h"

namespace miv {
namespace {

using Found = std::vector<std::string>;

TEST(FindAddresses, TakesWhatStandsBetweenAngleBracketsAroundOneAtSign)
{
    EXPECT_EQ(findAddresses("My email is: <ea4abc@example.com> <ea4abc@example.com> pse k"),
              (Found{"ea4abc@example.com", "ea4abc@example.com"}));
    EXPECT_EQ(findAddresses("<a b@example.com>"), Found{"a b@example.com"});  // the checks reject it later
    for (const char* none : {"CQ CQ de EA4ABC <no address here> k", "mail me at ea4abc@example.com please",
                             "open <ea4abc@example.com and never closed", "closed ea4abc@example.com> but never opened",
                             "<a@b@example.com>"})
        EXPECT_EQ(findAddresses(none), Found{}) << none;

    // At most 30 characters before the "@" and 20 after it.
    const std::string before30(30, 'a');
    const std::string after20 = std::string(16, 'b') + ".com";
    EXPECT_EQ(findAddresses("<" + before30 + "@" + after20 + ">"), Found{before30 + "@" + after20});
    EXPECT_EQ(findAddresses("<a" + before30 + "@" + after20 + ">"), Found{});
    EXPECT_EQ(findAddresses("<" + before30 + "@b" + after20 + ">"), Found{});

    // The "@" is looked for from the third to the fifth last character.
    EXPECT_EQ(findAddresses("<a@bc.de>"), Found{"a@bc.de"});
    EXPECT_EQ(findAddresses("<a@b.c>"), Found{});
    EXPECT_EQ(findAddresses("<@bc.dex>"), Found{});
}

TEST(FindAddresses, StopsAtTheTenthAddress)
{
    std::string text;
    for (char c = 'a'; c <= 'l'; ++c)
        text += std::string("<") + c + "1@example.com> ";
    const Found found = findAddresses(text);
    ASSERT_EQ(found.size(), 10u);
    EXPECT_EQ(found.front(), "a1@example.com");
    EXPECT_EQ(found.back(), "j1@example.com");
}

TEST(AddressChecks, CharactersAreLettersDigitsAndSingleSymbolsBetweenThem)
{
    for (const char* good : {"ea4abc@example.com", "EA4ABC@Example.COM", "  first.last-name_x@mail.example.org  "})
        EXPECT_TRUE(addressCharactersValid(good)) << good;
    for (const char* bad :
         {"", "   ", "first..last@example.com", "first.@example.com", ".first@example.com", "first@example.com.",
          "a@b@example.com", "first+tag@example.com", "a b@example.com", "x@example.com\r\nBcc: y@example.com",
          "x@example.com\r\n", "m\xF1o@example.com", "no.at.sign", "dot.before@at"})
        EXPECT_FALSE(addressCharactersValid(bad)) << bad;
}

TEST(AddressChecks, StructureWantsOneInnerAtSignAKnownEndingAndSixCharacters)
{
    for (const char* good : {"ea4abc@example.com", "ab@c.es", "a@c.es"})
        EXPECT_TRUE(addressStructureValid(good)) << good;
    for (const char* bad : {"a@c.c", "ea4abc@.example.com", "@example.com", "ea4abc@", "ea4abc.example.com",
                            "a@b@example.com", "ea4abc@example.xyz", ""})
        EXPECT_FALSE(addressStructureValid(bad)) << bad;
}

TEST(AddressChecks, TheDomainListIsSearchedAsPlainTextWithoutRegardToCase)
{
    // A prefix of an entry passes: "c" begins ".COM".
    for (const char* listed : {"com", ".es", "As", "as", "c", "co", "ORG", "zw"})
        EXPECT_TRUE(topLevelDomainValid(listed)) << listed;
    for (const char* unlisted : {"xyz", "info", "eu", ".."})
        EXPECT_FALSE(topLevelDomainValid(unlisted)) << unlisted;
}

}  // namespace
}  // namespace miv
