#include "tx/SymbolGenerator.h"

#include <gtest/gtest.h>

#include "TxTestSupport.h"
#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "modem/Varicode.h"

namespace miv {
namespace {

// The tones a bit stream makes from a cleared encoder: two coded bits per data bit,
// four coded bits per tone, Gray mapped. Whole tones only.
std::vector<int> tonesOf(const std::string& bits, std::size_t count = 1000)
{
    ConvolutionalEncoder encoder;
    std::vector<int> coded;
    for (const char b : bits) {
        const auto pair = encoder.encode(b == '1');
        coded.push_back(pair.first);
        coded.push_back(pair.second);
    }
    std::vector<int> tones;
    for (std::size_t i = 0; i + 4 <= coded.size() && tones.size() < count; i += 4)
        tones.push_back(GrayTone[symbolValue(coded[i], coded[i + 1], coded[i + 2], coded[i + 3])]);
    return tones;
}

std::string varicode(const std::string& text)
{
    std::string bits;
    for (const char c : text)
        bits += VaricodeTable[static_cast<unsigned char>(c)];
    return bits;
}

std::string sixBit(const std::string& text)
{
    std::string bits;
    for (const char c : text)
        bits += sixBitField(MapCharacter(static_cast<unsigned char>(c), true));
    return bits;
}

std::string idles(int count)
{
    return std::string(static_cast<std::size_t>(count), '\0');
}

struct Generator {
    explicit Generator(EffectiveMode mode = EffectiveMode::Hf2250Fast, const std::string& text = "")
    {
        const ModemMode m = test::makeMode(mode);
        switches.selectBandwidth(m.bw2250);
        switches.selectChannel(m.eme);
        switches.selectSymbolRate(m.baud16);
        send.setText(text);
        send.moveToEnd();
        generator.reset();
    }

    std::vector<int> next(int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i)
            out.push_back(generator.NextSymbol(++n));
        return out;
    }
    // Symbols until `count` characters have been taken.
    std::vector<int> untilSent(int count)
    {
        return until([&] { return generator.sentCount() >= count; });
    }
    // Symbols to the end signal, the last one the 0 that comes with it.
    std::vector<int> toEnd()
    {
        return until([&] { return generator.endSignal(); });
    }
    template <typename Done>
    std::vector<int> until(Done done)
    {
        std::vector<int> out;
        for (int limit = 5000; !done() && limit > 0; --limit)
            out.push_back(next(1)[0]);
        return out;
    }

    ModeSwitches switches;
    MemoryTextWindow send;
    MemoryTextWindow receive;
    FixedClock clock{UtcTime{9, 5, 0}};
    SymbolGenerator generator{switches, send, receive, clock};
    long n = 20;  // the generator is first called at symbol count 21
};

TEST(SymbolGenerator, ResetWritesTheHeaderAndAQuietWindowIdlesForever)
{
    Generator fast;
    EXPECT_EQ(fast.receive.text(), "\r\nTX <09:05 UTC> ");
    EXPECT_EQ(fast.receive.textIn(Colour::Red), "TX ");
    EXPECT_EQ(fast.receive.insertColour(), Colour::Red);  // the echo follows in red
    EXPECT_EQ(fast.next(22), tonesOf(varicode(idles(4))));
    EXPECT_EQ(fast.generator.idleCharacters(), 4);
    EXPECT_FALSE(fast.generator.endSignal());

    Generator slow(EffectiveMode::Hf500Slow);
    EXPECT_EQ(slow.next(30), std::vector<int>(30, 0));  // six zero bits from a cleared encoder
}

TEST(SymbolGenerator, CharactersGoOutInTheirCodeMarkedRedAndEchoed)
{
    Generator fast(EffectiveMode::Hf2250Fast, "Hi\re");
    fast.send.setSelStart(1);  // the operator's caret stays where it was
    const std::string bits = varicode("Hi\re");
    EXPECT_EQ(fast.next(static_cast<int>(bits.size() / 2)), tonesOf(bits, bits.size() / 2));
    EXPECT_EQ(fast.send.textIn(Colour::Red), "Hi\re");
    EXPECT_EQ(fast.send.selStart(), 1);
    EXPECT_EQ(fast.send.insertColour(), Colour::Black);
    EXPECT_EQ(fast.receive.text(), "\r\nTX <09:05 UTC> Hi\re");

    // Every 6-bit mode, EME too whatever its hidden rate says; capitals only.
    for (const auto mode : {EffectiveMode::Hf2250Slow, EffectiveMode::Hf500Slow, EffectiveMode::Eme}) {
        Generator slow(mode, "a'{;\r\b");
        EXPECT_EQ(slow.next(18), tonesOf(sixBit("a'{;\r\b"))) << modeParameters(mode).name;
        EXPECT_TRUE(slow.receive.text().ends_with("A'{;\r\b")) << modeParameters(mode).name;
    }
}

// Whatever came before and whenever the end comes, the marker makes the same 28 tones
// at x(m)..x(m + 27), m one more than a multiple of 4, and the end is signalled on the
// symbol after them.
TEST(SymbolGenerator, TheEndMarkerLandsTheSameWayAfterAnyText)
{
    for (const auto mode : {EffectiveMode::Hf2250Fast, EffectiveMode::Hf500Slow, EffectiveMode::Eme}) {
        for (const std::string text : {"", "e", "ee", "Hi", "tnx 73", "CQ CQ de OH2XX"}) {
            for (int idle = 0; idle < 3; ++idle) {
                Generator g(mode, text);
                g.untilSent(static_cast<int>(text.size()));
                while (g.generator.idleCharacters() < idle)
                    g.next(1);
                g.generator.requestEnd();
                const auto x = g.toEnd();
                ASSERT_TRUE(g.generator.endSignal());
                ASSERT_EQ(x.back(), 0);
                EXPECT_EQ((g.n - 28) % 4, 1) << text << ", " << idle << " idle";
                EXPECT_EQ(std::vector<int>(x.end() - 29, x.end() - 1),
                          std::vector<int>(kEndMarkerTones.begin(), kEndMarkerTones.end()))
                    << modeParameters(mode).name << ", \"" << text << "\", " << idle << " idle";
            }
        }
    }
}

// The hidden symbol-rate switch of an EME station must not change what it sends: a 1
// rate bit would reach the far screen as a stray "@" in the 6-bit alphabet.
TEST(SymbolGenerator, TheEmeEndMarkerIgnoresTheHiddenSymbolRate)
{
    std::vector<std::vector<int>> sent;
    for (const bool hiddenBaud16 : {false, true}) {
        Generator g(EffectiveMode::Eme, "ooo");
        g.switches.selectChannel(false);
        g.switches.selectSymbolRate(hiddenBaud16);
        g.switches.selectChannel(true);
        g.generator.requestEnd();
        sent.push_back(g.toEnd());
    }
    EXPECT_EQ(sent[0], sent[1]);
}

TEST(SymbolGenerator, AnEndWithOneCharacterSendsOneIdleFirst)
{
    for (const auto& [text, idle] : {std::pair{"k", 1}, std::pair{"kk", 0}, std::pair{"", 0}}) {
        Generator g(EffectiveMode::Hf2250Fast, text);
        g.generator.requestEnd();
        g.toEnd();
        EXPECT_EQ(g.generator.idleCharacters(), idle) << text;
    }
}

// Backspace withdraws the last sent character: character 8 goes out (value 27 in the
// 6-bit alphabet), the echo loses the character, and the next character taken is the
// one after the reduced count. With nothing sent it is an idle character.
TEST(SymbolGenerator, BackspaceOverTheLastSentCharacter)
{
    Generator g(EffectiveMode::Hf2250Fast, "ab");
    std::vector<int> x = g.untilSent(2);
    g.generator.requestBackspace();
    g.send.setText("a");  // what the window does with the key
    const auto rest = g.next(30);
    x.insert(x.end(), rest.begin(), rest.end());
    EXPECT_FALSE(g.generator.backspaceRequested());
    EXPECT_EQ(x, tonesOf(varicode("ab\b") + varicode(idles(6)), x.size()));
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> a");
    EXPECT_EQ(g.receive.textIn(Colour::Red), "a");  // the snapshot comes back plain
    g.send.append("c");
    g.untilSent(2);
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> ac");

    Generator sixBits(EffectiveMode::Eme, "ab");
    std::vector<int> y = sixBits.untilSent(2);
    sixBits.generator.requestBackspace();
    sixBits.send.setText("a");
    const auto more = sixBits.next(9);
    y.insert(y.end(), more.begin(), more.end());
    EXPECT_EQ(std::vector<int>(y.begin(), y.begin() + 9), tonesOf(sixBit("ab\b")));

    Generator nothingSent(EffectiveMode::Hf2250Fast, "");
    nothingSent.generator.requestBackspace();
    EXPECT_EQ(nothingSent.next(11), tonesOf(varicode(idles(2))));
    EXPECT_EQ(nothingSent.generator.sentCount(), 0);
}

// The window may lose text under the generator: a clear, a macro that empties it.
TEST(SymbolGenerator, SurvivesTheSendWindowShrinking)
{
    Generator g(EffectiveMode::Hf2250Fast, "HELLO");
    g.untilSent(4);
    g.send.setText("HI");
    g.next(30);
    EXPECT_EQ(g.generator.sentCount(), 2);  // nothing past the text is read

    g.send.setText("");
    g.generator.requestEnd();
    g.toEnd();
    EXPECT_TRUE(g.generator.endSignal());  // the end is not waiting for a length already passed
    EXPECT_EQ(g.generator.sentCount(), 0);
}

}  // namespace
}  // namespace miv
