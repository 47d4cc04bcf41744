#include "rx/deep/DeepReceiver.h"

#include <algorithm>

namespace miv {

namespace {

// Enough history for a 1-baud preamble (26 symbols) found a few rows late, refined an
// eighth of a symbol either way, and the symbols decoded since.
constexpr int kHistorySamples = 128 * 8192;

}  // namespace

DeepReceiver::DeepReceiver(DeepMessageSink& sink) : sink_(sink), history_(kHistorySamples)
{
}

void DeepReceiver::listen(ModemMode mode, bool afcWide)
{
    // Auto rate detection searches both rates whatever the rate switch shows (a lock
    // sets it to the rate found); EME has one rate.
    if (mode.eme)
        mode.baud16 = mode.autoBaud = false;
    else if (mode.autoBaud)
        mode.baud16 = true;
    if (listening_ && *listening_ == mode && afcWide_ == afcWide)
        return;
    cancel();
    listening_ = mode;
    afcWide_ = afcWide;
    searches_.clear();
    decoder_.reset();
    decoderMode_.reset();
    const bool bothRates = !mode.eme && mode.autoBaud;
    for (bool baud16 : {true, false}) {
        if (!bothRates && baud16 != (mode.baud16 && !mode.eme))
            continue;
        const DeepMode m = deepMode(mode, baud16, afcWide);
        searches_.push_back(
            std::make_unique<Search>(Search{m, PreambleSearch(m), m.symbolSamples / kSearchRowsPerSymbol}));
    }
}

void DeepReceiver::push(float sample)
{
    float decimated = 0;
    if (!decimator_.push(sample, decimated))
        return;
    history_.push(decimated);
    for (auto& s : searches_) {
        if (--s->untilNext > 0)
            continue;
        s->untilNext = s->search.rowHop();
        // A preamble found while a message is being received counts only if that message
        // has not yet shown itself to be one and this preamble is the stronger.
        const auto detection = s->search.analyse(history_);
        bestScore_ = std::max(bestScore_, s->search.latestScore());
        if (detection && (!locked() || (!decoder_->confirmed() && detection->score > decoder_->preambleScore())))
            found(s->mode, *detection);
    }
    if (locked())
        decoder_->advance(history_);
}

void DeepReceiver::found(const DeepMode& mode, const PreambleDetection& detection)
{
    if (!decoderMode_ || decoderMode_->symbolSamples != mode.symbolSamples) {
        decoder_ = std::make_unique<DeepDecoder>(mode, sink_);
        decoderMode_ = mode;
    }
    decoder_->start(history_, detection);
}

void DeepReceiver::cancel()
{
    if (decoder_)
        decoder_->cancel();
}

void DeepReceiver::restart()
{
    cancel();
    listening_.reset();
}

}  // namespace miv
