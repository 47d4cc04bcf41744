#pragma once

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "platform/AudioBlock.h"
#include "tx/OutputRing.h"
#include "tx/SymbolGenerator.h"
#include "tx/ToneTable.h"
#include "tx/TransmitState.h"

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

    ToneSynthesizer(const ModeSwitches& switches, SymbolGenerator& generator, OutputRing& output,
                    const TransmitVariables& vars);

    // BuildToneTable for the current mode, and N.
    void BuildToneTable();
    // The refill state of a new transmission: interleaver, counters, a silent block.
    // The initial tone's length is fixed here, so clearing the screen during a long
    // tone cannot skip its end.
    void reset(bool longInitialTone);

    // One tick of tmrTXTonoInicial (HF only).
    Step InitialToneTick();
    // One tick of tmrTX: sets the hop column selector and calls the mode's refill.
    Step tmrTX_Timer();
    Step RefillFast();
    Step RefillSlow();
    Step RefillEME();

    long symbolCount() const { return n_; }
    int hopColumn() const { return hopColumn_; }

private:
    // Steps 1 and 2 of every refill: queue the prepared block, then look at the requests.
    Step queuePrepared();
    // The symbol time's interleaver step; false while the first three outputs, which
    // are not sent, come out.
    bool nextSymbolTime();
    Step refillChunked(bool eme);

    const ModeSwitches& switches_;
    SymbolGenerator& generator_;
    OutputRing& output_;
    const TransmitVariables& vars_;

    ToneTable table_;
    AudioBlock block_{};  // TxBlock: the block queued on the next tick
    SymbolInterleaver interleaver_;
    long n_ = 0;      // symbol count, from 1
    int hopRow_ = 0;  // h: 1..288 once symbols are sent
    int chunk_ = 1;   // P: first sample (from 1) of the next block of a 1-baud symbol
    int currentTone_ = 0;
    int initialToneCounter_ = 1;
    int initialToneEnd_ = 6;  // 6 for the short tone, 46 for the long one
    int hopColumn_ = 1;       // the hop column selector
};

}  // namespace miv
