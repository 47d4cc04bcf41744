#include "rx/MessageOutput.h"

#include "modem/MessageSchedule.h"
#include "modem/Picture.h"
#include "rx/Acquisition.h"
#include "rx/FilterChains.h"
#include "rx/FinalAcquisition.h"
#include "rx/ReceiveModes.h"
#include "rx/ReceiverObserver.h"

namespace miv {

void MessageOutput::decided(const SymbolDecision& decision)
{
    FilterChains& chains = parts_.chains;
    metric_.RecordMetricSample(decision.rowPeak, chains.peakLevel());
    chains.resetPeakLevel();

    const Acquisition& acquisition = parts_.acquisition;
    if (decision.count == kHeaderDecision && acquisition.lockFlag())
        WriteHeader();
    if (decision.count == kCharacterResetDecision)
        text_.reset();
    else if (decision.count >= kFirstCharacterDecision && acquisition.lockFlag())
        text_.decodeBits(decision.decoded.firstBit, decision.decoded.secondBit, switches_.mode());

    if (acquisition.lockFlag() && parts_.finalAcquisition.add(decision.hardTone))
        endMessage();

    errors_.CountViterbiErrors(decision.branch, decision.hardTone, decision.decoded.symbol, decision.count);
}

void MessageOutput::WriteHeader()
{
    parts_.acquisition.disable();
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
    shift += formatPicture(parts_.acquisition.frequencyShift(), "0.0");
    shift += " Hz.> ";
    window_.setSelText(shift);
    window_.setInsertColour(Colour::Blue);
}

void MessageOutput::endMessage()
{
    text_.endMarkerArrived();
    window_.append(" <STOP>");
    report(false);
    parts_.acquisition.unlock();
}

void MessageOutput::CancelMessage()
{
    if (!parts_.acquisition.lockFlag())
        return;
    text_.flush();
    window_.setInsertColour(Colour::Black);
    window_.append(" <CANCEL>");
    parts_.acquisition.unlock();
    report(true);
}

void MessageOutput::report(bool cancelled)
{
    // Other stations' reports read a final acquisition of 9 as a cancel; the flag says
    // so without ambiguity.
    constexpr int kCancelledScore = 9;
    const Acquisition& acquisition = parts_.acquisition;
    const UtcTime now = clock_.utcNow();
    observer_.messageEnded(
        {acquisition.frameScore(), cancelled ? kCancelledScore : parts_.finalAcquisition.finalScore(),
         acquisition.frequencyShift(), errors_.count(), cancelled, text_.text(), now.hour, now.minute});
}

void MessageOutput::newMessage(float preambleSum)
{
    text_.clear();
    metric_.prime(preambleSum);
}

float MessageOutput::metricDb() const
{
    return metric_.metricDb(receiveMode(switches_));
}

}  // namespace miv
