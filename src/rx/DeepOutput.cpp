#include "rx/DeepOutput.h"

#include "rx/MessageOutput.h"

namespace miv {

void DeepOutput::started(float shiftHz, int frameScore)
{
    frameScore_ = frameScore;
    shiftHz_ = shiftHz;
    text_.clear();
    text_.reset();
    writeMessageHeader(window_, clock_.utcNow(), shiftHz);
}

void DeepOutput::ended(int finalScore, const Readings& readings)
{
    // The decoder has already told the end marker's rate bit from the text: an "@" held
    // back is text.
    text_.flush();
    writeMessageEnd(window_);
    report(finalScore, false, readings);
}

void DeepOutput::cancelled(const Readings& readings)
{
    text_.flush();
    writeMessageCancel(window_);
    report(kCancelledFinalScore, true, readings);
}

void DeepOutput::report(int finalScore, bool cancelled, const Readings& readings)
{
    const UtcTime now = clock_.utcNow();
    observer_.messageEnded({frameScore_, finalScore, shiftHz_, readings.viterbiErrors, cancelled, text_.text(),
                            now.hour, now.minute, readings.snrDb});
}

}  // namespace miv
