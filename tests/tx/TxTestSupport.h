#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <sndfile.h>

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/SerialPort.h"
#include "platform/TextWindow.h"
#include "platform/audio/MemorySink.h"
#include "tx/PttKeyer.h"
#include "tx/Transmitter.h"

namespace miv::test {

inline std::vector<std::int16_t> readSoundFile(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames));
    sf_read_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

inline ModemMode makeMode(EffectiveMode effective)
{
    ModemMode m;
    m.bw2250 = effective == EffectiveMode::Hf2250Fast || effective == EffectiveMode::Hf2250Slow ||
               effective == EffectiveMode::Eme;
    m.eme = effective == EffectiveMode::Eme;
    m.baud16 = effective == EffectiveMode::Hf2250Fast || effective == EffectiveMode::Hf500Fast;
    return m;
}

// Every hook call, by name, in order.
class RecordingHooks final : public TransmitterHooks {
public:
    void cancelMessage() override { calls.push_back("cancelMessage"); }
    void stopReception() override { calls.push_back("stopReception"); }
    void closeCapture() override { calls.push_back("closeCapture"); }
    void startReception() override { calls.push_back("startReception"); }
    void resetStatusDisplays() override { calls.push_back("resetStatusDisplays"); }
    void clearWaterfall() override { calls.push_back("clearWaterfall"); }
    void setCursorReadoutEnabled(bool on) override { calls.push_back(on ? "cursorOn" : "cursorOff"); }
    void setTransmitLed(bool on) override { calls.push_back(on ? "ledRed" : "ledGreen"); }
    void focusSendWindow() override { calls.push_back("focusSendWindow"); }
    void txButtonChanged() override { calls.push_back("txButtonChanged"); }
    void reevaluateMacroButtons() override { calls.push_back("reevaluateMacroButtons"); }
    void enableMacroButtons(bool includeCall) override
    {
        calls.push_back(includeCall ? "enableMacroButtons+Call" : "enableMacroButtons");
    }
    void setSoundCardSaveEnabled(bool on) override { calls.push_back(on ? "saveOn" : "saveOff"); }
    void showAbortDialog() override { calls.push_back("showAbortDialog"); }
    void closeAbortDialog() override { calls.push_back("closeAbortDialog"); }
    void transmitTimerChanged(bool running) override { calls.push_back(running ? "timerOn" : "timerOff"); }

    std::vector<std::string> calls;
};

// A station with everything in memory: windows, sound card, serial port, messages.
struct Station {
    explicit Station(EffectiveMode effective = EffectiveMode::Hf2250Fast)
    {
        const ModemMode m = makeMode(effective);
        switches.selectBandwidth(m.bw2250);
        switches.selectChannel(m.eme);
        switches.selectSymbolRate(m.baud16);
    }

    void type(const std::string& text)
    {
        send.moveToEnd();
        send.setSelText(text);
    }
    // Ticks until the transmission ends; false if it has not after `maxTicks`.
    bool runToEnd(long maxTicks = 200000)
    {
        for (long i = 0; i < maxTicks && tx.transmitting(); ++i)
            tx.tick();
        return !tx.transmitting();
    }
    // Ticks until the generator has been called up to symbol count n.
    void runToSymbol(long n)
    {
        for (long i = 0; i < 200000 && tx.transmitting() && tx.symbolCount() < n; ++i)
            tx.tick();
    }

    // Ticks until `count` characters have been taken for sending.
    void runUntilSent(int count)
    {
        for (long i = 0; i < 200000 && tx.transmitting() && tx.SentCount() < count; ++i)
            tx.tick();
    }

    ModeSwitches switches;
    MemoryTextWindow send;
    MemoryTextWindow receive;
    FixedClock clock{UtcTime{9, 5, 0}};
    MemorySink sink;
    RecordedMessages messages;
    FakeSerialPort port;
    PttKeyer keyer{port, messages, ComAssignment{}};
    RecordingHooks hooks;
    Transmitter tx{switches, send, receive, clock, sink, messages, keyer, hooks};
};

// Power of a tone in a window of samples (Goertzel).
inline double tonePower(const std::int16_t* x, int length, double frequency)
{
    const double w = 2 * M_PI * frequency / kSampleRate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0;
    double s2 = 0;
    for (int i = 0; i < length; ++i) {
        const double s0 = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The strongest of the candidate frequencies in a window; -1 when the window is silent.
inline int strongest(const std::int16_t* x, int length, const std::vector<double>& candidates)
{
    int best = -1;
    double bestPower = 1e6;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const double p = tonePower(x, length, candidates[i]);
        if (p > bestPower) {
            bestPower = p;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The transmission's structure read back from its audio alone.
struct Analysis {
    int leadInSamples = 0;      // silence before the first sound
    double initialTone = 0;     // Hz, 0 when there is none
    int initialToneBlocks = 0;  // blocks of identical initial-tone samples
    int firstSymbolSample = 0;
    // Per sent symbol: tone position (group − 1)·16 + tone (the tone alone in EME); -2
    // when the symbol is not one steady tone.
    std::vector<int> positions;
    int lastSymbolSamples = 0;  // how much of the last symbol was sent
};

inline Analysis analyse(const std::vector<std::int16_t>& s, const ModeParameters& mode)
{
    Analysis a;
    const int total = static_cast<int>(s.size());
    while (a.leadInSamples < total && s[static_cast<std::size_t>(a.leadInSamples)] == 0)
        ++a.leadInSamples;
    a.firstSymbolSample = a.leadInSamples;
    if (mode.hasInitialTone) {
        const std::int16_t* tone = &s[static_cast<std::size_t>(a.leadInSamples)];
        std::vector<double> grid;  // every multiple of 15.625 Hz up to 3 kHz: orthogonal over a block
        for (int k = 1; k <= 192; ++k)
            grid.push_back(k * 15.625);
        a.initialTone = grid[static_cast<std::size_t>(strongest(tone, kBlockSamples, grid))];
        int at = a.leadInSamples;
        while (at + kBlockSamples <= total &&
               std::equal(tone, tone + kBlockSamples, &s[static_cast<std::size_t>(at)])) {
            ++a.initialToneBlocks;
            at += kBlockSamples;
        }
        a.firstSymbolSample = at;
    }
    std::vector<double> candidates;
    const int positions = mode.hops ? mode.groups * 16 : 16;
    for (int p = 0; p < positions; ++p)
        candidates.push_back(mode.lowestTone + p * static_cast<double>(mode.toneSpacing));
    // A window of one period of the tone spacing holds a whole number of cycles of
    // every tone, so the tones are orthogonal over it.
    const int window = static_cast<int>(kSampleRate / mode.toneSpacing);
    const int n = mode.samplesPerSymbol;
    int at = a.firstSymbolSample;
    while (at + n <= total) {
        const int first = strongest(&s[static_cast<std::size_t>(at)], window, candidates);
        const int last = strongest(&s[static_cast<std::size_t>(at + n - window)], window, candidates);
        a.positions.push_back(first == last ? first : -2);
        at += n;
    }
    // The last symbol may have gone out in part; it counts, unknown (-1) when too short
    // to tell its tone.
    a.lastSymbolSamples = total - at;
    if (a.lastSymbolSamples == 0 && !a.positions.empty())
        a.lastSymbolSamples = n;
    else if (a.lastSymbolSamples > 0)
        a.positions.push_back(
            a.lastSymbolSamples >= window ? strongest(&s[static_cast<std::size_t>(at)], window, candidates) : -1);
    return a;
}

// Group of hop row r (1..288) in column c, from the hopping rule itself.
inline int hopGroup(int r, int column)
{
    const int s = HopBase[static_cast<std::size_t>((r - 1) % 32)];
    const int c = (r - 1) % 9 + 1;
    if (column == 1)
        return s + c > 9 ? s + c - 9 : s + c;
    if (column == 2)
        return s + 1;
    return s > 3 ? 2 : 1;
}

// Interleaver input index of sent symbol n (n ≥ 4): n − 9, n − 7, n − 5, n − 3 in turn.
inline int interleaverInput(int n)
{
    static constexpr int kDelay[4] = {3, 9, 7, 5};
    return n - kDelay[n % 4];
}

}  // namespace miv::test
