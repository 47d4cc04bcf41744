#include "rx/Receiver.h"

#include <algorithm>
#include <cmath>

#include "modem/Frame.h"

namespace miv {

namespace {

constexpr int kStepsPerBlock = 8;
// A slow spectrum every 16 steps of 8 ms: the eighth step of every second block.
constexpr int kStepsPerSlowSpectrum = 16;
// The data symbols already inside the preamble's 26 slots at a lock: the tone-noise
// estimate starts on them.
constexpr std::array<int, 3> kDataSlotsAmongPreamble{21, 24, 25};

}  // namespace

Receiver::Receiver(ModeSwitches& switches, TextWindow& window, const Clock& clock, OperatorMessages& messages,
                   AudioSource& source, ReceiverObserver& observer)
    : switches_(switches),
      observer_(observer),
      capture_(source, messages),
      chains_(switches, observer),
      spectrum_(chains_),
      noise_(spectrum_.history()),
      acquisition_(spectrum_.history(), switches, observer, *this),
      finalAcquisition_(observer),
      output_({acquisition_, finalAcquisition_, chains_}, switches, window, clock, observer),
      decoder_(spectrum_.history(), noise_, acquisition_, output_, observer),
      deepOutput_(switches, window, clock, observer),
      deep_(*this)
{
    switches_.addListener(this);
}

Receiver::~Receiver()
{
    switches_.removeListener(this);
}

void Receiver::StartReception()
{
    chains_.resetRingWriteIndex();
    acquisition_.resetCount();
    finalAcquisition_.setCount(1);
    chains_.resetPeakLevelGauge();
    acquisition_.unlock();
    clampStartBin();
    restartDecoding();
    deep_.restart();
    deep_.resetBestScore();
    deepFinalCount_ = 0;
    receiving_ = true;
    observer_.receptionStarted();
}

void Receiver::stopReception()
{
    receiving_ = false;
    observer_.receptionStopped();
    CancelMessage();
}

void Receiver::tick()
{
    if (receiving_)
        receiveBlock(receiveStep(switches_));
}

void Receiver::receiveBlock(const ReceiveStep& step)
{
    if (!capture_.TakeCaptureBlock(block_))
        return;
    const bool wide = switches_.afcWide();
    const bool bothRates = step.fast != nullptr && step.slow != nullptr;
    const FilterChain chain = step.fast != nullptr ? step.fast->chain : step.slow->chain;
    chains_.rewind();
    for (int i = 0; i < kStepsPerBlock; ++i) {
        if (deep()) {
            runChain(chain);
            continue;
        }
        int* counter = step.slow != nullptr ? &stepCounters_[static_cast<std::size_t>(step.counter)] : nullptr;
        if (counter != nullptr)
            ++*counter;
        runChain(chain);
        if (step.fast != nullptr)
            receiveRow(*step.fast, bothRates, wide);
        if (counter != nullptr && *counter >= kStepsPerSlowSpectrum) {
            receiveRow(*step.slow, bothRates, wide);
            *counter = 0;
        }
    }
    if (deep())
        receiveDeep();
}

void Receiver::receiveDeep()
{
    deep_.listen(switches_.mode(), switches_.afcWide());
    for (const std::int16_t sample : block_)
        deep_.push(sample);
    if (!lockFlag())
        return;
    // The gauges follow the tracked frequency and timing as the standard path's
    // corrections move them.
    const DeepDecoder& decoder = *deep_.decoder();
    constexpr float kShownShiftStep = 0.05f;  // the shift is shown to 0.1 Hz
    const auto shift = static_cast<float>(decoder.shiftHz());
    if (std::abs(shift - shownShiftHz_) >= kShownShiftStep) {
        shownShiftHz_ = shift;
        observer_.frequencyShiftShown(shift, switches_.afcRange());
    }
    if (decoder.timingDriftRows() != shownDriftRows_) {
        shownDriftRows_ = decoder.timingDriftRows();
        observer_.symbolSynchronizationShown(shownDriftRows_);
    }
}

void Receiver::messageStarted(double shiftHz, int frameScore)
{
    const DeepMode& mode = deep_.decoder()->mode();
    if (switches_.mode().autoBaud && !switches_.mode().eme)
        switches_.showDetectedRate(mode.baud16);
    deepFinalCount_ = 0;
    shownShiftHz_ = static_cast<float>(shiftHz);
    shownDriftRows_ = 0;
    deepOutput_.started(shownShiftHz_, frameScore);
    observer_.frameAcquired(frameScore);
    observer_.frequencyShiftShown(shownShiftHz_, switches_.afcRange());
    observer_.symbolSynchronizationShown(0);
}

void Receiver::messageEnded(int finalScore)
{
    deepFinalCount_ = finalScore;
    observer_.finalAcquired(finalScore);
    deepOutput_.ended(finalScore, deepReadings());
}

void Receiver::messageCancelled()
{
    deepOutput_.cancelled(deepReadings());
}

DeepOutput::Readings Receiver::deepReadings() const
{
    const DeepDecoder& decoder = *deep_.decoder();
    return {decoder.viterbiErrors(), decoder.snrDb()};
}

void Receiver::CancelMessage()
{
    output_.CancelMessage();
    deep_.cancel();
}

int Receiver::frameAcquisitionCount() const
{
    if (!deep())
        return acquisition_.count();
    const float certainSymbol = std::log(16.0f);
    return std::min(kPreambleSymbolCount, static_cast<int>(std::lround(deep_.bestScore() / certainSymbol)));
}

void Receiver::resetFrameAcquisitionCount()
{
    acquisition_.resetCount();
    deep_.resetBestScore();
}

int Receiver::finalAcquisitionCount() const
{
    return deep() ? deepFinalCount_ : finalAcquisition_.count();
}

void Receiver::resetFinalAcquisitionCount()
{
    finalAcquisition_.setCount(0);
    deepFinalCount_ = 0;
}

int Receiver::viterbiErrors() const
{
    if (!deep())
        return output_.viterbiErrors();
    return deep_.decoder() != nullptr ? deep_.decoder()->viterbiErrors() : 0;
}

float Receiver::metricDb() const
{
    const ReceiveMode& mode = receiveMode(switches_);
    if (!deep())
        return output_.metricDb();
    if (!lockFlag())
        return mode.metricFloorDb;
    return std::clamp(static_cast<float>(deep_.decoder()->snrDb()), mode.metricFloorDb, 0.0f);
}

bool Receiver::lockFlag() const
{
    if (!deep())
        return acquisition_.lockFlag();
    return deep_.locked() && deep_.decoder()->confirmed();
}

bool Receiver::busy() const
{
    return deep() ? deep_.locked() : acquisition_.lockFlag();
}

void Receiver::decoderChanged()
{
    CancelMessage();
    acquisition_.unlock();
    restartDecoding();
    deep_.restart();
}

void Receiver::runChain(FilterChain chain)
{
    // Each 8 ms step consumes 384 samples, so eight steps use up the block.
    switch (chain) {
    case FilterChain::Hf:
        for (int i = 0; i < 64; ++i)
            chains_.FilterChainHF(block_);
        break;
    case FilterChain::EmeWide:
        for (int i = 0; i < 64; ++i)
            chains_.FilterChainEMEWide(block_);
        break;
    case FilterChain::EmeNarrow:
        for (int i = 0; i < 32; ++i)
            chains_.FilterChainEMENarrow(block_);
        break;
    }
}

void Receiver::receiveRow(const ReceiveMode& mode, bool bothRates, bool wide)
{
    const int row = spectrum_.compute(mode);
    if (acquisition_.enabled())
        acquisition_.AcquireSignal(row, mode, wide ? mode.wide : mode.narrow);
    // The Auto steps decode the rate the switch shows, which a lock may just have set.
    const bool fast = mode.routine == SpectrumRoutine::Fast;
    if (!bothRates || switches_.mode().baud16 == fast)
        decoder_.DecodeStep(row, mode);
}

void Receiver::locked(int row, const ReceiveMode& mode)
{
    if (mode.estimatesToneNoise) {
        for (int slot : kDataSlotsAmongPreamble)
            noise_.EstimateToneNoise(mode, symbolRowBefore(row, kPreambleSpan - slot),
                                     groupStart(mode, acquisition_.startBin(), slot), slot);
    }
    output_.newMessage(acquisition_.bestSum());
    restartDecoding();
    observer_.frameAcquired(acquisition_.frameScore());
}

void Receiver::restartDecoding()
{
    finalAcquisition_.reset();
    decoder_.reset();
}

void Receiver::channelChanged()
{
    chains_.resetRingWriteIndex();
    clampStartBin();
}

void Receiver::afcRangeChanged()
{
    acquisition_.ShowFrequencyShift();
    if (switches_.mode().eme)
        chains_.resetRingWriteIndex();
    clampStartBin();
}

void Receiver::clampStartBin()
{
    // The decoder reads bins from the start bin even while unlocked; a value left from
    // another mode would point outside the spectrum of this one.
    acquisition_.clampStartBin(receiveMode(switches_).wide);
}

}  // namespace miv
