#pragma once

#include <array>
#include <cstdint>

#include "modem/Varicode.h"
#include "rx/ReceiveState.h"

namespace miv {

class Clock;
class ModeSwitches;
class ReceiverObserver;
struct MetricScale;

// Readings the window's gauge timers show and store back, for the report and for the
// volume taken at a lock.
struct GaugeReadings {
    float lastMetric = 0;  // dB
    float volume = -20;    // dB
    float cpuUsage = 0;    // %
};

// The latest 64 metric samples; the gauge turns their mean into dB.
class MetricHistory {
public:
    void Metric(float value);
    float metricDb(const MetricScale& scale) const;

private:
    std::array<float, 64> samples_{};  // oldest first; never-written entries count as 0
};

// Symbol errors the Viterbi decoder corrected among the last 50 symbols: the hard
// decision of each symbol compared with the branch the decoder chose for it.
class ViterbiErrorCounter {
public:
    int CountViterbiErrors(int branch, std::uint8_t hardTone, std::uint8_t viterbiSymbol, int symbolCount);

private:
    static constexpr int kRing = 23;
    static constexpr int kWindow = 50;

    std::array<std::uint8_t, kRing + 1> hardRing_{};  // positions 1..23
    int ringPosition_ = 0;
    std::array<std::uint8_t, kWindow + 1> errorWindow_{};  // positions 1..50
    int windowPosition_ = kWindow;
    int count_ = 0;
};

// Characters of the 6-bit alphabet, six bits each, most significant first.
class SixBitDecoder {
public:
    explicit SixBitDecoder(ReceivedTextWriter& writer) : writer_(writer) {}

    void reset();
    void SixBitDecode(int bit);

private:
    ReceivedTextWriter& writer_;
    std::array<std::uint8_t, 6> bits_{};
    int count_ = 0;
};

// What a decision writes: the header, the characters, " <STOP>" and " <CANCEL>",
// the report, and the two quality figures.
class MessageOutput {
public:
    MessageOutput(ReceiveState& state, const ModeSwitches& switches, TextWindow& window, const Clock& clock,
                  ReceiverObserver& observer, const GaugeReadings& gauges);

    void WriteHeader();
    void resetCharacterDecoders();
    void decodeBits(std::uint8_t first, std::uint8_t second);
    // A new lock: the text of the previous message goes.
    void clearReceivedText() { writer_.clearReceivedText(); }

    // The end marker has arrived.
    void endMessage();
    void CancelMessage();

    void RecordMetricSample(float rowPeak, float& peakLevel);
    void Metric(float value) { metric_.Metric(value); }
    float metricDb() const;
    float LastPeakLevel() const { return lastPeakLevel_; }

    int CountViterbiErrors(int branch, std::uint8_t hardTone, std::uint8_t viterbiSymbol, int symbolCount)
    {
        ViterbiErrors_ = errors_.CountViterbiErrors(branch, hardTone, viterbiSymbol, symbolCount);
        return ViterbiErrors_;
    }
    int ViterbiErrors() const { return ViterbiErrors_; }

    const std::string& ReceivedText() const { return writer_.ReceivedText(); }

private:
    void triggerReport(bool cancelled);

    ReceiveState& state_;
    const ModeSwitches& switches_;
    TextWindow& window_;
    const Clock& clock_;
    ReceiverObserver& observer_;
    const GaugeReadings& gauges_;
    ReceivedTextWriter writer_;
    VaricodeDecoder varicode_;
    SixBitDecoder sixBit_;
    MetricHistory metric_;
    ViterbiErrorCounter errors_;
    int ViterbiErrors_ = 0;
    float lastPeakLevel_ = 0;
};

}  // namespace miv
