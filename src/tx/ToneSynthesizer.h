#pragma once

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "platform/AudioBlock.h"
#include "tx/OutputRing.h"
#include "tx/SymbolGenerator.h"
#include "tx/ToneTable.h"

namespace miv {

// The refill state of the two transmit timers: the initial tone, then the preamble and
// the generator's symbols through the interleaver and the hopping table, one block per
// tick. Each tick queues the block prepared on the tick before and prepares the next,
// and changes nothing unless a slot was free, so a stalled device loses no symbol.
class ToneSynthesizer {
public:
    enum class Step {
        NoSlot,    // no slot was free: nothing happened
        Queued,    // a block went out and the next one is ready
        ToneDone,  // the initial tone is complete: the refill ticks take over
        End,       // a block went out and the transmission is to end
    };

    ToneSynthesizer(const ModeSwitches& switches, SymbolGenerator& generator, OutputRing& output);

    // BuildToneTable for the current mode.
    void BuildToneTable();
    // The refill state of a new transmission: interleaver, counters, a silent block.
    // The initial tone's length is fixed here, so clearing the screen during a long
    // tone cannot skip its end.
    void reset(bool longInitialTone);

    // One tick of the initial-tone timer (HF only).
    Step InitialToneTick();
    // One tick of the refill timer: RefillFast, RefillSlow or RefillEME by mode. Ends
    // the transmission on the cancel or on the generator's end signal.
    Step refill(bool cancelRequested);

    // n: symbol times begun, from 1.
    long symbolCount() const { return n_; }

private:
    bool nextSymbolTime();
    void prepareWholeSymbol(const ModeParameters& mode);
    void preparePartOfSymbol(const ModeParameters& mode);

    const ModeSwitches& switches_;
    SymbolGenerator& generator_;
    OutputRing& output_;

    ToneTable table_;
    AudioBlock block_{};  // TxBlock: the block queued on the next tick
    SymbolInterleaver interleaver_;
    long n_ = 0;
    int hopRow_ = 0;         // h: 1..288 once symbols are sent
    int blockOfSymbol_ = 0;  // which block of a 1-baud symbol goes next, from 0
    int currentTone_ = 0;
    int toneTicksLeft_ = 0;  // ticks of the initial tone still to come
};

}  // namespace miv
