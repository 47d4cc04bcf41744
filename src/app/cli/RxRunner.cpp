#include "app/cli/RxRunner.h"

#include <algorithm>

namespace miv::cli {

namespace {

// The window's gauge timers.
constexpr std::chrono::milliseconds kVolumeRefresh{100};
constexpr std::chrono::milliseconds kMetricRefresh{200};

// After the input: the 16-baud spectrum lags the ring by 0.96 s and every spectrum
// needs the whole ring, then a few symbols decide the last characters and the end
// marker. A message cut off without its end marker is given up after more symbols.
constexpr int kRingBlocks = 16;
constexpr int kClosingSymbols = 8;
constexpr int kCutOffSymbols = 40;

}  // namespace

RxRunner::RxRunner(ModeSwitches& switches, const Clock& clock, OperatorMessages& messages, BlockAudioSource& source)
    : switches_(switches),
      source_(source),
      gauges_(switches),
      receiver_(switches, window_, clock, messages, source, *this),
      nextVolume_(kVolumeRefresh),
      nextMetric_(kMetricRefresh)
{
}

int RxRunner::symbolBlocks() const
{
    return switches_.mode().samplesPerSymbol() / kBlockSamples;
}

void RxRunner::run()
{
    source_.appendSilence(kRingBlocks + kClosingSymbols * symbolBlocks());
    int extraBlocks = 0;

    receiver_.OpenCapture();
    receiver_.StartReception();
    while (receiver_.receiving()) {
        const long long taken = source_.blocksTaken();
        receiver_.tick();
        if (source_.blocksTaken() == taken) {
            const int moreBlocks = kCutOffSymbols * symbolBlocks() - extraBlocks;
            if (!receiver_.busy() || moreBlocks <= 0)
                break;
            const int chunk = std::min(moreBlocks, symbolBlocks());
            source_.appendSilence(chunk);
            extraBlocks += chunk;
            continue;
        }
        audioTime_ += kBlockPeriod;
        advanceGauges();
        if (!receiver_.lockFlag())
            flushText(false);
    }
    receiver_.stopReception();
    receiver_.CloseCapture();
    flushText(true);
}

void RxRunner::advanceGauges()
{
    for (; nextVolume_ <= audioTime_; nextVolume_ += kVolumeRefresh) {
        gauges_.refreshVolume(receiver_.peakLevelGauge());
        receiver_.resetPeakLevelGauge();
    }
    for (; nextMetric_ <= audioTime_; nextMetric_ += kMetricRefresh)
        gauges_.refreshMetricAndErrors(receiver_.metricDb(), receiver_.viterbiErrors());
}

void RxRunner::flushText(bool all)
{
    const std::string text = window_.text();
    if (text.size() < textShown_)
        textShown_ = 0;
    std::size_t end = text.size();
    // A line break is written as CR LF in one piece, but keep a lone CR back anyway.
    if (!all && end > textShown_ && text[end - 1] == '\r')
        --end;
    if (end > textShown_ && onText)
        onText(text.substr(textShown_, end - textShown_));
    textShown_ = std::max(textShown_, end);
}

void RxRunner::messageEnded(const ReceivedMessage& message)
{
    const ReceptionReport report = receptionReport(message, gauges_.readings());
    reports_.push_back(report);
    if (onReport)
        onReport(report);
}

}  // namespace miv::cli
