#include "tx/ToneSynthesizer.h"

namespace miv {

namespace {

constexpr int kPreambleLength = static_cast<int>(PreambleSymbols.size());
constexpr int kShortToneEnd = 6;  // 5 ticks: 8 blocks heard with the three repeats
constexpr int kLongToneEnd = 46;  // 45 ticks: 48 blocks heard

}  // namespace

ToneSynthesizer::ToneSynthesizer(const ModeSwitches& switches, SymbolGenerator& generator, OutputRing& output,
                                 const TransmitVariables& vars)
    : switches_(switches),
      generator_(generator),
      output_(output),
      vars_(vars)
{
}

void ToneSynthesizer::BuildToneTable()
{
    table_.BuildToneTable(switches_.mode().parameters());
}

void ToneSynthesizer::reset(bool longInitialTone)
{
    interleaver_.reset();
    n_ = 0;
    hopRow_ = 0;
    chunk_ = 1;
    currentTone_ = 0;
    block_.fill(0);
    initialToneCounter_ = 1;
    initialToneEnd_ = longInitialTone ? kLongToneEnd : kShortToneEnd;
}

ToneSynthesizer::Step ToneSynthesizer::InitialToneTick()
{
    if (!output_.WriteBlock(block_))
        return Step::NoSlot;
    const ModeParameters& mode = switches_.mode().parameters();
    table_.copyBlock(mode.initialTone, mode.initialToneGroup, 0, block_);
    ++initialToneCounter_;
    return initialToneCounter_ >= initialToneEnd_ ? Step::ToneDone : Step::Queued;
}

ToneSynthesizer::Step ToneSynthesizer::tmrTX_Timer()
{
    const ModemMode& mode = switches_.mode();
    switch (mode.effective()) {
    case EffectiveMode::Eme:
        hopColumn_ = 1;
        return RefillEME();
    case EffectiveMode::Hf2250Fast:
        hopColumn_ = 1;
        return RefillFast();
    case EffectiveMode::Hf2250Slow:
        hopColumn_ = 1;
        return RefillSlow();
    case EffectiveMode::Hf500Fast:
        hopColumn_ = 3;
        return RefillFast();
    case EffectiveMode::Hf500Slow:
        hopColumn_ = 2;
        return RefillSlow();
    }
    return Step::NoSlot;
}

ToneSynthesizer::Step ToneSynthesizer::queuePrepared()
{
    if (!output_.WriteBlock(block_))
        return Step::NoSlot;
    if (vars_.CancelRequest || vars_.EndSignal)
        return Step::End;
    return Step::Queued;
}

bool ToneSynthesizer::nextSymbolTime()
{
    ++n_;
    const std::uint8_t x =
        n_ <= kPreambleLength ? PreambleSymbols[static_cast<std::size_t>(n_ - 1)] : generator_.NextSymbol(n_);
    currentTone_ = interleaver_.push(x);
    if (n_ < 4)
        return false;
    hopRow_ = hopRow_ == kHopRows ? 1 : hopRow_ + 1;
    return true;
}

ToneSynthesizer::Step ToneSynthesizer::RefillFast()
{
    const Step step = queuePrepared();
    if (step != Step::Queued)
        return step;
    if (!nextSymbolTime())
        return step;
    table_.copyBlock(currentTone_, HopTable.group(hopRow_, hopColumn_), 0, block_);
    return step;
}

ToneSynthesizer::Step ToneSynthesizer::RefillSlow()
{
    return refillChunked(false);
}

ToneSynthesizer::Step ToneSynthesizer::RefillEME()
{
    return refillChunked(true);
}

// A 1-baud symbol goes out as 16 consecutive blocks.
ToneSynthesizer::Step ToneSynthesizer::refillChunked(bool eme)
{
    const Step step = queuePrepared();
    if (step != Step::Queued)
        return step;
    if (chunk_ == 1 && !nextSymbolTime())
        return step;
    const int group = eme ? 0 : HopTable.group(hopRow_, hopColumn_);
    table_.copyBlock(currentTone_, group, chunk_ - 1, block_);
    const int n = table_.samplesPerSymbol();
    chunk_ += n / 16;
    if (chunk_ > n * 15 / 16 + 1)
        chunk_ = 1;
    return step;
}

}  // namespace miv
