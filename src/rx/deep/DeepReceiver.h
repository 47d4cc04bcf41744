#pragma once

#include <memory>
#include <optional>

#include "modem/ModemMode.h"
#include "rx/deep/Decimator.h"
#include "rx/deep/DeepDecoder.h"
#include "rx/deep/PreambleSearch.h"
#include "rx/deep/SampleHistory.h"

namespace miv {

// The deep receive path: from captured audio to decoded bits. It
// searches for preambles (at both rates in auto-baud) and hands each one found to a
// decoder, which reports through the sink.
class DeepReceiver {
public:
    explicit DeepReceiver(DeepMessageSink& sink);

    // The switches the receiver listens with; a change starts the search afresh.
    void listen(ModemMode mode, bool afcWide);
    // One 48 kHz sample.
    void push(float sample);
    // Ends the message in progress (a transmission starts, the sound card changes).
    void cancel();
    // Reception starts again after a gap: the searches start afresh on the next block.
    void restart();
    bool locked() const { return decoder_ && decoder_->active(); }
    const DeepDecoder* decoder() const { return decoder_.get(); }
    // The best preamble score any search has seen since the last reset, for the
    // frame-acquisition gauge.
    float bestScore() const { return bestScore_; }
    void resetBestScore() { bestScore_ = 0; }

private:
    struct Search {
        DeepMode mode;
        PreambleSearch search;
        int untilNext;
    };
    void found(const DeepMode& mode, const PreambleDetection& detection);

    DeepMessageSink& sink_;
    Decimator decimator_;
    SampleHistory history_;
    std::optional<ModemMode> listening_;
    bool afcWide_ = true;
    std::vector<std::unique_ptr<Search>> searches_;
    std::unique_ptr<DeepDecoder> decoder_;
    std::optional<DeepMode> decoderMode_;
    float bestScore_ = 0;
};

}  // namespace miv
