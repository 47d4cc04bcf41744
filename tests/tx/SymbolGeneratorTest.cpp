#include <gtest/gtest.h>

#include "TxTestSupport.h"
#include "modem/Convolutional.h"
#include "modem/Varicode.h"
#include "tx/SymbolGenerator.h"

namespace miv {
namespace {

// The tones a bit stream makes from a cleared encoder: two coded bits per data bit,
// four coded bits per tone, Gray mapped. Whole tones only.
std::vector<int> tonesOf(const std::string& bits)
{
    ConvolutionalEncoder encoder;
    std::vector<int> coded;
    for (const char b : bits) {
        const auto pair = encoder.encode(b == '1');
        coded.push_back(pair.first);
        coded.push_back(pair.second);
    }
    std::vector<int> tones;
    for (std::size_t i = 0; i + 4 <= coded.size(); i += 4)
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

const std::string kNul(1, '\0');

class Generator {
public:
    explicit Generator(EffectiveMode mode = EffectiveMode::Hf2250Fast, const std::string& text = "")
    {
        const ModemMode m = test::makeMode(mode);
        switches.selectBandwidth(m.bw2250);
        switches.selectChannel(m.eme);
        switches.selectSymbolRate(m.baud16);
        send.setText(text);
        send.moveToEnd();
        vars.txState = TxState::Transmitting;
        generator.reset();
    }

    int next() { return generator.NextSymbol(++n); }
    std::vector<int> next(int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i)
            out.push_back(next());
        return out;
    }
    // Symbols until the generator takes its next character (fewer than 3 coded bits wait
    // only right before it does); stops at `limit`.
    std::vector<int> untilSent(int sentCount, int limit = 1000)
    {
        std::vector<int> out;
        while (vars.SentCount < sentCount && limit-- > 0)
            out.push_back(next());
        return out;
    }
    // Runs to the end signal; the interleaver inputs from x21, the last one the 0 that
    // comes with the end signal.
    std::vector<int> toEnd(int limit = 5000)
    {
        std::vector<int> out;
        while (!vars.EndSignal && limit-- > 0)
            out.push_back(next());
        return out;
    }

    ModeSwitches switches;
    MemoryTextWindow send;
    MemoryTextWindow receive;
    FixedClock clock{UtcTime{9, 5, 0}};
    TransmitVariables vars;
    SymbolGenerator generator{switches, send, receive, clock, vars};
    long n = 20;  // the generator is first called at symbol count 21
};

std::vector<int> prefix(const std::vector<int>& v, std::size_t count)
{
    return {v.begin(), v.begin() + static_cast<long>(std::min(count, v.size()))};
}

TEST(SymbolGenerator, ResetWritesTheHeaderWithTheUtcTime)
{
    Generator g;
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> ");
    EXPECT_EQ(g.receive.textIn(Colour::Red), "TX ");
    EXPECT_EQ(g.receive.insertColour(), Colour::Red);  // the echo follows in red
}

TEST(SymbolGenerator, QuietWindowSendsIdleCharactersForever)
{
    Generator fast;
    EXPECT_EQ(fast.next(22), tonesOf(varicode(kNul + kNul + kNul + kNul)));
    EXPECT_EQ(fast.generator.idleCharacters(), 4);
    EXPECT_FALSE(fast.vars.EndSignal);

    Generator slow(EffectiveMode::Hf500Slow);
    EXPECT_EQ(slow.next(30), std::vector<int>(30, 0));  // six zero bits from a cleared encoder
}

TEST(SymbolGenerator, CharactersGoOutInTheirCodeWithNothingBetween)
{
    Generator fast(EffectiveMode::Hf2250Fast, "Hi e");
    const std::string bits = varicode("Hi e");
    EXPECT_EQ(fast.next(static_cast<int>(bits.size() / 2)), prefix(tonesOf(bits + varicode(kNul)), bits.size() / 2));

    // Every 6-bit mode, EME too whatever its hidden rate says.
    for (const auto mode : {EffectiveMode::Hf2250Slow, EffectiveMode::Hf500Slow, EffectiveMode::Eme}) {
        Generator slow(mode, "a'{;\r\b");
        EXPECT_EQ(slow.next(18), tonesOf(sixBit("a'{;\r\b"))) << modeParameters(mode).name;
    }
}

TEST(SymbolGenerator, SentCharactersTurnRedAndAreEchoed)
{
    Generator fast(EffectiveMode::Hf2250Fast, "ab\rc");
    fast.send.setSelStart(1);  // the operator's caret stays where it was
    fast.untilSent(4);
    EXPECT_EQ(fast.send.textIn(Colour::Red), "ab\rc");
    EXPECT_EQ(fast.send.selStart(), 1);
    EXPECT_EQ(fast.send.insertColour(), Colour::Black);
    EXPECT_EQ(fast.receive.text(), "\r\nTX <09:05 UTC> ab\rc");
    EXPECT_EQ(fast.receive.textIn(Colour::Red), "TX ab\rc");

    Generator slow(EffectiveMode::Hf500Slow, "qrz?");
    slow.untilSent(4);
    EXPECT_EQ(slow.receive.text(), "\r\nTX <09:05 UTC> QRZ?");  // the 6-bit alphabet has capitals only
}

TEST(SymbolGenerator, TextTypedWhileSendingGoesOutAfterTheIdle)
{
    Generator g(EffectiveMode::Hf2250Fast, "AB");
    std::vector<int> x = g.untilSent(2);
    while (g.generator.idleCharacters() < 2)
        x.push_back(g.next());
    g.send.moveToEnd();
    g.send.setSelText("CD");
    g.vars.txState = TxState::StopRequested;
    const auto rest = g.toEnd();
    x.insert(x.end(), rest.begin(), rest.end());

    const std::string bits = varicode("AB" + kNul + kNul + "CD");
    EXPECT_EQ(prefix(x, bits.size() / 2), prefix(tonesOf(bits), bits.size() / 2));
    EXPECT_EQ(g.vars.SentCount, 4);
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> ABCD");
}

// Whatever came before and whenever the stop comes, the marker makes the same 28 tones
// at x(m)..x(m + 27), m one more than a multiple of 4, and the end is signalled on the
// symbol after them.
TEST(SymbolGenerator, EndMarkerLandsTheSameWayAfterAnyText)
{
    for (const auto mode : {EffectiveMode::Hf2250Fast, EffectiveMode::Hf500Slow, EffectiveMode::Eme}) {
        for (const std::string text : {"", "e", "ee", "Hi", "tnx 73", "CQ CQ de OH2XX"}) {
            for (int idle = 0; idle < 3; ++idle) {
                Generator g(mode, text);
                g.untilSent(static_cast<int>(text.size()));
                while (g.generator.idleCharacters() < idle)
                    g.next();
                g.vars.txState = TxState::StopRequested;
                const auto x = g.toEnd();
                ASSERT_TRUE(g.vars.EndSignal);
                ASSERT_EQ(x.back(), 0);
                const long endN = g.n;
                const long m = endN - 28;
                EXPECT_EQ(m % 4, 1) << text << ", " << idle << " idle";
                const std::vector<int> marker(x.end() - 29, x.end() - 1);
                EXPECT_EQ(marker, std::vector<int>(kEndMarkerTones.begin(), kEndMarkerTones.end()))
                    << modeParameters(mode).name << ", \"" << text << "\", " << idle << " idle";
            }
        }
    }
}

// The hidden symbol-rate switch of an EME station must not change what it sends: a 1
// rate bit would reach the far screen as a stray "@" in the 6-bit alphabet.
TEST(SymbolGenerator, EmeEndMarkerIgnoresTheHiddenSymbolRate)
{
    std::vector<std::vector<int>> sent;
    for (const bool hiddenBaud16 : {false, true}) {
        Generator g(EffectiveMode::Eme, "ooo");
        g.switches.selectChannel(false);
        g.switches.selectSymbolRate(hiddenBaud16);
        g.switches.selectChannel(true);
        g.vars.txState = TxState::StopRequested;
        sent.push_back(g.toEnd());
    }
    EXPECT_EQ(sent[0], sent[1]);
}

TEST(SymbolGenerator, StopWithOneCharacterSendsOneIdleFirst)
{
    Generator one(EffectiveMode::Hf2250Fast, "k");
    one.vars.txState = TxState::StopRequested;
    one.toEnd();
    EXPECT_EQ(one.generator.idleCharacters(), 1);

    Generator two(EffectiveMode::Hf2250Fast, "kk");
    two.vars.txState = TxState::StopRequested;
    two.toEnd();
    EXPECT_EQ(two.generator.idleCharacters(), 0);

    Generator empty(EffectiveMode::Hf2250Fast, "");
    empty.vars.txState = TxState::StopRequested;
    empty.toEnd();
    EXPECT_EQ(empty.generator.idleCharacters(), 0);
}

TEST(SymbolGenerator, BackspaceOverTheLastSentCharacter)
{
    Generator g(EffectiveMode::Hf2250Fast, "ab");
    std::vector<int> x = g.untilSent(2);
    // The key rules: Backspace at the caret after the sent text, and the key press
    // removes the character from the window.
    g.vars.BackspaceRequest = true;
    g.vars.BackspaceConfirmed = true;
    g.send.setText("a");
    const auto rest = g.next(40);
    x.insert(x.end(), rest.begin(), rest.end());

    EXPECT_EQ(g.vars.SentCount, 1);
    EXPECT_FALSE(g.vars.BackspaceRequest);
    const std::string bits = varicode("ab\b") + varicode(kNul + kNul + kNul + kNul + kNul + kNul);
    EXPECT_EQ(prefix(x, 40), prefix(tonesOf(bits), 40));
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> a");
    EXPECT_EQ(g.receive.textIn(Colour::Red), "a");  // the snapshot comes back plain, the echo red

    // The next character typed is the one at the reduced count + 1.
    g.send.moveToEnd();
    g.send.setSelText("c");
    g.untilSent(2);
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> ac");
}

TEST(SymbolGenerator, UnconfirmedBackspaceSendsTheCharacterAgain)
{
    Generator g(EffectiveMode::Hf2250Fast, "ab");
    g.untilSent(2);
    g.vars.BackspaceRequest = true;
    g.vars.BackspaceConfirmed = false;  // the window kept the character
    while (g.vars.BackspaceRequest)
        g.next();
    EXPECT_EQ(g.vars.SentCount, 1);
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> a");
    g.untilSent(2);
    EXPECT_EQ(g.receive.text(), "\r\nTX <09:05 UTC> ab");
}

TEST(SymbolGenerator, BackspaceWithNothingSentSendsIdle)
{
    Generator g(EffectiveMode::Hf2250Fast, "");
    g.vars.BackspaceRequest = true;
    EXPECT_EQ(g.next(11), tonesOf(varicode(kNul + kNul)));
    EXPECT_EQ(g.vars.SentCount, 0);
    EXPECT_FALSE(g.vars.BackspaceRequest);

    Generator slow(EffectiveMode::Hf2250Slow, "");
    slow.vars.BackspaceRequest = true;
    EXPECT_EQ(slow.next(3), tonesOf(sixBit(kNul)));
}

TEST(SymbolGenerator, BackspaceIn6BitModesIsValue27)
{
    Generator g(EffectiveMode::Eme, "ab");
    auto x = g.untilSent(2);
    g.vars.BackspaceRequest = true;
    g.vars.BackspaceConfirmed = true;
    g.send.setText("a");
    const auto rest = g.next(9);
    x.insert(x.end(), rest.begin(), rest.end());
    EXPECT_EQ(prefix(x, 9), tonesOf(sixBit("ab\b")));
}

// The window may lose text under the generator: a clear, a macro that empties it.
TEST(SymbolGenerator, SurvivesTheSendWindowShrinking)
{
    Generator g(EffectiveMode::Hf2250Fast, "HELLO");
    g.untilSent(4);
    g.send.setText("HI");
    g.next(30);
    EXPECT_EQ(g.vars.SentCount, 2);  // nothing past the text is read

    g.send.setText("");
    g.vars.txState = TxState::StopRequested;
    g.toEnd(200);
    EXPECT_TRUE(g.vars.EndSignal);  // the stop is not waiting for a length already passed
    EXPECT_EQ(g.vars.SentCount, 0);
}

}  // namespace
}  // namespace miv
