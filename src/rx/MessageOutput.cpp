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

void writeMessageHeader(TextWindow& window, const UtcTime& now, float shiftHz)
{
    window.moveToEnd();
    window.setSelText("\r\n");
    window.setInsertColour(Colour::Blue);
    window.setSelText("RX: ");
    window.setInsertColour(Colour::Black);
    std::string time = "<";
    time += formatPicture(now.hour, "00");
    time += ':';
    time += formatPicture(now.minute, "00");
    time += " UTC>";
    window.setSelText(time);
    std::string shift = " <";
    shift += formatPicture(shiftHz, "0.0");
    shift += " Hz.> ";
    window.setSelText(shift);
    window.setInsertColour(Colour::Blue);
}

void writeMessageEnd(TextWindow& window)
{
    window.append(" <STOP>");
}

void writeMessageCancel(TextWindow& window)
{
    window.setInsertColour(Colour::Black);
    window.append(" <CANCEL>");
}

void MessageOutput::WriteHeader()
{
    parts_.acquisition.disable();
    writeMessageHeader(window_, clock_.utcNow(), parts_.acquisition.frequencyShift());
}

void MessageOutput::endMessage()
{
    text_.endMarkerArrived();
    writeMessageEnd(window_);
    report(false);
    parts_.acquisition.unlock();
}

void MessageOutput::CancelMessage()
{
    if (!parts_.acquisition.lockFlag())
        return;
    text_.flush();
    writeMessageCancel(window_);
    parts_.acquisition.unlock();
    report(true);
}

void MessageOutput::report(bool cancelled)
{
    const Acquisition& acquisition = parts_.acquisition;
    const UtcTime now = clock_.utcNow();
    observer_.messageEnded(
        {acquisition.frameScore(), cancelled ? kCancelledFinalScore : parts_.finalAcquisition.finalScore(),
         acquisition.frequencyShift(), errors_.count(), cancelled, text_.text(), now.hour, now.minute, std::nullopt});
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
