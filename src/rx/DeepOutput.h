#pragma once

#include <cstdint>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"
#include "rx/ReceivedText.h"
#include "rx/ReceiverObserver.h"

namespace miv {

// A message of the deep path in the receive window: its header, its characters, its
// end or cancellation, and the report of it, as the standard path writes them.
class DeepOutput {
public:
    DeepOutput(const ModeSwitches& switches, TextWindow& window, const Clock& clock, ReceiverObserver& observer)
        : switches_(switches),
          window_(window),
          clock_(clock),
          observer_(observer),
          text_(window)
    {
    }

    // What the decoder measured of the message so far, for its report.
    struct Readings {
        int viterbiErrors;
        double snrDb;
    };

    void started(float shiftHz, int frameScore);
    void bitsDecoded(std::uint8_t first, std::uint8_t second) { text_.decodeBits(first, second, switches_.mode()); }
    void ended(int finalScore, const Readings& readings);
    void cancelled(const Readings& readings);

private:
    void report(int finalScore, bool cancelled, const Readings& readings);

    const ModeSwitches& switches_;
    TextWindow& window_;
    const Clock& clock_;
    ReceiverObserver& observer_;
    ReceivedText text_;
    int frameScore_ = 0;
    float shiftHz_ = 0;  // at the lock: the report's shift, as the standard path gives it
};

}  // namespace miv
