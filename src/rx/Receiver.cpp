#include "rx/Receiver.h"

#include <algorithm>

namespace miv {

namespace {

constexpr int kStepsPerBlock = 8;
// A slow spectrum every 16 steps of 8 ms: the eighth step of every second block.
constexpr int kStepsPerSlowSpectrum = 16;

}  // namespace

Receiver::Receiver(ModeSwitches& switches, TextWindow& window, const Clock& clock, OperatorMessages& messages,
                   AudioSource& source, ReceiverObserver& observer)
    : switches_(switches),
      observer_(observer),
      capture_(source, messages),
      chains_(switches, observer),
      spectrum_(chains_, switches),
      noise_(state_, spectrum_.history()),
      shiftDisplay_(state_, switches, observer),
      finalAcquisition_(observer),
      output_(state_, switches, window, clock, observer, gauges_),
      decoder_(state_, switches, observer,
               {spectrum_.history(), noise_, shiftDisplay_, finalAcquisition_, output_, chains_.PeakLevel}),
      acquisition_(state_, switches, observer, {spectrum_.history(), noise_, shiftDisplay_, decoder_, output_, gauges_})
{
    switches_.addListener(this);
}

Receiver::~Receiver()
{
    switches_.removeListener(this);
}

const Receiver::StepPlan& Receiver::plan(ReceiveStep step)
{
    static constexpr SpectrumPlan k2250Fast{1, 2, 1, {26, 78}, {44, 60}};
    static constexpr SpectrumPlan k500Fast{3, 2, 1, {70, 122}, {88, 104}};
    static constexpr SpectrumPlan k2250Slow{1, 32, 2, {416, 1248}, {704, 960}};
    static constexpr SpectrumPlan k500Slow{2, 8, 2, {1120, 1952}, {1408, 1664}};
    static constexpr SpectrumPlan kEmeNarrow{1, 8, 2, {816, 3280}, {816, 3280}};
    static constexpr SpectrumPlan kEmeWide{1, 8, 2, {400, 5744}, {400, 5744}};

    static constexpr std::array<StepPlan, 8> kPlans{{
        {Chain::Hf, &k2250Fast, nullptr, SlowSpectrum::None, -1, false},
        {Chain::Hf, &k500Fast, nullptr, SlowSpectrum::None, -1, false},
        {Chain::Hf, nullptr, &k2250Slow, SlowSpectrum::Hf, 2, false},
        {Chain::Hf, nullptr, &k500Slow, SlowSpectrum::Hf, 3, false},
        {Chain::Hf, &k2250Fast, &k2250Slow, SlowSpectrum::Hf, 0, true},
        {Chain::Hf, &k500Fast, &k500Slow, SlowSpectrum::Hf, 1, true},
        {Chain::EmeNarrow, nullptr, &kEmeNarrow, SlowSpectrum::EmeNarrow, 4, false},
        {Chain::EmeWide, nullptr, &kEmeWide, SlowSpectrum::EmeWide, 5, false},
    }};
    return kPlans[static_cast<std::size_t>(step)];
}

void Receiver::StartReception()
{
    chains_.resetRingWriteIndex();
    acquisition_.setCount(0);
    finalAcquisition_.setCount(1);
    chains_.PeakLevelGauge = 0;
    state_.LockFlag = false;
    state_.BestSum = 0;
    state_.AcquisitionEnabled = true;
    clampStartBin();
    decoder_.reset();
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
        receiveBlock(plan(selectReceiveStep(switches_)));
}

void Receiver::receiveBlock(const StepPlan& plan)
{
    if (!capture_.TakeCaptureBlock(block_))
        return;
    const bool wide = switches_.afcWide();
    useSpectrum(plan.fast != nullptr ? *plan.fast : *plan.slow);
    chains_.rewind();
    for (int step = 0; step < kStepsPerBlock; ++step) {
        int* counter = plan.slow != nullptr ? &StepCounter[static_cast<std::size_t>(plan.stepCounter)] : nullptr;
        if (counter != nullptr)
            ++*counter;
        runChain(plan.chain);
        if (plan.fast != nullptr) {
            state_.CurrentRow = spectrum_.Spectrum16();
            if (state_.AcquisitionEnabled)
                acquire(*plan.fast, wide);
            if (!plan.bothRates || switches_.mode().baud16)
                decoder_.DecodeStep();
        }
        if (counter != nullptr && *counter >= kStepsPerSlowSpectrum) {
            useSpectrum(*plan.slow);
            state_.CurrentRow = slowSpectrum(plan.slowSpectrum);
            if (state_.AcquisitionEnabled)
                acquire(*plan.slow, wide);
            if (!plan.bothRates || !switches_.mode().baud16)
                decoder_.DecodeStep();
            *counter = 0;
        }
    }
}

void Receiver::runChain(Chain chain)
{
    // Each 8 ms step consumes 384 samples, so eight steps use up the block.
    switch (chain) {
    case Chain::Hf:
        for (int i = 0; i < 64; ++i)
            chains_.FilterChainHF(block_);
        break;
    case Chain::EmeWide:
        for (int i = 0; i < 64; ++i)
            chains_.FilterChainEMEWide(block_);
        break;
    case Chain::EmeNarrow:
        for (int i = 0; i < 32; ++i)
            chains_.FilterChainEMENarrow(block_);
        break;
    }
}

void Receiver::useSpectrum(const SpectrumPlan& spectrum)
{
    state_.HopColumn = spectrum.hopColumn;
    state_.ToneStep = spectrum.toneStep;
    state_.SpectrumPlane = spectrum.plane;
}

void Receiver::acquire(const SpectrumPlan& spectrum, bool wide)
{
    const BinRange range = wide ? spectrum.wide : spectrum.narrow;
    acquisition_.AcquireSignal(range.low, range.high);
}

int Receiver::slowSpectrum(SlowSpectrum which)
{
    switch (which) {
    case SlowSpectrum::EmeNarrow:
        return spectrum_.SpectrumEMENarrow();
    case SlowSpectrum::EmeWide:
        return spectrum_.SpectrumEMEWide();
    case SlowSpectrum::Hf:
    case SlowSpectrum::None:
        break;
    }
    return spectrum_.Spectrum1();
}

void Receiver::channelChanged()
{
    chains_.resetRingWriteIndex();
    clampStartBin();
}

void Receiver::afcRangeChanged()
{
    shiftDisplay_.ShowFrequencyShift();
    if (switches_.mode().eme)
        chains_.resetRingWriteIndex();
    clampStartBin();
}

void Receiver::clampStartBin()
{
    // The decoder reads bins from StartBin even while unlocked; a value left from
    // another mode would point outside the spectrum of this one.
    const BinRange limits = startBinLimits(switches_);
    state_.StartBin = std::clamp(state_.StartBin, limits.low, limits.high);
}

}  // namespace miv
