#include <gtest/gtest.h>

#include <algorithm>

#include "mail/Addresses.h"

namespace miv {
namespace {

using Found = std::vector<std::string>;

TEST(FindAddresses, TakesWhatStandsBetweenAngleBracketsAroundOneAtSign)
{
    EXPECT_EQ(findAddresses("My email is: <ea4abc@example.com> <ea4abc@example.com> pse k"),
              (Found{"ea4abc@example.com", "ea4abc@example.com"}));
    EXPECT_EQ(findAddresses("CQ CQ de EA4ABC <no address here> k"), Found{});
    EXPECT_EQ(findAddresses("mail me at ea4abc@example.com please"), Found{});
    EXPECT_EQ(findAddresses("open <ea4abc@example.com and never closed"), Found{});
    EXPECT_EQ(findAddresses("closed ea4abc@example.com> but never opened"), Found{});
    EXPECT_EQ(findAddresses("<a@b@example.com>"), Found{});
    EXPECT_EQ(findAddresses("<a b@example.com>"), Found{"a b@example.com"});  // the checks reject it later
}

TEST(FindAddresses, AllowsThirtyCharactersBeforeTheAtSignAndTwentyAfter)
{
    const std::string before30(30, 'a');
    const std::string after20 = std::string(16, 'b') + ".com";
    EXPECT_EQ(findAddresses("<" + before30 + "@" + after20 + ">"), Found{before30 + "@" + after20});
    EXPECT_EQ(findAddresses("<a" + before30 + "@" + after20 + ">"), Found{});
    EXPECT_EQ(findAddresses("<" + before30 + "@b" + after20 + ">"), Found{});
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

TEST(FindAddresses, LooksForTheAtSignFromTheThirdToTheFifthLastCharacter)
{
    // "@" at position 3 of 9 is searched, at position 3 of 7 it is too close to the end.
    EXPECT_EQ(findAddresses("<a@bc.de>"), Found{"a@bc.de"});
    EXPECT_EQ(findAddresses("<a@b.c>"), Found{});
    EXPECT_EQ(findAddresses("<@bc.dex>"), Found{});
}

TEST(AddressChecks, CharactersAreLettersDigitsAndSingleSymbolsBetweenThem)
{
    EXPECT_TRUE(addressCharactersValid("ea4abc@example.com"));
    EXPECT_TRUE(addressCharactersValid("EA4ABC@Example.COM"));
    EXPECT_TRUE(addressCharactersValid("  first.last-name_x@mail.example.org  "));
    EXPECT_FALSE(addressCharactersValid(""));
    EXPECT_FALSE(addressCharactersValid("   "));
    EXPECT_FALSE(addressCharactersValid("first..last@example.com"));
    EXPECT_FALSE(addressCharactersValid("first.@example.com"));
    EXPECT_FALSE(addressCharactersValid(".first@example.com"));
    EXPECT_FALSE(addressCharactersValid("first@example.com."));
    EXPECT_FALSE(addressCharactersValid("a@b@example.com"));
    EXPECT_FALSE(addressCharactersValid("first+tag@example.com"));
    EXPECT_FALSE(addressCharactersValid("a b@example.com"));
    EXPECT_FALSE(addressCharactersValid("x@example.com\r\nBcc: y@example.com"));
    EXPECT_FALSE(addressCharactersValid("x@example.com\r\n"));
    EXPECT_FALSE(addressCharactersValid("m\xF1o@example.com"));
    EXPECT_FALSE(addressCharactersValid("no.at.sign"));
    EXPECT_FALSE(addressCharactersValid("dot.before@at"));
}

TEST(AddressChecks, StructureWantsOneInnerAtSignAKnownEndingAndSixCharacters)
{
    EXPECT_TRUE(addressStructureValid("ea4abc@example.com"));
    EXPECT_TRUE(addressStructureValid("ab@c.es"));
    EXPECT_FALSE(addressStructureValid("a@c.c"));  // five characters
    EXPECT_TRUE(addressStructureValid("a@c.es"));
    EXPECT_FALSE(addressStructureValid("ea4abc@.example.com"));
    EXPECT_FALSE(addressStructureValid("@example.com"));
    EXPECT_FALSE(addressStructureValid("ea4abc@"));
    EXPECT_FALSE(addressStructureValid("ea4abc.example.com"));
    EXPECT_FALSE(addressStructureValid("a@b@example.com"));
    EXPECT_FALSE(addressStructureValid("ea4abc@example.xyz"));
    EXPECT_FALSE(addressStructureValid(""));
}

TEST(AddressChecks, TheDomainListIsSearchedAsPlainText)
{
    EXPECT_TRUE(topLevelDomainValid("com"));
    EXPECT_TRUE(topLevelDomainValid(".es"));
    EXPECT_TRUE(topLevelDomainValid("As"));
    EXPECT_TRUE(topLevelDomainValid("as"));
    EXPECT_TRUE(topLevelDomainValid("c"));  // begins ".COM"
    EXPECT_TRUE(topLevelDomainValid("co"));
    EXPECT_TRUE(topLevelDomainValid("ORG"));
    EXPECT_FALSE(topLevelDomainValid("xyz"));
    EXPECT_FALSE(topLevelDomainValid("info"));
    EXPECT_FALSE(topLevelDomainValid("eu"));

    EXPECT_EQ(kTopLevelDomainList.size(), 765u);
    EXPECT_EQ(std::count(kTopLevelDomainList.begin(), kTopLevelDomainList.end(), '.'), 253);
    EXPECT_TRUE(kTopLevelDomainList.ends_with(".ZM.ZW"));
}

}  // namespace
}  // namespace miv
