#include <gtest/gtest.h>

#include "config/IniDocument.h"

namespace miv {
namespace {

TEST(IniDocument, NamesWithSpacesAreMatchedWithoutRegardToCaseAndTheFirstWins)
{
    const IniDocument ini = IniDocument::parse(
        "Stray=1\r\n[Tarjeta Sonido]\r\nEntrada = USB Audio CODEC \r\nEntrada=second\r\n[Conmutadores]\r\n"
        "  Detector De Modo = 0 \r\n[Email]\nPassword=a;b=c # d\nEmpty=\n[Tarjeta Sonido]\nSalida=third\n");
    EXPECT_EQ(ini.value("Tarjeta Sonido", "Entrada"), "USB Audio CODEC");
    EXPECT_EQ(ini.value("tarjeta sonido", "ENTRADA"), "USB Audio CODEC");
    EXPECT_EQ(ini.value("Conmutadores", "Detector de modo"), "0");
    EXPECT_EQ(ini.value("Email", "Password"), "a;b=c # d");
    EXPECT_EQ(ini.value("Email", "Empty"), "");
    EXPECT_FALSE(ini.value("Conmutadores", "DetectorDeModo"));
    EXPECT_FALSE(ini.value("TarjetaSonido", "Entrada"));
    EXPECT_FALSE(ini.value("Tarjeta Sonido", "Salida"));  // in a second section of the name
    EXPECT_FALSE(ini.value("Conmutadores", "Entrada"));
    EXPECT_FALSE(ini.value("Tarjeta Sonido", "Stray"));
}

TEST(IniDocument, SettingKeepsEverythingElseAsItWas)
{
    IniDocument ini = IniDocument::parse(
        "\xEF\xBB\xBF; written by hand\n[Other]\nColour = blue\n\n[Email]\nOption=1\nX-Unknown=keep me\n");
    ini.set("Email", "option", "2");             // existing key: replaced in place, spelling kept
    ini.set("Email", "Servidor SMTP", "mail");   // new key: after the section's last key
    ini.set("Tarjeta Sonido", "Entrada", "In");  // new section: at the end
    EXPECT_EQ(ini.text(),
              "; written by hand\n[Other]\nColour = blue\n\n[Email]\nOption=2\nX-Unknown=keep me\n"
              "Servidor SMTP=mail\n\n[Tarjeta Sonido]\nEntrada=In\n");
}

TEST(IniDocument, ValuesRoundTripWhateverTheyHoldOnOneLine)
{
    const std::vector<std::string> values{" leading", "trailing ", "\"quoted\"", "\"", "a\"b", "", "plain"};
    IniDocument ini;
    for (std::size_t i = 0; i < values.size(); ++i)
        ini.set("S", "K" + std::to_string(i), values[i]);
    // A line break cannot make a new key.
    ini.set("Operador", "Custom", "hello\r\n[Email]\nPassword=stolen");
    const IniDocument reread = IniDocument::parse(ini.text());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(reread.value("S", "K" + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(reread.value("Operador", "Custom"), "hello  [Email] Password=stolen");
    EXPECT_FALSE(reread.value("Email", "Password"));
}

}  // namespace
}  // namespace miv
