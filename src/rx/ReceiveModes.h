#pragma once

#include "modem/ModemMode.h"

namespace miv {

// Every mode computes eight spectrum rows per symbol.
inline constexpr int kRowsPerSymbol = 8;

struct BinRange {
    int low;
    int high;
};

// The filter chain that turns capture blocks into the baseband ring.
enum class FilterChain { Hf, EmeWide, EmeNarrow };

// The spectrum routine that computes a mode's rows.
enum class SpectrumRoutine { Fast, Slow, EmeNarrow, EmeWide };

// How the receiver hears one mode (EME once per AFC range, since the range chooses the
// filter chain): the spectrum it reads and the rules of its decoder. Every part of the
// receiver, and the gauges, read the mode from this one table.
struct ReceiveMode {
    FilterChain chain;
    SpectrumRoutine routine;
    int plane;              // SpectrumHistory plane of the routine
    int toneStep;           // spectrum bins between adjacent tones
    bool hops;              // HF hops over the groups of HopTable; EME has one group
    int hopColumn;          // HopTable column
    float binHz;            // width of one spectrum bin
    BinRange wide;          // start bins searched with the wide AFC range; StartBin never leaves it
    BinRange narrow;        // start bins searched with the narrow range
    BinRange stored;        // bins the spectrum keeps: every tone of every start bin in `wide`
    float metricReference;  // mean metric sample that reads 0 dB
    float metricFloorDb;    // what a history of zeros reads; the metric gauge's left end
    int trackingDecisions;  // decisions between carrier corrections, and how many they sum
    bool estimatesToneNoise;

    // The start bin of a transmission on its nominal frequency: the middle of the range.
    int centreBin() const { return (wide.low + wide.high) / 2; }
};

// The mode the switches select, as the decoder hears it.
const ReceiveMode& receiveMode(const ModeSwitches& switches);

// One receive step: the spectra it computes from each block. The Auto steps compute
// both rates and decode the one the symbol-rate switch shows; the others compute one.
struct ReceiveStep {
    const ReceiveMode* fast;  // a spectrum every 8 ms step; none at 1 baud and in EME
    const ReceiveMode* slow;  // a spectrum every 16th step; none at 16 baud
    int counter;              // the step's own counter of 8 ms steps, when it has a slow spectrum
};

inline constexpr int kReceiveStepCounters = 6;

// The receive step the switches select.
const ReceiveStep& receiveStep(const ModeSwitches& switches);

// The bin of tone 0 of the group that hop row `hopRow` (1..288) uses, for a transmission
// whose tone 0 of group 1 (or of EME's one group) is at `startBin`.
int groupStart(const ReceiveMode& mode, int startBin, int hopRow);

}  // namespace miv
