#pragma once

#include <cstdint>
#include <string>

#include "modem/ModemMode.h"
#include "modem/Viterbi.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"
#include "rx/DecodingQuality.h"
#include "rx/ReceivedText.h"

namespace miv {

class Acquisition;
class FilterChains;
class FinalAcquisition;
class ReceiverObserver;

// The header line that opens a received message: "RX: <hh:mm UTC> <shift Hz.> ", the
// text to follow in blue.
void writeMessageHeader(TextWindow& window, const UtcTime& now, float shiftHz);
// " <STOP>" after the text of a message whose end marker arrived.
void writeMessageEnd(TextWindow& window);
// " <CANCEL>" after the text of a message cut off.
void writeMessageCancel(TextWindow& window);

// What a symbol decision hands on to the message.
struct SymbolDecision {
    int count;   // decisions since the lock, counting stops at kFirstErrorCountDecision
    int branch;  // de-interleaver branch 0..3
    std::uint8_t hardTone;
    ViterbiDecoder::Decision decoded;
    float rowPeak;  // the decided row's strongest tone
};

// The received message in the receive window: its header, its characters, its end
// (" <STOP>") or cancellation (" <CANCEL>"), each followed by the report, and the two
// quality figures the gauges and the report show.
class MessageOutput {
public:
    struct Parts {
        Acquisition& acquisition;
        FinalAcquisition& finalAcquisition;
        FilterChains& chains;  // its peak level feeds the metric
    };

    MessageOutput(const Parts& parts, const ModeSwitches& switches, TextWindow& window, const Clock& clock,
                  ReceiverObserver& observer)
        : parts_(parts),
          switches_(switches),
          window_(window),
          clock_(clock),
          observer_(observer),
          text_(window)
    {
    }

    // The output of one decision, at the decision counts the frame fixes.
    void decided(const SymbolDecision& decision);
    // Ends the message in progress with " <CANCEL>"; nothing when none is.
    void CancelMessage();

    // A new lock: the previous message's text goes, the metric starts from the lock.
    void newMessage(float preambleSum);

    float metricDb() const;
    int viterbiErrors() const { return errors_.count(); }

private:
    void WriteHeader();
    void endMessage();
    void report(bool cancelled);

    Parts parts_;
    const ModeSwitches& switches_;
    TextWindow& window_;
    const Clock& clock_;
    ReceiverObserver& observer_;
    ReceivedText text_;
    MetricMeter metric_;
    ViterbiErrorCounter errors_;
};

}  // namespace miv
