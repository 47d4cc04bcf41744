#pragma once

#include "modem/ModemMode.h"

namespace miv {

// Receiver parameters that follow the switches. Every function reads the switches
// when called, so a click takes effect at the next use.

struct BinRange {
    int low;
    int high;
};

// The eight receive steps, as the switches select them.
enum class ReceiveStep {
    Block2250x16,
    Block500x16,
    Block2250x1,
    Block500x1,
    Block2250Auto,
    Block500Auto,
    BlockEMENarrow,
    BlockEMEWide,
};

ReceiveStep selectReceiveStep(const ModeSwitches& switches);

// Where `StartBin` may go: the tracking limits, which are the wide search ranges on
// HF whatever the AFC range, and the range of the chosen chain in EME.
BinRange startBinLimits(const ModeSwitches& switches);

// Centre bin (offset 0) and bin width in Hz of the spectrum the shift is measured in.
struct ShiftScale {
    int centre;
    float binWidth;
};
ShiftScale shiftScale(const ModeSwitches& switches);

// The shift beyond which the caption turns red, and the span of the needle.
struct ShiftLimits {
    float limit;
    float span;
    bool inclusive;  // EME wide turns red at the limit itself
};
ShiftLimits shiftLimits(const ModeSwitches& switches);

// Floor and reference of the metric in dB.
struct MetricScale {
    float reference;
    float floor;
};
MetricScale metricScale(const ModeSwitches& switches);

// Interval of the alarm armed at a lock, in milliseconds.
int alarmInterval(const ModeSwitches& switches);

// The tone-noise estimate runs on HF except at 500 Hz and 16 baud.
bool estimatesToneNoise(const ModeSwitches& switches);

}  // namespace miv
