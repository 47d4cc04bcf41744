#include <gtest/gtest.h>

#include <vector>

#include "modem/Convolutional.h"

namespace miv {
namespace {

std::vector<int> encodeToSymbols(const std::vector<int>& bits)
{
    ConvolutionalEncoder encoder;
    std::vector<int> coded;
    for (int b : bits) {
        const auto pair = encoder.encode(b);
        coded.push_back(pair.first);
        coded.push_back(pair.second);
    }
    std::vector<int> symbols;
    for (std::size_t i = 0; i + 3 < coded.size(); i += 4)
        symbols.push_back(symbolValue(coded[i], coded[i + 1], coded[i + 2], coded[i + 3]));
    return symbols;
}

TEST(ConvolutionalEncoder, KnownVectorsFromClearedRegister)
{
    EXPECT_EQ(encodeToSymbols({1, 0, 0, 0, 0, 0, 0, 0}), (std::vector<int>{13, 15, 2, 12}));
    EXPECT_EQ(encodeToSymbols({0, 1, 0, 0, 0, 0, 0, 0}), (std::vector<int>{3, 7, 12, 11}));
    EXPECT_EQ(encodeToSymbols(std::vector<int>(10, 1)), (std::vector<int>{14, 6, 8, 15, 15}));

    const std::vector<int> tones{11, 8, 3, 10};
    const auto symbols = encodeToSymbols({1, 0, 0, 0, 0, 0, 0, 0});
    for (std::size_t i = 0; i < symbols.size(); ++i)
        EXPECT_EQ(GrayTone[static_cast<std::size_t>(symbols[i])], tones[i]);
}

TEST(ConvolutionalEncoder, GrayToneIsTheGrayCodeAndItsInverseUndoesIt)
{
    for (int v = 0; v < 16; ++v) {
        EXPECT_EQ(GrayTone[static_cast<std::size_t>(v)], v ^ (v >> 1));
        EXPECT_EQ(kInverseGrayTone[GrayTone[static_cast<std::size_t>(v)]], v);
    }
}

TEST(TrellisTable, CheckRowsAndDataBits)
{
    EXPECT_EQ(TrellisTable[0].branchSymbol, (std::array<std::uint8_t, 4>{0, 12, 11, 7}));
    EXPECT_EQ(TrellisTable[1].branchSymbol, (std::array<std::uint8_t, 4>{2, 14, 9, 5}));
    EXPECT_EQ(TrellisTable[31].branchSymbol, (std::array<std::uint8_t, 4>{11, 7, 0, 12}));
    EXPECT_EQ(TrellisTable[63].branchSymbol, (std::array<std::uint8_t, 4>{8, 4, 3, 15}));
    for (int s = 0; s < 64; ++s) {
        const auto& state = TrellisTable[static_cast<std::size_t>(s)];
        EXPECT_EQ(state.firstBit, s >= 16 && s < 32 ? 1 : s >= 48 ? 1 : 0) << s;
        EXPECT_EQ(state.secondBit, s >= 32 ? 1 : 0) << s;
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(state.predecessor[static_cast<std::size_t>(j)], 4 * (s % 16) + j);
    }
}

// Every branch of the trellis must be the symbol the encoder sends for the same
// eight-bit history, or the decoder follows paths no transmitter produces.
TEST(TrellisTable, AgreesWithTheEncoderForEveryStateAndBranch)
{
    for (int history = 0; history < 256; ++history) {
        // Bit 0 of the register value is the oldest data bit, bit 7 the newest.
        std::vector<int> bits;
        for (int i = 0; i < 8; ++i)
            bits.push_back((history >> i) & 1);
        const auto symbols = encodeToSymbols(bits);
        const int s = history / 4;
        const int j = history % 4;
        EXPECT_EQ(symbols.back(), TrellisTable[static_cast<std::size_t>(s)].branchSymbol[static_cast<std::size_t>(j)])
            << "history " << history;
    }
}

}  // namespace
}  // namespace miv
