#include "modem/Viterbi.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace miv {
namespace {

// Tone metrics with the tone of symbol value v at 1000 above the others.
std::array<float, 16> metricsFor(int v, float floor = 0)
{
    std::array<float, 16> metric{};
    metric.fill(floor);
    metric[GrayTone[static_cast<std::size_t>(v)]] = floor + 1000;
    return metric;
}

TEST(Viterbi, DecodesSixteenStepsLateAndAReinitialisedDecoderDecodesLikeAFreshOne)
{
    std::mt19937 random(7);
    ViterbiDecoder used;
    for (int i = 0; i < 50; ++i)
        used.ViterbiStep(metricsFor(static_cast<int>(random() % 16), -5));
    used.ViterbiInit();
    ViterbiDecoder fresh;
    ConvolutionalEncoder encoder;
    std::vector<int> bits;
    std::vector<int> symbols;
    for (std::size_t n = 0; n < 200; ++n) {
        bits.push_back(static_cast<int>(random() & 1u));
        bits.push_back(static_cast<int>(random() & 1u));
        const auto a = encoder.encode(bits[2 * n]);
        const auto b = encoder.encode(bits[2 * n + 1]);
        symbols.push_back(symbolValue(a.first, a.second, b.first, b.second));
        const auto x = used.ViterbiStep(metricsFor(symbols.back()));
        const auto y = fresh.ViterbiStep(metricsFor(symbols.back()));
        ASSERT_EQ(std::tie(x.firstBit, x.secondBit, x.symbol), std::tie(y.firstBit, y.secondBit, y.symbol)) << n;
        if (n >= ViterbiDecoder::kDepth) {
            const std::size_t sent = n - ViterbiDecoder::kDepth;
            EXPECT_EQ(std::tuple(x.firstBit, x.secondBit, x.symbol),
                      std::tuple(bits[2 * sent], bits[2 * sent + 1], symbols[sent]))
                << n;
        }
    }
}

TEST(Viterbi, EqualMetricsDecideTheAllZeroPath)
{
    ViterbiDecoder decoder;
    std::array<float, 16> flat{};
    flat.fill(-5);
    for (int i = 0; i < 40; ++i) {
        // Ties go to the lowest predecessor and the lowest state.
        const auto decision = decoder.ViterbiStep(flat);
        EXPECT_EQ(decision.firstBit + decision.secondBit + decision.symbol, 0);
    }
}

}  // namespace
}  // namespace miv
