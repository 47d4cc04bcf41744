#include "tx/Transmitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TxTestSupport.h"
#include "platform/audio/MemorySink.h"
#include "tx/Render.h"

namespace miv {
namespace {

// A transmitter with everything in memory, keyed by no port.
struct Sender {
    explicit Sender(EffectiveMode effective = EffectiveMode::Hf2250Fast)
    {
        const ModemMode m = test::makeMode(effective);
        switches.selectBandwidth(m.bw2250);
        switches.selectChannel(m.eme);
        switches.selectSymbolRate(m.baud16);
    }

    void type(const std::string& text) { send.append(text); }
    // Ticks while transmitting until `done`; true once the transmission has ended.
    bool runToEnd(const std::function<bool()>& done = [] { return false; })
    {
        for (long i = 0; i < 200000 && tx.transmitting() && !done(); ++i)
            tx.tick();
        return !tx.transmitting();
    }
    void runToSymbol(long n)
    {
        runToEnd([&] { return tx.symbolCount() >= n; });
    }

    ModeSwitches switches;
    MemoryTextWindow send;
    MemoryTextWindow receive;
    FixedClock clock{UtcTime{9, 5, 0}};
    MemorySink sink;
    RecordedMessages messages;
    NoPttKeyer keyer;
    TransmitterHooks hooks;
    Transmitter tx{switches, send, receive, clock, sink, messages, keyer, hooks};
};

TEST(Transmitter, AnEndRequestFinishesTheTextTypedBeforeAndAfterIt)
{
    Sender s;
    s.type("cq de ");
    s.tx.pressTransmitButton();
    s.runToSymbol(30);
    s.tx.pressTransmitButton();
    s.type("dl1abc k");
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.receive.text(), "\r\nTX <09:05 UTC> cq de dl1abc k <STOP>");
    // The text stays, all black again, ready to be sent from its start next time.
    EXPECT_EQ(s.send.textIn(Colour::Black), "cq de dl1abc k");
    EXPECT_FALSE(s.sink.isOpen());
}

// The initial-tone ticks do not look at the cancel: it takes effect on the first refill
// tick, which still queues its block. Either way no end marker goes out.
TEST(Transmitter, ACancelEndsAtTheNextQueuedRefillBlock)
{
    Sender duringTone;
    duringTone.type("never sent");
    duringTone.tx.pressTransmitButton();
    duringTone.tx.tick();
    duringTone.tx.abortTransmission();
    for (int i = 0; i < 4; ++i)
        duringTone.tx.tick();  // the rest of the five initial-tone ticks
    ASSERT_EQ(duringTone.tx.activeTimer(), TxTimer::Refill);
    duringTone.tx.tick();
    EXPECT_FALSE(duringTone.tx.transmitting());
    EXPECT_EQ(duringTone.sink.queuedBlocks(), 10 + 5 + 1);
    EXPECT_TRUE(duringTone.receive.text().ends_with("TX <09:05 UTC>  <CANCEL>"));

    Sender slow(EffectiveMode::Hf2250Slow);
    slow.type("QRZ");
    slow.tx.pressTransmitButton();
    slow.runToSymbol(25);
    const int blocks = slow.sink.queuedBlocks();
    slow.tx.abortTransmission();
    slow.tx.tick();
    EXPECT_FALSE(slow.tx.transmitting());
    EXPECT_EQ(slow.sink.queuedBlocks(), blocks + 1);
    EXPECT_TRUE(slow.receive.text().ends_with(" <CANCEL>"));

    // A YES from a dialog left open after the end does not cut the next transmission.
    slow.tx.abortTransmission();
    slow.tx.pressTransmitButton();
    slow.tx.pressTransmitButton();
    ASSERT_TRUE(slow.runToEnd());
    EXPECT_TRUE(slow.receive.text().ends_with("QRZ <STOP>"));
}

// A sound card that falls behind holds the transmitter back; no symbol is lost and the
// audio is the same as from a card that keeps up.
TEST(Transmitter, AStalledSinkLosesNoSymbol)
{
    const auto reference = renderTransmission(test::makeMode(EffectiveMode::Hf500Fast), "73 de ON4ZZ",
                                              RenderOptions{false, 0, UtcTime{9, 5, 0}});
    Sender s(EffectiveMode::Hf500Fast);
    s.type("73 de ON4ZZ");
    s.sink.stall();
    s.tx.pressTransmitButton();
    s.tx.pressTransmitButton();
    for (long ticks = 0; s.tx.transmitting() && ticks < 100000; ticks += 10) {
        // Ten idle ticks per block played, as a 1 ms timer against a 64 ms block.
        for (int i = 0; i < 10; ++i)
            s.tx.tick();
        s.sink.playOne();
    }
    ASSERT_FALSE(s.tx.transmitting());
    EXPECT_EQ(s.sink.samples(), reference.samples);
    EXPECT_EQ(s.receive.text(), reference.receiveWindow);
}

TEST(Transmitter, SentTextCannotBeEditedWhileSending)
{
    Sender s;
    s.type("abcdef");
    s.tx.pressTransmitButton();
    s.runToEnd([&] { return s.tx.sentCount() >= 3; });
    s.send.setSelStart(1);
    for (const SendWindowKey key : {SendWindowKey::Character, SendWindowKey::Delete, SendWindowKey::Backspace,
                                    SendWindowKey::Home, SendWindowKey::Paste})
        EXPECT_FALSE(s.tx.sendWindowKeyDown(key));
    EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Left));
    EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Right));
    s.send.setSelStart(4);  // inside the unsent text
    EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Character));
    EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Backspace));
    EXPECT_FALSE(s.tx.backspaceRequested());

    s.tx.clearSendWindow();  // only what has not gone out
    EXPECT_EQ(s.send.text(), "abc");
    s.tx.abortTransmission();
    s.tx.tick();
    // After a cancel the sent part is free again, whatever the generator was doing.
    s.send.setSelStart(1);
    EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Character));
    s.tx.clearSendWindow();
    EXPECT_EQ(s.send.text(), "");
}

// Backspace at the caret after the sent text withdraws the last sent character. At 1
// baud the key press discards Backspace, so asking for one would send a backspace and
// then the same character again: nothing is asked.
TEST(Transmitter, BackspaceOverTheLastSentCharacter)
{
    for (const EffectiveMode mode : {EffectiveMode::Hf2250Fast, EffectiveMode::Hf500Slow}) {
        const bool fast = mode == EffectiveMode::Hf2250Fast;
        Sender s(mode);
        s.type("AB");
        s.tx.pressTransmitButton();
        s.runToSymbol(28);
        ASSERT_EQ(s.tx.sentCount(), 2);
        s.send.moveToEnd();
        EXPECT_TRUE(s.tx.sendWindowKeyDown(SendWindowKey::Backspace));
        EXPECT_EQ(s.tx.backspaceRequested(), fast);
        EXPECT_EQ(s.tx.sendWindowKeyPress(8), fast ? 8 : 0);
        if (fast)
            s.send.setText("A");  // what the window does with the key
        s.runToSymbol(45);
        EXPECT_EQ(s.tx.sentCount(), fast ? 1 : 2);
        EXPECT_EQ(s.receive.text(), fast ? "\r\nTX <09:05 UTC> A" : "\r\nTX <09:05 UTC> AB");
    }
}

TEST(Transmitter, AtOneBaudOnlyTheSixBitAlphabetIsTypedInCapitals)
{
    Sender s(EffectiveMode::Hf2250Slow);
    s.send.setInsertColour(Colour::Red);
    std::string typed;
    for (const char c : std::string("qrz;"))
        if (const int code = s.tx.sendWindowKeyPress(c))
            typed += static_cast<char>(code);
    EXPECT_EQ(typed, "QRZ");
    EXPECT_EQ(s.send.insertColour(), Colour::Black);  // typed text is black, sent text red
    for (const int discarded : {int{'`'}, int{'\''}, int{'{'}, 200, 13, 8, 9, 31})
        EXPECT_EQ(s.tx.sendWindowKeyPress(discarded), 0) << discarded;
    for (const int kept : {int{' '}, int{'?'}, int{'Z'}, int{'_'}})
        EXPECT_EQ(s.tx.sendWindowKeyPress(kept), kept) << kept;

    Sender fast;
    for (const int kept : {int{'q'}, int{';'}, 13, 8, 200})
        EXPECT_EQ(fast.tx.sendWindowKeyPress(kept), kept) << kept;
}

// Clear Screen during a long tone clears the CQ flag; the tone still ends after its 48
// blocks instead of running on.
TEST(Transmitter, ALongToneEndsEvenIfTheFlagIsClearedMidway)
{
    Sender s;
    s.tx.setLongInitialTone(true);
    s.tx.pressTransmitButton();
    for (int i = 0; i < 10; ++i)
        s.tx.tick();
    s.tx.setLongInitialTone(false);
    s.tx.pressTransmitButton();
    ASSERT_TRUE(s.runToEnd());
    // The run of identical blocks after the silent lead-in.
    const std::vector<std::int16_t>& samples = s.sink.samples();
    const auto tone = std::find_if(samples.begin(), samples.end(), [](std::int16_t v) { return v != 0; });
    int blocks = 0;
    while (samples.end() - tone >= (blocks + 1) * kBlockSamples &&
           std::equal(tone, tone + kBlockSamples, tone + blocks * kBlockSamples))
        ++blocks;
    EXPECT_EQ(blocks, 48);
}

// The hopping starts again at its first row after 288 symbols.
TEST(Transmitter, HoppingWrapsAfter288Rows)
{
    RenderOptions options;
    options.idleCharacters = 60;  // some 330 symbols
    const auto samples = renderTransmission(test::makeMode(EffectiveMode::Hf2250Fast), "", options).samples;
    const ModeParameters& mode = modeParameters(EffectiveMode::Hf2250Fast);
    const auto symbol = [&](std::size_t i) {
        const std::size_t firstSymbol = (11 + 8) * kBlockSamples;  // after the lead-in and the tone
        return test::strongestPosition(&samples[firstSymbol + i * kBlockSamples], mode);
    };
    ASSERT_GT(samples.size(), 320u * kBlockSamples);
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(symbol(288 + i) / 16, symbol(i) / 16) << i;
}

// The radio is unkeyed before the output closes, so audio still queued does not go on
// air; and it is unkeyed however the transmitter goes away.
TEST(Transmitter, UnkeysFirstAndAlways)
{
    struct Keyer final : TransmitKeyer {
        explicit Keyer(const MemorySink& output) : sink(output) {}
        bool KeyTransmitter() override { return keyed = true; }
        void UnkeyTransmitter() override
        {
            outputOpenAtUnkey = sink.isOpen();
            keyed = false;
        }
        const MemorySink& sink;
        bool keyed = false;
        bool outputOpenAtUnkey = false;
    };
    Sender s;
    Keyer keyer(s.sink);
    {
        Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, s.messages, keyer, s.hooks);
        tx.pressTransmitButton();
        tx.pressTransmitButton();
        while (tx.transmitting())
            tx.tick();
        EXPECT_TRUE(keyer.outputOpenAtUnkey);
        tx.pressTransmitButton();
        tx.shutdown();  // the window closes
        EXPECT_FALSE(keyer.keyed || s.sink.isOpen() || tx.transmitting());
        tx.pressTransmitButton();
        ASSERT_TRUE(keyer.keyed);
    }  // gone without a shutdown
    EXPECT_FALSE(keyer.keyed || s.sink.isOpen());
}

// An output that cannot open, a device that goes away while sending, and a cut for a
// rig that no longer follows: each unkeys before anything else, the message included.
TEST(Transmitter, EveryFailureUnkeysBeforeAnythingElse)
{
    struct Witness final : TransmitKeyer, OperatorMessages {
        bool KeyTransmitter() override
        {
            events.emplace_back("key");
            return keyed = true;
        }
        void UnkeyTransmitter() override
        {
            if (keyed)
                events.emplace_back("unkey");
            keyed = false;
        }
        void critical(const std::string& title, const std::string& text) override
        {
            events.push_back(title + ": " + text);
        }
        PortErrorAnswer askAbortRetryIgnore(const std::string&, const std::string&) override
        {
            return PortErrorAnswer::Abort;
        }
        bool keyed = false;
        std::vector<std::string> events;
    };
    using Events = std::vector<std::string>;
    const std::string lost = "SoundCard Error: Device output not avaiable";
    Sender s;
    Witness witness;
    Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, witness, witness, s.hooks);
    s.type("cq");

    s.sink.setAvailable(false);
    tx.pressTransmitButton();
    EXPECT_TRUE(tx.transmitting());  // STOP still ends it, at once
    EXPECT_EQ(witness.events, (Events{"key", "unkey", lost}));
    tx.pressTransmitButton();
    tx.tick();
    EXPECT_FALSE(tx.transmitting());

    s.sink.setAvailable(true);
    witness.events.clear();
    tx.pressTransmitButton();
    for (int n = 0; n < 20; ++n)
        tx.tick();
    s.sink.fail();
    tx.tick();
    EXPECT_FALSE(tx.transmitting() || s.sink.isOpen());
    EXPECT_TRUE(s.receive.text().ends_with(" <CANCEL>"));
    EXPECT_EQ(witness.events, (Events{"key", "unkey", lost}));

    witness.events.clear();
    tx.pressTransmitButton();
    tx.cutTransmission();
    tx.cutTransmission();  // nothing left to cut
    EXPECT_FALSE(tx.transmitting() || s.sink.isOpen());
    EXPECT_EQ(witness.events, (Events{"key", "unkey"}));
    EXPECT_TRUE(s.receive.text().ends_with(" <CANCEL>"));
}

}  // namespace
}  // namespace miv
