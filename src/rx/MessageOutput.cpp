#include "rx/MessageOutput.h"

#include <cmath>

#include "modem/Convolutional.h"
#include "modem/ModemMode.h"
#include "modem/Picture.h"
#include "platform/Clock.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"

namespace miv {

void MetricHistory::Metric(float value)
{
    for (std::size_t i = 1; i < samples_.size(); ++i)
        samples_[i - 1] = samples_[i];
    samples_.back() = value;
}

float MetricHistory::metricDb(const MetricScale& scale) const
{
    float sum = 0;
    for (float v : samples_)
        sum += v;
    const float mean = sum / 64;
    if (mean > scale.reference)
        return 0;
    if (mean == 0)
        return scale.floor;
    const double ratio = static_cast<double>(scale.reference) / static_cast<double>(mean);
    // log10 of the gauges: 0 for a ratio that is not positive.
    return ratio > 0 ? static_cast<float>(-20 * std::log10(ratio)) : 0.0f;
}

int ViterbiErrorCounter::CountViterbiErrors(int branch, std::uint8_t hardTone, std::uint8_t viterbiSymbol,
                                            int symbolCount)
{
    // The hard decision of the symbol the decoder has just decided: its reading delay
    // plus the 16 symbols of the decision delay.
    constexpr std::array<int, 4> kDelay{6, 4, 2, 0};
    constexpr int kDecisionDelay = 16;

    ringPosition_ = ringPosition_ == kRing ? 1 : ringPosition_ + 1;
    hardRing_[static_cast<std::size_t>(ringPosition_)] = hardTone;
    int q = ringPosition_ - kDelay[static_cast<std::size_t>(branch - 1)] - kDecisionDelay;
    if (q < 1)
        q += kRing;

    if (symbolCount == 22) {
        errorWindow_ = {};
        windowPosition_ = kWindow;
        count_ = 0;
        return 0;
    }
    if (symbolCount < 22)
        return count_;
    windowPosition_ = windowPosition_ == kWindow ? 1 : windowPosition_ + 1;
    const std::uint8_t error = kInverseGrayTone[hardRing_[static_cast<std::size_t>(q)]] != viterbiSymbol;
    auto& slot = errorWindow_[static_cast<std::size_t>(windowPosition_)];
    count_ = count_ - slot + error;
    slot = error;
    return count_;
}

void SixBitDecoder::reset()
{
    count_ = 0;
    writer_.reset();
}

void SixBitDecoder::SixBitDecode(int bit)
{
    bits_[static_cast<std::size_t>(count_++)] = static_cast<std::uint8_t>(bit != 0);
    if (count_ < 6)
        return;
    count_ = 0;
    int value = 0;
    for (std::uint8_t b : bits_)
        value = 2 * value + b;
    switch (value) {
    case 27:  // backspace
        writer_.backspace();
        break;
    case 0:  // idle filler
        break;
    case 7:  // space, in the apostrophe's slot
        writer_.append(" ");
        break;
    default:
        writer_.append(std::string(1, static_cast<char>(32 + value)));
        break;
    }
}

MessageOutput::MessageOutput(ReceiveState& state, const ModeSwitches& switches, TextWindow& window, const Clock& clock,
                             ReceiverObserver& observer, const GaugeReadings& gauges)
    : state_(state),
      switches_(switches),
      window_(window),
      clock_(clock),
      observer_(observer),
      gauges_(gauges),
      writer_(window),
      varicode_(writer_),
      sixBit_(writer_)
{
}

void MessageOutput::WriteHeader()
{
    state_.AcquisitionEnabled = false;
    const UtcTime now = clock_.utcNow();
    window_.moveToEnd();
    window_.setSelText("\r\n");
    window_.setInsertColour(Colour::Blue);
    window_.setSelText("RX: ");
    window_.setInsertColour(Colour::Black);
    std::string time = "<";
    time += formatPicture(now.hour, "00");
    time += ':';
    time += formatPicture(now.minute, "00");
    time += " UTC>";
    window_.setSelText(time);
    std::string shift = " <";
    shift += formatPicture(state_.FrequencyShift, "0.0");
    shift += " Hz.> ";
    window_.setSelText(shift);
    window_.setInsertColour(Colour::Blue);
}

void MessageOutput::resetCharacterDecoders()
{
    varicode_.reset();
    sixBit_.reset();
}

void MessageOutput::decodeBits(std::uint8_t first, std::uint8_t second)
{
    if (switches_.mode().sixBitAlphabet()) {
        sixBit_.SixBitDecode(first);
        sixBit_.SixBitDecode(second);
    } else {
        varicode_.DecodeVaricodeBit(first);
        varicode_.DecodeVaricodeBit(second);
    }
}

void MessageOutput::endMessage()
{
    window_.append(" <STOP>");
    triggerReport(false);
    state_.LockFlag = false;
    state_.BestSum = 0;
    state_.AcquisitionEnabled = true;
}

void MessageOutput::CancelMessage()
{
    if (!state_.LockFlag)
        return;
    window_.setInsertColour(Colour::Black);
    window_.append(" <CANCEL>");
    state_.LockFlag = false;
    state_.BestSum = 0;
    state_.AcquisitionEnabled = true;
    triggerReport(true);
}

void MessageOutput::triggerReport(bool cancelled)
{
    // Other stations' reports read a final acquisition of 9 as a cancel; the flag says
    // so without ambiguity.
    constexpr int kCancelledScore = 9;
    const UtcTime now = clock_.utcNow();
    observer_.reportTriggered({state_.FrameScore, cancelled ? kCancelledScore : state_.FinalScore,
                               state_.FrequencyShift, ViterbiErrors_, gauges_.lastMetric, gauges_.cpuUsage,
                               state_.AcquisitionVolume, cancelled, writer_.ReceivedText(), now.hour, now.minute});
}

void MessageOutput::RecordMetricSample(float rowPeak, float& peakLevel)
{
    constexpr float kHalfScale = 16383.5f;
    float sample = 0;
    if (peakLevel > kHalfScale)
        sample = rowPeak / (2 * peakLevel);
    else if (peakLevel > 0)
        sample = rowPeak / peakLevel;
    metric_.Metric(sample);
    lastPeakLevel_ = peakLevel;
    peakLevel = 0;
}

float MessageOutput::metricDb() const
{
    return metric_.metricDb(metricScale(switches_));
}

}  // namespace miv
