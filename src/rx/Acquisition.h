#pragma once

#include "rx/FourierAnalyser.h"
#include "rx/ReceiveModes.h"

namespace miv {

class ReceiverObserver;

// Finds a transmission by its preamble: slides the 20 preamble tones, where the
// interleaver and the hopping put them among the last 26 symbols, over the search
// range, and locks where at least 14 are the strongest tone of their slot and the
// summed magnitude beats the best so far. Owns the lock: the start bin of tone 0,
// whether a message is being received, and what was measured at the lock.
class Acquisition {
public:
    // What else a lock sets going: the decoder and the text start afresh on it.
    class LockListener {
    public:
        virtual void locked(int row, const ReceiveMode& mode) = 0;

    protected:
        ~LockListener() = default;
    };

    Acquisition(const SpectrumHistory& history, ModeSwitches& switches, ReceiverObserver& observer,
                LockListener& listener)
        : history_(history),
          switches_(switches),
          observer_(observer),
          listener_(listener)
    {
    }

    // Searches the start bins of `range` in row `row` of the mode's spectrum; every
    // improvement, in search order, locks.
    void AcquireSignal(int row, const ReceiveMode& mode, BinRange range);

    // Shows the frequency shift and returns it in Hz: the offset of the start bin
    // from the centre of the range while locked, the last one measured otherwise.
    float ShowFrequencyShift();

    // Whether acquisition runs after each spectrum: off from the message's header
    // until it ends.
    bool enabled() const { return enabled_; }
    void disable() { enabled_ = false; }
    // True while a message is being received.
    bool lockFlag() const { return lockFlag_; }
    // The message has ended or was cancelled, or reception starts: search afresh.
    void unlock();

    // Spectrum bin of tone 0 of group 1 (HF) or of the single group (EME).
    int startBin() const { return startBin_; }
    // Tone tracking moves it a bin at a time; a change of mode keeps it in range.
    void moveStartBin(int bins) { startBin_ += bins; }
    void clampStartBin(BinRange limits);

    int frameScore() const { return frameScore_; }         // matching preamble symbols at the latest lock
    float frequencyShift() const { return lockedShift_; }  // Hz, at the latest lock
    float bestSum() const { return bestSum_; }             // summed magnitude at the latest lock

    // Largest match count since the frame-acquisition gauge last read it.
    int count() const { return count_; }
    void resetCount() { count_ = 0; }

private:
    void lock(int row, const ReceiveMode& mode, int pos, int matches, float sum);
    float showShift(bool locked);

    const SpectrumHistory& history_;
    ModeSwitches& switches_;
    ReceiverObserver& observer_;
    LockListener& listener_;
    int startBin_ = 0;
    bool lockFlag_ = false;
    bool enabled_ = false;
    float bestSum_ = 0;
    int frameScore_ = 0;
    float lockedShift_ = 0;
    float shownShift_ = 0;  // measured while locked, shown again while not
    int count_ = 0;
};

}  // namespace miv
