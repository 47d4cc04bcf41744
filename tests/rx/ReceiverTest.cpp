#include <gtest/gtest.h>

#include "channel/ChannelSimulator.h"
#include "platform/audio/BlockAudioSource.h"
#include "rx/Receiver.h"
#include "rx/RxTestSupport.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

struct Events : ReceiverObserver {
    int started = 0;
    std::vector<ReceptionReport> reports;
    void receptionStarted() override { ++started; }
    void reportTriggered(const ReceptionReport& r) override { reports.push_back(r); }
};

// A receiver over audio in memory, ticked by hand.
struct Station {
    explicit Station(std::vector<std::int16_t> samples = {}) : source(std::move(samples)) {}

    // Ticks until the audio runs out or `stop` says so; false when it ran out.
    template <typename Stop>
    bool tickUntil(Stop stop)
    {
        while (!stop()) {
            const long long taken = source.blocksTaken();
            receiver.tick();
            if (source.blocksTaken() == taken)
                return false;
        }
        return true;
    }
    void tickAll()
    {
        tickUntil([] { return false; });
    }

    ModeSwitches switches;
    MemoryTextWindow window;
    FixedClock clock{{9, 5, 0}};
    RecordedMessages messages;
    MemoryAudioSource source;
    Events events;
    Receiver receiver{switches, window, clock, messages, source, events};
};

std::vector<std::int16_t> silence(int blocks)
{
    return std::vector<std::int16_t>(static_cast<std::size_t>(blocks) * kBlockSamples, 0);
}

ModemMode hf2250Fast()
{
    return {};
}

TEST(Receiver, WithoutACaptureDeviceItSaysSoAndWaits)
{
    Station s(silence(4));
    s.source.setAvailable(false);
    s.receiver.OpenCapture();
    s.receiver.StartReception();
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_EQ(s.messages.shown[0].text, "Device input not avaiable");
    EXPECT_EQ(s.events.started, 1);
    s.receiver.tick();
    EXPECT_EQ(s.source.blocksTaken(), 0);
    EXPECT_EQ(s.receiver.ringWriteIndex(), 0);
}

TEST(Receiver, AChannelChangeRestartsTheBasebandRing)
{
    Station s(silence(8));
    s.receiver.OpenCapture();
    s.receiver.StartReception();
    s.receiver.tick();
    s.receiver.tick();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 1024);
    s.switches.clickChannel();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 0);
    // In EME the AFC range chooses the chain, so it restarts the ring too.
    s.receiver.tick();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 512);
    s.switches.clickAfcRange();
    EXPECT_EQ(s.receiver.ringWriteIndex(), 0);
}

// The reply after a transmission starts where capture reopens: it decodes even though
// it runs on past the 50 blocks of the capture ring.
TEST(Receiver, AReplyAfterCaptureReopensIsReceivedWhole)
{
    std::vector<std::int16_t> audio = silence(10);
    const auto reply = renderTransmission(hf2250Fast(), "a reply longer than the fifty blocks of the ring, 73").samples;
    audio.insert(audio.end(), reply.begin(), reply.end());
    audio.resize(audio.size() + 40 * kBlockSamples, 0);
    Station s(audio);
    s.receiver.OpenCapture();
    s.receiver.StartReception();
    for (int i = 0; i < 6; ++i)
        s.receiver.tick();
    s.receiver.stopReception();  // a transmission
    s.receiver.CloseCapture();
    s.receiver.tick();
    EXPECT_EQ(s.source.blocksTaken(), 6);
    s.receiver.OpenCapture();
    s.receiver.StartReception();
    s.tickAll();
    ASSERT_EQ(s.events.reports.size(), 1u);
    EXPECT_FALSE(s.events.reports[0].cancelled);
    EXPECT_EQ(s.events.reports[0].receivedText, "a reply longer than the fifty blocks of the ring, 73");
    EXPECT_EQ(s.window.text(),
              "\r\nRX: <09:05 UTC> <0.0 Hz.> a reply longer than the fifty blocks of the ring, 73 <STOP>");
}

// After a lock far off centre in EME, an HF mode must not read past its spectrum.
TEST(Receiver, StartBinStaysInsideTheRangeOfANewMode)
{
    ModemMode eme;
    eme.eme = true;
    ChannelSettings settings;
    settings.snrDb = 10;
    settings.frequencyOffsetHz = 1290;
    // The preamble is enough to lock.
    std::vector<std::int16_t> start = renderTransmission(eme, "e").samples;
    start.resize(30 * 48000);
    Station s(simulateChannel(start, settings).samples);
    s.switches.clickChannel();
    s.receiver.OpenCapture();
    s.receiver.StartReception();
    ASSERT_TRUE(s.tickUntil([&] { return s.receiver.LockFlag(); }));
    EXPECT_GT(s.receiver.state().StartBin, 5600);
    s.receiver.CancelMessage();

    s.switches.clickChannel();  // HF 2250 Hz at 16 baud: start bins 26..78
    EXPECT_EQ(s.receiver.state().StartBin, 78);
    s.switches.clickSymbolRate();
    s.switches.setAutoBaud(false);  // at 1 baud: 416..1248
    EXPECT_EQ(s.receiver.state().StartBin, 416);
    s.source.append(silence(40));
    for (int i = 0; i < 40; ++i)
        s.receiver.tick();
    EXPECT_GE(s.receiver.state().StartBin, 416);
    EXPECT_LE(s.receiver.state().StartBin, 1248);
}

// Two receivers in one process share nothing.
TEST(Receiver, TwoReceiversRunSideBySide)
{
    const auto first = renderTransmission(hf2250Fast(), "first").samples;
    ModemMode narrow;
    narrow.bw2250 = false;
    const auto second = renderTransmission(narrow, "second").samples;
    std::vector<std::int16_t> a = first;
    a.resize(first.size() + 30 * kBlockSamples);
    std::vector<std::int16_t> b = second;
    b.resize(second.size() + 30 * kBlockSamples);
    Station one(a);
    Station two(b);
    two.switches.clickBandwidth();
    for (Station* s : {&one, &two}) {
        s->receiver.OpenCapture();
        s->receiver.StartReception();
    }
    bool more = true;
    while (more) {
        more = false;
        for (Station* s : {&one, &two}) {
            const long long taken = s->source.blocksTaken();
            s->receiver.tick();
            more = more || s->source.blocksTaken() != taken;
        }
    }
    ASSERT_EQ(one.events.reports.size(), 1u);
    ASSERT_EQ(two.events.reports.size(), 1u);
    EXPECT_EQ(one.events.reports[0].receivedText, "first");
    EXPECT_EQ(two.events.reports[0].receivedText, "second");
}

}  // namespace
}  // namespace miv::test
