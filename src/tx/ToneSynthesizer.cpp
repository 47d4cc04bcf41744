#include "tx/ToneSynthesizer.h"

namespace miv {

namespace {

constexpr int kPreambleLength = static_cast<int>(PreambleSymbols.size());
// The interleaver's first three outputs are not sent: those symbol times queue the
// last prepared block again, so the initial tone is heard three blocks longer than it
// has ticks.
constexpr int kFirstSentSymbol = 4;
constexpr int kRepeatedToneBlocks = kFirstSentSymbol - 1;

}  // namespace

ToneSynthesizer::ToneSynthesizer(const ModeSwitches& switches, SymbolGenerator& generator, OutputRing& output)
    : switches_(switches),
      generator_(generator),
      output_(output)
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
    blockOfSymbol_ = 0;
    currentTone_ = 0;
    block_.fill(0);
    const ModeParameters& mode = switches_.mode().parameters();
    toneTicksLeft_ = (longInitialTone ? mode.longToneBlocks : mode.shortToneBlocks) - kRepeatedToneBlocks;
}

ToneSynthesizer::Step ToneSynthesizer::InitialToneTick()
{
    if (!output_.WriteBlock(block_))
        return Step::NoSlot;
    const ModeParameters& mode = switches_.mode().parameters();
    table_.copyBlock(mode.initialTone, mode.initialToneGroup, 0, block_);
    return --toneTicksLeft_ <= 0 ? Step::ToneDone : Step::Queued;
}

ToneSynthesizer::Step ToneSynthesizer::refill(bool cancelRequested)
{
    if (!output_.WriteBlock(block_))
        return Step::NoSlot;
    if (cancelRequested || generator_.endSignal())
        return Step::End;
    const ModeParameters& mode = switches_.mode().parameters();
    if (mode.samplesPerSymbol == kBlockSamples)
        prepareWholeSymbol(mode);
    else
        preparePartOfSymbol(mode);
    return Step::Queued;
}

// The next symbol time's interleaver step; false while its output is not sent.
bool ToneSynthesizer::nextSymbolTime()
{
    ++n_;
    const std::uint8_t x =
        n_ <= kPreambleLength ? PreambleSymbols[static_cast<std::size_t>(n_ - 1)] : generator_.NextSymbol(n_);
    currentTone_ = interleaver_.push(x);
    if (n_ < kFirstSentSymbol)
        return false;
    hopRow_ = hopRow_ == kHopRows ? 1 : hopRow_ + 1;
    return true;
}

// RefillFast: one block is one symbol.
void ToneSynthesizer::prepareWholeSymbol(const ModeParameters& mode)
{
    if (nextSymbolTime())
        table_.copyBlock(currentTone_, HopTable.group(hopRow_, mode.hopColumn), 0, block_);
}

// RefillSlow and RefillEME: a symbol goes out as consecutive blocks.
void ToneSynthesizer::preparePartOfSymbol(const ModeParameters& mode)
{
    if (blockOfSymbol_ == 0 && !nextSymbolTime())
        return;
    const int group = mode.hops ? HopTable.group(hopRow_, mode.hopColumn) : 0;
    table_.copyBlock(currentTone_, group, blockOfSymbol_ * kBlockSamples, block_);
    blockOfSymbol_ = (blockOfSymbol_ + 1) % (mode.samplesPerSymbol / kBlockSamples);
}

}  // namespace miv
