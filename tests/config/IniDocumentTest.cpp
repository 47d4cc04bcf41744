#include <gtest/gtest.h>

#include "config/IniDocument.h"

namespace miv {
namespace {

TEST(IniDocument, NamesWithSpacesAreMatchedWithoutRegardToCase)
{
    const IniDocument ini = IniDocument::parse(
        "[Tarjeta Sonido]\r\nEntrada = USB Audio CODEC \r\n[Conmutadores]\r\nDetector De Modo=0\r\n");
    EXPECT_EQ(ini.value("Tarjeta Sonido", "Entrada"), "USB Audio CODEC");
    EXPECT_EQ(ini.value("tarjeta sonido", "ENTRADA"), "USB Audio CODEC");
    EXPECT_EQ(ini.value("Conmutadores", "Detector De Modo"), "0");
    EXPECT_EQ(ini.value("Conmutadores", "Detector de modo"), "0");
    EXPECT_FALSE(ini.value("Conmutadores", "DetectorDeModo"));
    EXPECT_FALSE(ini.value("TarjetaSonido", "Entrada"));
    EXPECT_FALSE(ini.value("Tarjeta Sonido", "Salida"));
}

TEST(IniDocument, KeysBelongOnlyToTheirSectionAndTheFirstOfANameWins)
{
    const IniDocument ini = IniDocument::parse("Stray=1\n[A]\nKey=first\nKey=second\n[B]\nOther=x\n[A]\nKey=third\n");
    EXPECT_EQ(ini.value("A", "Key"), "first");
    EXPECT_FALSE(ini.value("B", "Key"));
    EXPECT_FALSE(ini.value("A", "Stray"));
}

TEST(IniDocument, ValuesKeepSemicolonsEqualSignsAndInnerSpaces)
{
    const IniDocument ini = IniDocument::parse("[Email]\nPassword=a;b=c # d\nEmpty=\n");
    EXPECT_EQ(ini.value("Email", "Password"), "a;b=c # d");
    EXPECT_EQ(ini.value("Email", "Empty"), "");
}

TEST(IniDocument, SettingKeepsEverythingElseAsItWas)
{
    const std::string original =
        "\xEF\xBB\xBF; written by hand\n[Other]\nColour = blue\n\n[Email]\nOption=1\nX-Unknown=keep me\n";
    IniDocument ini = IniDocument::parse(original);
    ini.set("Email", "option", "2");             // existing key: replaced in place, spelling kept
    ini.set("Email", "Servidor SMTP", "mail");   // new key: after the section's last key
    ini.set("Tarjeta Sonido", "Entrada", "In");  // new section: at the end
    EXPECT_EQ(ini.text(),
              "; written by hand\n[Other]\nColour = blue\n\n[Email]\nOption=2\nX-Unknown=keep me\n"
              "Servidor SMTP=mail\n\n[Tarjeta Sonido]\nEntrada=In\n");
}

std::string keyNumber(std::size_t i)
{
    std::string key = "K";
    key += std::to_string(i);
    return key;
}

TEST(IniDocument, ValuesRoundTripWhateverTheyHoldOnOneLine)
{
    const std::vector<std::string> values{" leading", "trailing ", "\"quoted\"", "\"", "a\"b", "", "plain"};
    IniDocument ini;
    for (std::size_t i = 0; i < values.size(); ++i)
        ini.set("S", keyNumber(i), values[i]);
    const IniDocument reread = IniDocument::parse(ini.text());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(reread.value("S", keyNumber(i)), values[i]) << i;
}

TEST(IniDocument, ALineBreakInAValueCannotMakeANewKey)
{
    IniDocument ini;
    ini.set("Operador", "Custom", "hello\r\n[Email]\nPassword=stolen");
    const IniDocument reread = IniDocument::parse(ini.text());
    EXPECT_EQ(reread.value("Operador", "Custom"), "hello  [Email] Password=stolen");
    EXPECT_FALSE(reread.value("Email", "Password"));
}

}  // namespace
}  // namespace miv
