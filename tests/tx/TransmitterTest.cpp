#include <gtest/gtest.h>

#include <algorithm>

#include "TxTestSupport.h"
#include "tx/Render.h"

namespace miv {
namespace {

using test::Station;

std::vector<std::string> after(const std::vector<std::string>& calls, std::size_t from)
{
    return {calls.begin() + static_cast<long>(from), calls.end()};
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Transmitter, ButtonFollowsTheState)
{
    Station s;
    auto look = s.tx.txButton();
    EXPECT_STREQ(look.caption, "PTT");
    EXPECT_TRUE(look.enabled);
    EXPECT_EQ(look.backColour, Colour::Red);

    s.tx.cmdTX_RX_Click();
    look = s.tx.txButton();
    EXPECT_STREQ(look.caption, "STOP");
    EXPECT_TRUE(look.enabled);
    EXPECT_TRUE(s.tx.transmitting());

    s.tx.cmdTX_RX_Click();
    look = s.tx.txButton();
    EXPECT_STREQ(look.caption, "WAIT");
    EXPECT_FALSE(look.enabled);
    EXPECT_EQ(look.backColour, Colour::Grey);

    s.tx.cmdTX_RX_Click();  // nothing while waiting
    EXPECT_EQ(s.tx.txState(), TxState::StopRequested);

    ASSERT_TRUE(s.runToEnd());
    look = s.tx.txButton();
    EXPECT_STREQ(look.caption, "PTT");
    EXPECT_TRUE(look.enabled);
    EXPECT_EQ(look.backColour, Colour::Red);
}

TEST(Transmitter, HandsTheStationOverInTheDescribedOrder)
{
    Station s(EffectiveMode::Hf500Slow);
    s.tx.cmdTX_RX_Click();
    EXPECT_EQ(s.hooks.calls, (std::vector<std::string>{"cancelMessage", "focusSendWindow", "stopReception",
                                                       "cancelMessage", "txButtonChanged", "saveOff", "clearWaterfall",
                                                       "cursorOff", "resetStatusDisplays", "closeCapture",
                                                       "reevaluateMacroButtons", "ledRed", "timerOn"}));
    EXPECT_EQ(s.tx.activeTimer(), TxTimer::InitialTone);

    const std::size_t mark = s.hooks.calls.size();
    s.tx.cmdTX_RX_Click();
    EXPECT_EQ(after(s.hooks.calls, mark), (std::vector<std::string>{"txButtonChanged", "focusSendWindow"}));

    const std::size_t end = s.hooks.calls.size();
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(after(s.hooks.calls, end),
              (std::vector<std::string>{"timerOff", "ledGreen", "startReception", "cursorOn", "txButtonChanged",
                                        "enableMacroButtons+Call", "saveOn", "closeAbortDialog"}));
    EXPECT_EQ(s.tx.activeTimer(), TxTimer::None);
}

TEST(Transmitter, EmeStartsWithTheRefillTimer)
{
    Station s(EffectiveMode::Eme);
    s.tx.cmdTX_RX_Click();
    EXPECT_EQ(s.tx.activeTimer(), TxTimer::Refill);
}

// Unkeying comes before the output closes, so audio still queued does not go on air.
TEST(Transmitter, UnkeysBeforeClosingTheOutput)
{
    struct Keyer final : TransmitKeyer {
        explicit Keyer(const MemorySink& output) : sink(output) {}
        bool KeyTransmitter() override { return keyed = true; }
        void UnkeyTransmitter() override
        {
            keyed = false;
            outputOpenAtUnkey = sink.isOpen();
        }
        const MemorySink& sink;
        bool keyed = false;
        bool outputOpenAtUnkey = false;
    };
    Station s;
    Keyer keyer(s.sink);
    Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, s.messages, keyer, s.hooks);
    tx.cmdTX_RX_Click();
    EXPECT_TRUE(keyer.keyed);
    tx.cmdTX_RX_Click();
    while (tx.transmitting())
        tx.tick();
    EXPECT_FALSE(keyer.keyed);
    EXPECT_TRUE(keyer.outputOpenAtUnkey);
    EXPECT_FALSE(s.sink.isOpen());
}

TEST(Transmitter, StopEndsAfterAllTextTypedBeforeAndAfterThePress)
{
    Station s;
    s.type("cq de ");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(30);
    s.tx.cmdTX_RX_Click();
    s.type("dl1abc k");  // typed after STOP
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.receive.text(), "\r\nTX <09:05 UTC> cq de dl1abc k <STOP>");
    EXPECT_TRUE(s.tx.EndSignal());
    // The text stays, all black again, ready to be sent from its start next time.
    EXPECT_EQ(s.send.text(), "cq de dl1abc k");
    EXPECT_EQ(s.send.textIn(Colour::Black), "cq de dl1abc k");
    EXPECT_FALSE(s.sink.isOpen());
}

TEST(Transmitter, SentTextIsRedWhileSending)
{
    Station s;
    s.type("abc");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(35);
    EXPECT_EQ(s.tx.SentCount(), 3);
    EXPECT_EQ(s.send.textIn(Colour::Red), "abc");
}

TEST(Transmitter, EscapeOffersTheAbortDialogOnlyWhileSending)
{
    Station s;
    s.tx.sendWindowKeyDown(Transmitter::kKeyEscape, false);
    EXPECT_EQ(std::count(s.hooks.calls.begin(), s.hooks.calls.end(), "showAbortDialog"), 0);
    s.tx.cmdTX_RX_Click();
    s.tx.sendWindowKeyDown(Transmitter::kKeyEscape, false);
    EXPECT_EQ(std::count(s.hooks.calls.begin(), s.hooks.calls.end(), "showAbortDialog"), 1);
    s.tx.cmdTX_RX_Click();
    s.tx.sendWindowKeyDown(Transmitter::kKeyEscape, false);
    EXPECT_EQ(std::count(s.hooks.calls.begin(), s.hooks.calls.end(), "showAbortDialog"), 2);
}

TEST(Transmitter, NoLeavesTheTransmissionRunning)
{
    Station s;
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(25);
    s.tx.cmdNO_Click();
    s.runToSymbol(40);
    EXPECT_TRUE(s.tx.transmitting());
    EXPECT_FALSE(s.tx.CancelRequest());
}

// The initial-tone ticks do not look at the cancel: it takes effect on the first refill
// tick, which still queues its block, and no end marker goes out.
TEST(Transmitter, CancelDuringTheInitialToneEndsOnTheFirstRefillTick)
{
    Station s;
    s.type("never sent");
    s.tx.cmdTX_RX_Click();
    s.tx.tick();
    s.tx.tick();
    ASSERT_EQ(s.tx.activeTimer(), TxTimer::InitialTone);
    s.tx.cmdYES_Click();
    EXPECT_TRUE(s.tx.CancelRequest());
    for (int i = 0; i < 3; ++i)
        s.tx.tick();  // the rest of the five initial-tone ticks
    EXPECT_EQ(s.tx.activeTimer(), TxTimer::Refill);
    EXPECT_TRUE(s.tx.transmitting());
    s.tx.tick();
    EXPECT_FALSE(s.tx.transmitting());
    EXPECT_EQ(s.sink.queuedBlocks(), 10 + 5 + 1);
    EXPECT_TRUE(endsWith(s.receive.text(), "TX <09:05 UTC>  <CANCEL>"));
    EXPECT_FALSE(s.tx.CancelRequest());
    EXPECT_FALSE(s.tx.EndSignal());
    EXPECT_EQ(s.tx.SentCount(), 0);
}

TEST(Transmitter, CancelCutsAtTheNextQueuedBlock)
{
    Station s(EffectiveMode::Hf2250Slow);
    s.type("QRZ");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(25);
    const int blocks = s.sink.queuedBlocks();
    s.tx.cmdYES_Click();
    s.tx.tick();
    EXPECT_FALSE(s.tx.transmitting());
    EXPECT_EQ(s.sink.queuedBlocks(), blocks + 1);
    EXPECT_TRUE(endsWith(s.receive.text(), " <CANCEL>"));
}

// A sound card that falls behind holds the transmitter back; no symbol is lost and the
// audio is the same as from a card that keeps up.
TEST(Transmitter, StalledSinkLosesNoSymbol)
{
    const auto reference = renderTransmission(test::makeMode(EffectiveMode::Hf500Fast), "73 de ON4ZZ",
                                              RenderOptions{false, 0, UtcTime{9, 5, 0}});
    Station s(EffectiveMode::Hf500Fast);
    s.type("73 de ON4ZZ");
    s.sink.stall();
    s.tx.cmdTX_RX_Click();
    s.tx.cmdTX_RX_Click();
    long ticks = 0;
    while (s.tx.transmitting() && ticks < 100000) {
        // Ten idle ticks per block played, as a 1 ms timer against a 64 ms block.
        for (int i = 0; i < 10; ++i, ++ticks)
            s.tx.tick();
        s.sink.playOne();
    }
    ASSERT_FALSE(s.tx.transmitting());
    EXPECT_EQ(s.sink.samples(), reference.samples);
    EXPECT_EQ(s.receive.text(), reference.receiveWindow);

    // Stalled for good: the generator is not called at all.
    Station stuck(EffectiveMode::Hf500Fast);
    stuck.tx.cmdTX_RX_Click();
    stuck.runToSymbol(30);
    stuck.sink.stall();
    for (int i = 0; i < 20; ++i)
        stuck.tx.tick();
    const long n = stuck.tx.symbolCount();
    for (int i = 0; i < 1000; ++i)
        stuck.tx.tick();
    EXPECT_EQ(stuck.tx.symbolCount(), n);
}

// With no output device the transmission starts keyed, as described, and a stop or a
// cancel still ends it and unkeys the radio.
TEST(Transmitter, MissingOutputDeviceStaysStoppable)
{
    for (const bool cancel : {false, true}) {
        Station s;
        s.port.present = {"/dev/ttyS0"};
        PttKeyer keyer(s.port, s.messages, ComAssignment{SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""}});
        keyer.mnuCOMA_Click(1);
        Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, s.messages, keyer, s.hooks);
        s.sink.setAvailable(false);
        s.type("hello");
        tx.cmdTX_RX_Click();
        ASSERT_EQ(s.messages.shown.size(), 1u);
        EXPECT_EQ(s.messages.shown[0].title, "SoundCard Error");
        EXPECT_EQ(s.messages.shown[0].text, "Device output not avaiable");
        EXPECT_TRUE(tx.transmitting());
        EXPECT_TRUE(s.port.isOpen());
        for (int i = 0; i < 100; ++i)
            tx.tick();
        EXPECT_TRUE(tx.transmitting());

        if (cancel)
            tx.cmdYES_Click();
        else
            tx.cmdTX_RX_Click();
        tx.tick();
        EXPECT_FALSE(tx.transmitting());
        EXPECT_FALSE(s.port.isOpen());
        EXPECT_TRUE(endsWith(s.receive.text(), cancel ? " <CANCEL>" : " <STOP>"));
    }
}

// A missing port at key time asks Abort, Retry or Ignore.
class PluggingMessages final : public OperatorMessages {
public:
    PluggingMessages(FakeSerialPort& port, std::vector<PortErrorAnswer> answers) : port_(port), answers_(answers) {}
    void critical(const std::string& title, const std::string& text) override { shown.push_back(title + ": " + text); }
    PortErrorAnswer askAbortRetryIgnore(const std::string& title, const std::string& text) override
    {
        shown.push_back(title + ": " + text);
        const PortErrorAnswer answer = answers_.at(asked++);
        if (answer == PortErrorAnswer::Retry && asked == answers_.size())
            port_.present.insert("/dev/serial/by-id/usb-FTDI-if00");  // plugged back in
        return answer;
    }
    std::vector<std::string> shown;
    std::size_t asked = 0;

private:
    FakeSerialPort& port_;
    std::vector<PortErrorAnswer> answers_;
};

struct PortCase {
    std::vector<PortErrorAnswer> answers;
    bool starts;
    bool keyed;
};

TEST(Transmitter, PortMissingAtKeyTime)
{
    const ComAssignment devices{SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""},
                                SerialDeviceInfo{"/dev/serial/by-id/usb-FTDI-if00", "ttyUSB0", "FT232R"}};
    using A = PortErrorAnswer;
    for (const PortCase& c : {PortCase{{A::Abort}, false, false}, PortCase{{A::Ignore}, true, false},
                              PortCase{{A::Retry, A::Retry, A::Retry}, true, true}}) {
        Station s;
        PluggingMessages messages(s.port, c.answers);
        PttKeyer keyer(s.port, messages, devices);
        keyer.mnuCOMA_Click(2);
        Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, messages, keyer, s.hooks);
        tx.cmdTX_RX_Click();
        EXPECT_EQ(messages.shown.front(), "Port Error: COM2 not avaiable");
        EXPECT_EQ(tx.transmitting(), c.starts);
        EXPECT_EQ(s.port.isOpen(), c.keyed);
        if (!c.starts) {
            // Only the received message was cancelled; the station stays receiving.
            EXPECT_EQ(s.hooks.calls, std::vector<std::string>{"cancelMessage"});
            EXPECT_FALSE(s.sink.isOpen());
        }
        if (c.keyed) {
            EXPECT_EQ(s.port.openDevice(), "/dev/serial/by-id/usb-FTDI-if00");
        }
        EXPECT_EQ(messages.asked, c.answers.size());
    }
}

TEST(Transmitter, NoComTransmitsWithoutTouchingAnyPort)
{
    Station s;
    s.tx.cmdTX_RX_Click();
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd());
    EXPECT_TRUE(s.port.log.empty());
}

TEST(Transmitter, SentTextCannotBeEditedWhileSending)
{
    Station s;
    s.type("abcdef");
    s.tx.cmdTX_RX_Click();
    s.runUntilSent(3);
    ASSERT_EQ(s.tx.SentCount(), 3);

    s.send.setSelStart(1);
    EXPECT_EQ(s.tx.sendWindowKeyDown('X', false), 0);
    EXPECT_EQ(s.tx.sendWindowKeyDown(46, false), 0);  // Delete
    EXPECT_EQ(s.tx.sendWindowKeyDown(Transmitter::kKeyBackspace, false), 0);
    EXPECT_EQ(s.tx.sendWindowKeyDown(Transmitter::kKeyLeft, false), Transmitter::kKeyLeft);
    EXPECT_EQ(s.tx.sendWindowKeyDown(Transmitter::kKeyRight, false), Transmitter::kKeyRight);
    EXPECT_FALSE(s.tx.BackspaceRequest());

    s.send.setSelStart(4);  // inside the unsent text
    EXPECT_EQ(s.tx.sendWindowKeyDown('X', false), 'X');
    EXPECT_EQ(s.tx.sendWindowKeyDown(Transmitter::kKeyBackspace, false), Transmitter::kKeyBackspace);
    EXPECT_FALSE(s.tx.BackspaceRequest());
}

TEST(Transmitter, BackspaceOverTheLastSentCharacterThroughTheKeys)
{
    Station s;
    s.type("ab");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(30);
    ASSERT_EQ(s.tx.SentCount(), 2);
    s.send.moveToEnd();
    EXPECT_EQ(s.tx.sendWindowKeyDown(Transmitter::kKeyBackspace, false), Transmitter::kKeyBackspace);
    EXPECT_TRUE(s.tx.BackspaceRequest());
    EXPECT_EQ(s.tx.sendWindowKeyPress(8), 8);
    s.send.setSelStart(1);  // what the window does with the key
    s.send.setSelLength(1);
    s.send.setSelText("");
    s.runToSymbol(45);
    EXPECT_EQ(s.tx.SentCount(), 1);
    EXPECT_EQ(s.receive.text(), "\r\nTX <09:05 UTC> a");
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.receive.text(), "\r\nTX <09:05 UTC> a <STOP>");
}

TEST(Transmitter, SlowRateKeyRules)
{
    Station s(EffectiveMode::Hf2250Slow);
    s.send.setInsertColour(Colour::Red);
    std::string typed;
    for (const char c : std::string("qrz;"))
        if (const int code = s.tx.sendWindowKeyPress(c))
            typed += static_cast<char>(code);
    EXPECT_EQ(typed, "QRZ");  // in capitals, without the semicolon
    EXPECT_EQ(s.send.insertColour(), Colour::Black);
    for (const int discarded : {int{'`'}, int{'\''}, int{'{'}, 200, 13, 8, 9})
        EXPECT_EQ(s.tx.sendWindowKeyPress(discarded), 0) << discarded;
    EXPECT_EQ(s.tx.sendWindowKeyPress('?'), '?');

    Station fast;
    EXPECT_EQ(fast.tx.sendWindowKeyPress('q'), 'q');
    EXPECT_EQ(fast.tx.sendWindowKeyPress(';'), ';');
    EXPECT_EQ(fast.tx.sendWindowKeyPress(13), 13);
}

// At 1 baud the key press discards Backspace, so the key-down must not ask the
// generator for one: the station would send a backspace and the character again.
TEST(Transmitter, SlowRateBackspaceRequestsNothing)
{
    Station s(EffectiveMode::Hf500Slow);
    s.type("AB");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(28);
    ASSERT_EQ(s.tx.SentCount(), 2);
    s.send.moveToEnd();
    s.tx.sendWindowKeyDown(Transmitter::kKeyBackspace, false);
    EXPECT_FALSE(s.tx.BackspaceRequest());
    EXPECT_EQ(s.tx.sendWindowKeyPress(8), 0);
    s.runToSymbol(40);
    EXPECT_EQ(s.tx.SentCount(), 2);
    EXPECT_EQ(s.receive.text(), "\r\nTX <09:05 UTC> AB");
}

TEST(Transmitter, ClearSendWindowKeepsOnlyWhatIsBeingSent)
{
    Station s;
    s.type("abcdef");
    s.tx.cmdTX_RX_Click();
    s.runUntilSent(3);
    ASSERT_EQ(s.tx.SentCount(), 3);
    s.tx.clearSendWindow();
    EXPECT_EQ(s.send.text(), "abc");
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd());
    s.tx.clearSendWindow();
    EXPECT_EQ(s.send.text(), "");
}

// After a cancel the sent part is no longer locked: the transmitter is idle, whatever
// EndSignal says.
TEST(Transmitter, CancelledTransmissionLeavesTheSendWindowFree)
{
    Station s;
    s.type("abcdef");
    s.tx.cmdTX_RX_Click();
    s.runToSymbol(30);
    s.tx.cmdYES_Click();
    s.tx.tick();
    ASSERT_FALSE(s.tx.transmitting());
    ASSERT_FALSE(s.tx.EndSignal());
    ASSERT_GT(s.tx.SentCount(), 0);

    EXPECT_FALSE(s.tx.sentTextLocked());
    s.send.setSelStart(1);
    EXPECT_EQ(s.tx.sendWindowKeyDown('X', false), 'X');
    s.tx.clearSendWindow();
    EXPECT_EQ(s.send.text(), "");
}

// YES clicked on a dialog left open after the end must not cut the next transmission.
TEST(Transmitter, LateYesIsIgnored)
{
    Station s;
    s.tx.cmdTX_RX_Click();
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd());
    s.tx.cmdYES_Click();
    EXPECT_FALSE(s.tx.CancelRequest());

    s.type("next");
    s.tx.cmdTX_RX_Click();
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd());
    EXPECT_TRUE(endsWith(s.receive.text(), "next <STOP>"));
}

// Clear Screen during a long tone clears the CQ flag; the tone still ends after its 48
// blocks instead of running on.
TEST(Transmitter, LongToneEndsEvenIfTheFlagIsClearedMidway)
{
    Station s;
    s.tx.setLongInitialTone(true);
    s.tx.cmdTX_RX_Click();
    for (int i = 0; i < 10; ++i)
        s.tx.tick();
    s.tx.setLongInitialTone(false);
    s.tx.cmdTX_RX_Click();
    ASSERT_TRUE(s.runToEnd(10000));
    const auto a = test::analyse(s.sink.samples(), modeParameters(EffectiveMode::Hf2250Fast));
    EXPECT_EQ(a.initialToneBlocks, 48);
}

TEST(Transmitter, ClosingWhileKeyedUnkeys)
{
    Station s;
    s.port.present = {"/dev/ttyS0"};
    {
        PttKeyer keyer(s.port, s.messages, ComAssignment{SerialDeviceInfo{"/dev/ttyS0", "ttyS0", ""}});
        keyer.mnuCOMA_Click(1);
        Transmitter tx(s.switches, s.send, s.receive, s.clock, s.sink, s.messages, keyer, s.hooks);
        tx.cmdTX_RX_Click();
        tx.tick();
        ASSERT_TRUE(s.port.isOpen());
        tx.shutdown();
        EXPECT_FALSE(s.port.isOpen());
        EXPECT_FALSE(s.sink.isOpen());
        EXPECT_FALSE(tx.transmitting());

        tx.cmdTX_RX_Click();
        ASSERT_TRUE(s.port.isOpen());
    }  // the window went away without a shutdown
    EXPECT_FALSE(s.port.isOpen());
    EXPECT_FALSE(s.sink.isOpen());
}

TEST(Transmitter, SymbolCountAndHopColumnFollowTheMode)
{
    for (const auto& [mode, column] : {std::pair{EffectiveMode::Hf2250Fast, 1}, std::pair{EffectiveMode::Hf2250Slow, 1},
                                       std::pair{EffectiveMode::Hf500Fast, 3}, std::pair{EffectiveMode::Hf500Slow, 2},
                                       std::pair{EffectiveMode::Eme, 1}}) {
        Station s(mode);
        s.tx.cmdTX_RX_Click();
        s.runToSymbol(5);
        EXPECT_EQ(s.tx.hopColumn(), column) << modeParameters(mode).name;
    }
}

}  // namespace
}  // namespace miv
