#include "tx/ToneTable.h"

#include <algorithm>
#include <cmath>

namespace miv {

namespace {

// W: the single-precision value of 2π that the tone formula uses.
constexpr double kTwoPiAsFloat = 6.2831854820251465;
constexpr double kFullScale = 32767.0;

std::int16_t toneSample(double frequency, int t)
{
    const auto value = static_cast<float>(kFullScale * std::sin(kTwoPiAsFloat * frequency * t / kSampleRate));
    return static_cast<std::int16_t>(std::nearbyint(value));  // the default mode: ties to even
}

}  // namespace

void ToneTable::BuildToneTable(const ModeParameters& mode)
{
    if (mode_ == mode.mode)
        return;
    mode_.reset();
    hops_ = mode.hops;
    groups_ = mode.groups;
    samplesPerSymbol_ = mode.samplesPerSymbol;
    const auto n = static_cast<std::size_t>(samplesPerSymbol_);
    samples_.assign(static_cast<std::size_t>(groups_) * kTones * n, 0);
    for (int g = 0; g < groups_; ++g) {
        for (int k = 0; k < kTones; ++k) {
            const double f = toneFrequency(mode, hops_ ? g + 1 : 0, k);
            std::int16_t* row = &samples_[(static_cast<std::size_t>(g) * kTones + static_cast<std::size_t>(k)) * n];
            for (int t = 1; t <= samplesPerSymbol_; ++t)
                row[t - 1] = toneSample(f, t);
        }
    }
    mode_ = mode.mode;
}

int ToneTable::slot(int group) const
{
    const int s = hops_ ? group - 1 : group;
    return s >= 0 && s < groups_ ? s : -1;
}

void ToneTable::copyBlock(int tone, int group, int offset, AudioBlock& block) const
{
    const int s = slot(group);
    if (s < 0 || tone < 0 || tone >= kTones || offset < 0 || offset + kBlockSamples > samplesPerSymbol_) {
        block.fill(0);
        return;
    }
    const auto n = static_cast<std::size_t>(samplesPerSymbol_);
    const std::int16_t* row = &samples_[(static_cast<std::size_t>(s) * kTones + static_cast<std::size_t>(tone)) * n];
    std::copy_n(row + offset, kBlockSamples, block.begin());
}

}  // namespace miv
