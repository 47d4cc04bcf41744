// Filter chains, spectra and the tone-noise estimate.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "modem/Frame.h"
#include "modem/ModemMode.h"
#include "rx/FFT.h"
#include "rx/FilterChains.h"
#include "rx/FourierAnalyser.h"
#include "rx/ReceiverObserver.h"
#include "rx/ToneNoiseEstimator.h"

namespace miv::test {
namespace {

AudioBlock toneBlock(double frequency, double amplitude, long long& t)
{
    AudioBlock block{};
    for (auto& s : block)
        s = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * t++ / 48000)));
    return block;
}

struct WaterfallCounter : ReceiverObserver {
    int samples = 0;
    void waterfallSample(float) override { ++samples; }
};

class FilterChainsTest : public testing::Test {
protected:
    void hfBlock(const AudioBlock& block)
    {
        chains.rewind();
        for (int i = 0; i < 512; ++i)
            chains.FilterChainHF(block);
    }

    ModeSwitches switches;
    WaterfallCounter observer;
    FilterChains chains{switches, observer};
};

TEST_F(FilterChainsTest, AConstantSettlesAtTheSumOfTheTaps)
{
    AudioBlock block{};
    block.fill(1000);
    hfBlock(block);
    chains.PeakLevel = 0;  // past the step response
    hfBlock(block);
    EXPECT_NEAR(chains.BasebandRing()[511].real(), 969.5f, 0.05f);
    EXPECT_EQ(chains.BasebandRing()[511].imag(), 0);
    EXPECT_NEAR(chains.PeakLevel, 969.5f, 0.05f);
    EXPECT_GT(chains.PeakLevelGauge, chains.PeakLevel);  // it saw the overshoot
}

TEST_F(FilterChainsTest, EachBlockGivesFiveHundredTwelveOutputsAndTheRingWraps)
{
    AudioBlock block{};
    for (int b = 1; b <= 16; ++b) {
        hfBlock(block);
        EXPECT_EQ(chains.RingWriteIndex(), (512 * b) % 8192);
    }
    // The narrow EME chain fills half the ring at half the rate.
    for (int b = 1; b <= 16; ++b) {
        chains.rewind();
        for (int i = 0; i < 256; ++i)
            chains.FilterChainEMENarrow(block);
        EXPECT_EQ(chains.RingWriteIndex(), (256 * b) % 4096);
    }
}

TEST_F(FilterChainsTest, TheWaterfallIsFedOnlyWhileItIsOn)
{
    AudioBlock block{};
    hfBlock(block);
    EXPECT_EQ(observer.samples, 512);
    switches.clickWaterfall();
    hfBlock(block);
    EXPECT_EQ(observer.samples, 512);
}

TEST_F(FilterChainsTest, TheNarrowEmeChainMovesAToneDownBy500Hertz)
{
    long long t = 1;
    for (int b = 0; b < 20; ++b) {
        const AudioBlock block = toneBlock(1000, 8000, t);
        chains.rewind();
        for (int i = 0; i < 256; ++i)
            chains.FilterChainEMENarrow(block);
    }
    // A complex exponential at +500 Hz at 4 kHz: successive cells turn by π/4 (the
    // image the filter leaves, some 48 dB down, wobbles the angle a little).
    const auto& ring = chains.BasebandRing();
    for (int i = 100; i < 110; ++i) {
        const Complex ratio = ring[static_cast<std::size_t>(i + 1)] / ring[static_cast<std::size_t>(i)];
        EXPECT_NEAR(std::arg(ratio), std::numbers::pi / 4, 1e-2);
        EXPECT_NEAR(std::abs(ratio), 1, 1e-2);
    }
}

TEST(Mixer, ThePhaseStaysWithinATurnEitherWay)
{
    Mixer up;
    Mixer down;
    const float turn = 6.2831855f;
    for (int i = 0; i < 100000; ++i) {
        up.mix({1, 0}, 1000, 4000);
        down.mix({1, 0}, -1500, 8000);
        ASSERT_LE(std::fabs(up.phase()), turn);
        ASSERT_LE(std::fabs(down.phase()), turn);
    }
    // The first output uses the phase before the step: the input itself.
    Mixer fresh;
    EXPECT_EQ(fresh.mix({0.5f, 0.25f}, 1000, 4000), Complex(0.5f, 0.25f));
}

TEST(FFT, MatchesTheDefinitionOfTheForwardTransform)
{
    for (int n : {1024, 8192}) {
        std::vector<Complex> x(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            x[static_cast<std::size_t>(i)] = {static_cast<float>(std::sin(0.37 * i) + 0.5 * std::cos(1.3 * i)),
                                              static_cast<float>(0.25 * std::sin(2.1 * i))};
        std::vector<Complex> y = x;
        FFT(y.data(), n);
        for (int k : {0, 1, 7, n / 3, n / 2, n - 1}) {
            std::complex<double> sum;
            for (int t = 0; t < n; ++t)
                sum += std::complex<double>(x[static_cast<std::size_t>(t)]) *
                       std::polar(1.0, -2 * std::numbers::pi * k * t / n);
            EXPECT_NEAR(y[static_cast<std::size_t>(k)].real(), sum.real(), 2e-3 * std::sqrt(n)) << n << " " << k;
            EXPECT_NEAR(y[static_cast<std::size_t>(k)].imag(), sum.imag(), 2e-3 * std::sqrt(n)) << n << " " << k;
        }
    }
}

// The transform as the format defines it, loop for loop, so a faster ordering of the
// same butterflies can be checked to give the same bits.
void definedTransform(std::vector<Complex>& x)
{
    const int n = static_cast<int>(x.size());
    auto mul = [](Complex a, Complex b) {
        return Complex{a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
    };
    int j = n / 2;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < j)
            std::swap(x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(j)]);
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    for (int le = 2; le <= n; le *= 2) {
        const int le2 = le / 2;
        const float angle = 3.1415927f / static_cast<float>(le2);
        const Complex s{static_cast<float>(std::cos(static_cast<double>(angle))),
                        -static_cast<float>(std::sin(static_cast<double>(angle)))};
        Complex u{1, 0};
        for (int jj = 1; jj <= le2; ++jj) {
            for (int i = jj - 1; i <= n - 1; i += le) {
                auto& a = x[static_cast<std::size_t>(i)];
                auto& b = x[static_cast<std::size_t>(i + le2)];
                const Complex t = mul(b, u);
                b = {a.real() - t.real(), a.imag() - t.imag()};
                a = {a.real() + t.real(), a.imag() + t.imag()};
            }
            u = mul(u, s);
        }
    }
}

TEST(FFT, GivesTheDefinedOperationsBitForBit)
{
    std::mt19937 random(9);
    std::normal_distribution<float> value(0, 3000);
    for (int n : {1024, 2048, 8192, 16384}) {
        std::vector<Complex> x(static_cast<std::size_t>(n));
        for (auto& v : x)
            v = {value(random), value(random)};
        std::vector<Complex> expected = x;
        definedTransform(expected);
        FFT(x.data(), n);
        EXPECT_EQ(std::memcmp(x.data(), expected.data(), x.size() * sizeof(Complex)), 0) << n;
    }
}

class SpectrumTest : public testing::Test {
protected:
    ModeSwitches switches;
    ReceiverObserver observer;
    FilterChains chains{switches, observer};
    FourierAnalyser spectrum{chains, switches};
};

TEST_F(SpectrumTest, RowsRunFromOneTo208AndWrap)
{
    EXPECT_EQ(spectrum.Spectrum16(), 1);
    for (int i = 2; i <= 208; ++i)
        EXPECT_EQ(spectrum.Spectrum16(), i);
    EXPECT_EQ(spectrum.Spectrum16(), 1);
    // Each routine counts its own rows.
    EXPECT_EQ(spectrum.Spectrum1(), 1);
    EXPECT_EQ(spectrum.SpectrumEMEWide(), 1);
}

TEST_F(SpectrumTest, AToneAt1000HertzPeaksAtItsBinAndOnlyTheStoredRangeIsWritten)
{
    switches.clickBandwidth();  // 500 Hz: 16-baud bins 70..186
    long long t = 1;
    for (int b = 0; b < 16; ++b) {
        const AudioBlock block = toneBlock(1000, 8000, t);
        chains.rewind();
        for (int i = 0; i < 512; ++i)
            chains.FilterChainHF(block);
    }
    const int row = spectrum.Spectrum16();
    int peak = 70;
    for (int bin = 70; bin <= 186; ++bin)
        if (spectrum.history()(row, bin, 1) > spectrum.history()(row, peak, 1))
            peak = bin;
    EXPECT_EQ(peak, 128);
    EXPECT_EQ(spectrum.history()(row, 69, 1), 0);
    EXPECT_EQ(spectrum.history()(row, 187, 1), 0);
}

TEST_F(SpectrumTest, AToneAt1000HertzInNarrowEmeLandsNearBin1024)
{
    long long t = 1;
    for (int b = 0; b < 17; ++b) {
        const AudioBlock block = toneBlock(1000, 8000, t);
        chains.rewind();
        for (int i = 0; i < 256; ++i)
            chains.FilterChainEMENarrow(block);
    }
    const int row = spectrum.SpectrumEMENarrow();
    int peak = 816;
    for (int bin = 816; bin <= 3440; ++bin)
        if (spectrum.history()(row, bin, 2) > spectrum.history()(row, peak, 2))
            peak = bin;
    EXPECT_NEAR(peak, 1024, 1);
}

TEST(ToneNoiseEstimator, AveragesTheEarlierSymbolsOfOtherGroupsOver287)
{
    ReceiveState state;
    state.HopColumn = 1;
    state.ToneStep = 2;
    state.SpectrumPlane = 1;
    SpectrumHistory history;
    ToneNoiseEstimator estimator(state, history);
    for (int row = 1; row <= SpectrumHistory::kRows; ++row)
        for (int bin = 100; bin < 140; ++bin)
            history(row, bin, 1) = 287 * 3;
    int symbol = 289;  // reduced in place
    estimator.EstimateToneNoise(5, 100, symbol);
    EXPECT_EQ(symbol, 1);
    for (int tone = 0; tone < 16; ++tone)
        EXPECT_FLOAT_EQ(estimator.ToneReference(tone, 5), 3);

    // Only the earlier symbol sent in another group counts; row 5 - 8 reads row 205.
    for (int row = 1; row <= SpectrumHistory::kRows; ++row)
        for (int bin = 100; bin < 140; ++bin)
            history(row, bin, 1) = row == 205 ? 287.0f * 8 : 0.0f;
    int different = 0;
    symbol = 1;
    for (int k = 1; k <= 8; ++k)
        different += HopTable.group(289 - k, 1) != HopTable.group(1, 1);
    estimator.EstimateToneNoise(5, 100, symbol);
    EXPECT_FLOAT_EQ(estimator.ToneReference(0, 5), 8.0f / static_cast<float>(different));
}

TEST(ToneNoiseEstimator, EveryHopRowHasAnEarlierSymbolInAnotherGroup)
{
    for (int column = 1; column <= 3; ++column) {
        for (int symbol = 1; symbol <= kHopRows; ++symbol) {
            int count = 0;
            for (int k = 1; k <= 8; ++k) {
                const int m = symbol - k < 1 ? symbol - k + kHopRows : symbol - k;
                count += HopTable.group(m, column) != HopTable.group(symbol, column);
            }
            EXPECT_GT(count, 0) << "column " << column << " row " << symbol;
        }
    }
}

}  // namespace
}  // namespace miv::test
