#pragma once

#include <vector>

#include "modem/Frame.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"
#include "rx/Acquisition.h"
#include "rx/FinalAcquisition.h"
#include "rx/MessageOutput.h"
#include "rx/ReceiverObserver.h"
#include "rx/SymbolDecoder.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv::test {

// The receiver's decision parts wired as the receiver wires them, around a spectrum
// history the test writes, recording what they report. HF 2250 Hz at 16 baud unless
// the test clicks the switches.
struct DecoderRig : ReceiverObserver, Acquisition::LockListener {
    static constexpr int kRow = 100;  // the row acquisition searches

    ModeSwitches switches;
    SpectrumHistory history;
    MemoryTextWindow window;
    FixedClock clock{{12, 0, 0}};
    FilterChains chains{switches, *this};
    ToneNoiseEstimator noise{history};
    Acquisition acquisition{history, switches, *this, *this};
    FinalAcquisition finalAcquisition{*this};
    MessageOutput output{{acquisition, finalAcquisition, chains}, switches, window, clock, *this};
    SymbolDecoder decoder{history, noise, acquisition, output, *this};

    std::vector<int> locks;  // frame scores
    std::vector<int> syncs;
    std::vector<ReceivedMessage> messages;

    void symbolSynchronizationShown(int rows) override { syncs.push_back(rows); }
    void messageEnded(const ReceivedMessage& m) override { messages.push_back(m); }
    void locked(int, const ReceiveMode&) override
    {
        locks.push_back(acquisition.frameScore());
        finalAcquisition.reset();
        decoder.reset();
    }

    const ReceiveMode& mode() const { return receiveMode(switches); }
    // Preamble tone k of a transmission whose tone 0 of group 1 is at `startBin`, in
    // the rows before kRow where it would be.
    float& preambleTone(int k, int startBin, int toneOffset = 0)
    {
        const int slot = kPreambleSlot[static_cast<std::size_t>(k)];
        const int tone = PreambleSymbols[static_cast<std::size_t>(k)] + toneOffset;
        return history(symbolRowBefore(kRow, kPreambleSpan - slot),
                       groupStart(mode(), startBin, slot) + tone * mode().toneStep, mode().plane);
    }
    void acquire(int startBin, float level, int tones = kPreambleSymbolCount)
    {
        for (int k = 0; k < tones; ++k)
            preambleTone(k, startBin) = level;
        acquisition.AcquireSignal(kRow, mode(), mode().wide);
    }
};

}  // namespace miv::test
