#pragma once

#include "rx/FourierAnalyser.h"
#include "rx/ReceiveState.h"

namespace miv {

class FrequencyShiftDisplay;
class MessageOutput;
class ModeSwitches;
class ReceiverObserver;
class SymbolDecoder;
class ToneNoiseEstimator;
struct GaugeReadings;

// Finds a transmission by its preamble: slides the 20 preamble tones, where the
// interleaver and the hopping put them among the last 26 symbols, over the search
// range, and locks where at least 14 are the strongest tone of their slot and the
// summed magnitude beats the best so far.
class Acquisition {
public:
    struct Parts {
        const SpectrumHistory& history;
        ToneNoiseEstimator& noise;
        FrequencyShiftDisplay& shiftDisplay;
        SymbolDecoder& decoder;
        MessageOutput& output;
        const GaugeReadings& gauges;
    };

    Acquisition(ReceiveState& state, ModeSwitches& switches, ReceiverObserver& observer, const Parts& parts)
        : state_(state),
          switches_(switches),
          observer_(observer),
          parts_(parts)
    {
    }

    void AcquireSignal(int lowBin, int highBin);

    // Largest match count since the frame-acquisition gauge last read it.
    int count() const { return count_; }
    void setCount(int count) { count_ = count; }

private:
    void lock(int pos, int matches, float sum);

    ReceiveState& state_;
    ModeSwitches& switches_;
    ReceiverObserver& observer_;
    Parts parts_;
    int count_ = 0;
};

}  // namespace miv
