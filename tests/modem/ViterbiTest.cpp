#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "modem/Convolutional.h"
#include "modem/Viterbi.h"

namespace miv {
namespace {

struct Coded {
    std::vector<int> bits;     // data bits
    std::vector<int> symbols;  // symbol values, two data bits each
};

Coded encodeRandom(int pairs, unsigned seed)
{
    std::mt19937 random(seed);
    ConvolutionalEncoder encoder;
    Coded out;
    for (int i = 0; i < pairs; ++i) {
        const int b1 = static_cast<int>(random() & 1u);
        const int b2 = static_cast<int>(random() & 1u);
        const auto c1 = encoder.encode(b1);
        const auto c2 = encoder.encode(b2);
        out.bits.push_back(b1);
        out.bits.push_back(b2);
        out.symbols.push_back(symbolValue(c1.first, c1.second, c2.first, c2.second));
    }
    return out;
}

std::array<float, 16> toneMetricsFor(int symbol, float signal = 1000.0f)
{
    std::array<float, 16> metric{};
    metric[GrayTone[static_cast<std::size_t>(symbol)]] = signal;
    return metric;
}

TEST(Viterbi, NoiselessSymbolsComeBackSixteenStepsLater)
{
    const Coded coded = encodeRandom(200, 7);
    ViterbiDecoder decoder;
    for (std::size_t n = 0; n < coded.symbols.size(); ++n) {
        const auto decision = decoder.ViterbiStep(toneMetricsFor(coded.symbols[n]));
        if (n < ViterbiDecoder::kDepth)
            continue;
        const std::size_t sent = n - ViterbiDecoder::kDepth;
        EXPECT_EQ(decision.firstBit, coded.bits[2 * sent]) << n;
        EXPECT_EQ(decision.secondBit, coded.bits[2 * sent + 1]) << n;
        EXPECT_EQ(decision.symbol, coded.symbols[sent]) << n;
    }
}

TEST(Viterbi, CorrectsModerateNoiseOnTheToneMagnitudes)
{
    const Coded coded = encodeRandom(400, 11);
    std::mt19937 random(3);
    std::normal_distribution<float> noise(0.0f, 0.45f);
    ViterbiDecoder decoder;
    int hardErrors = 0;
    int decodedErrors = 0;
    for (std::size_t n = 0; n < coded.symbols.size(); ++n) {
        std::array<float, 16> metric{};
        for (auto& m : metric)
            m = std::abs(noise(random));
        metric[GrayTone[static_cast<std::size_t>(coded.symbols[n])]] += 1.0f;
        int hard = 0;
        for (int t = 1; t < 16; ++t)
            if (metric[static_cast<std::size_t>(t)] > metric[static_cast<std::size_t>(hard)])
                hard = t;
        hardErrors += kInverseGrayTone[static_cast<std::size_t>(hard)] != coded.symbols[n];
        const auto decision = decoder.ViterbiStep(metric);
        if (n >= ViterbiDecoder::kDepth) {
            const std::size_t sent = n - ViterbiDecoder::kDepth;
            decodedErrors += decision.firstBit != coded.bits[2 * sent];
            decodedErrors += decision.secondBit != coded.bits[2 * sent + 1];
        }
    }
    // The noise is strong enough to make a hard decision wrong now and then, and the
    // code must clean all of that up.
    EXPECT_GT(hardErrors, 10);
    EXPECT_EQ(decodedErrors, 0);
}

TEST(Viterbi, ReinitialisedDecoderDecodesLikeAFreshOne)
{
    const Coded first = encodeRandom(50, 1);
    const Coded second = encodeRandom(80, 2);
    ViterbiDecoder used;
    for (int s : first.symbols)
        used.ViterbiStep(toneMetricsFor(s));
    used.ViterbiInit();
    ViterbiDecoder fresh;
    for (int s : second.symbols) {
        const auto a = used.ViterbiStep(toneMetricsFor(s));
        const auto b = fresh.ViterbiStep(toneMetricsFor(s));
        EXPECT_EQ(a.firstBit, b.firstBit);
        EXPECT_EQ(a.secondBit, b.secondBit);
        EXPECT_EQ(a.symbol, b.symbol);
    }
}

TEST(Viterbi, AllEqualMetricsDecideTheLowestStateAndNegativeMetricsWork)
{
    ViterbiDecoder decoder;
    std::array<float, 16> flat{};
    flat.fill(-5.0f);
    for (int i = 0; i < 40; ++i) {
        const auto decision = decoder.ViterbiStep(flat);
        // Ties go to the lowest predecessor and the lowest state: the all-zero path.
        EXPECT_EQ(decision.firstBit, 0);
        EXPECT_EQ(decision.secondBit, 0);
        EXPECT_EQ(decision.symbol, 0);
    }
}

}  // namespace
}  // namespace miv
