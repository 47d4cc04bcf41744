#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace miv {

// The tables of the on-air frame that both directions share.

inline constexpr std::array<std::uint8_t, 20> PreambleSymbols{2,  6, 8,  1, 10, 12, 4, 15, 4, 11,
                                                              14, 5, 12, 1, 8,  15, 3, 9,  7, 13};
inline constexpr int kPreambleSymbolCount = static_cast<int>(PreambleSymbols.size());
// Acquisition locks where at least this many preamble symbols are the strongest tone
// of their slot.
inline constexpr int kMatchesToLock = 14;

// The first 16 tones the end marker produces; the receiver looks for them to find the
// end of a message. The last four entries stay 0.
inline constexpr std::array<std::uint8_t, 20> ReceiverSequence{2, 4,  10, 5, 3,  2,  14, 2, 11, 1,
                                                               9, 15, 11, 4, 10, 13, 0,  0, 0,  0};
inline constexpr int kEndMarkerCheckLength = 16;
// A message ends where at least this many of those tones were decided.
inline constexpr int kMatchesToEnd = 8;
// The end marker opens with a rate bit followed by at most this many zero bits, which
// line the marker up (2·a + e + 8 with a at most 3 and e at most 2).
inline constexpr int kEndMarkerLongestZeroRun = 2 * 3 + 2 + 8;

// All 28 tones the end marker produces, whatever came before it.
inline constexpr std::array<std::uint8_t, 28> kEndMarkerTones{2,  4,  10, 5, 3, 2,  14, 2, 11, 1, 9,  15, 11, 4,
                                                              10, 13, 5,  6, 3, 10, 11, 1, 4,  2, 11, 1,  9,  15};
static_assert(std::equal(kEndMarkerTones.begin(), kEndMarkerTones.begin() + kEndMarkerCheckLength,
                         ReceiverSequence.begin()) &&
              std::all_of(ReceiverSequence.begin() + kEndMarkerCheckLength, ReceiverSequence.end(),
                          [](std::uint8_t tone) { return tone == 0; }));

inline constexpr std::array<std::uint8_t, 32> HopBase{2, 5, 1, 4, 3, 0, 4, 1, 7, 5, 3, 2, 7, 0, 6, 2,
                                                      4, 5, 3, 0, 6, 1, 5, 0, 2, 7, 4, 6, 1, 3, 7, 6};

inline constexpr int kHopRows = 288;

// Group of hop row r (1..288) in column c (1: the 2250 Hz modes, 2: HF 500 slow,
// 3: HF 500 fast).
class HopTableData {
public:
    constexpr HopTableData()
    {
        for (int r = 1; r <= kHopRows; ++r) {
            const int s = HopBase[static_cast<std::size_t>((r - 1) % 32)];
            const int c = (r - 1) % 9 + 1;
            auto& row = rows_[static_cast<std::size_t>(r - 1)];
            row[0] = static_cast<std::uint8_t>(s + c > 9 ? s + c - 9 : s + c);
            row[1] = static_cast<std::uint8_t>(s + 1);
            row[2] = static_cast<std::uint8_t>(s > 3 ? 2 : 1);
        }
    }

    constexpr int group(int row, int column) const
    {
        return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
    }

private:
    std::array<std::array<std::uint8_t, 3>, kHopRows> rows_{};
};

inline constexpr HopTableData HopTable{};

inline constexpr std::array<std::uint8_t, 32> EndMarkerA{1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1, 0,
                                                         0, 0, 1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 1};
inline constexpr std::array<std::uint8_t, 24> EndMarkerB{0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1,
                                                         0, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 0};
// EndMarkerB is seven zeros, then EndMarkerA from its eighth bit on.
static_assert(std::all_of(EndMarkerB.begin(), EndMarkerB.begin() + 7, [](std::uint8_t bit) { return bit == 0; }) &&
              std::equal(EndMarkerB.begin() + 7, EndMarkerB.end(), EndMarkerA.begin() + 7));

// Where the interleaver puts preamble symbol k (1..20) among the first 26 sent
// symbols; also the hop row of that symbol. The end marker's first 16 tones land
// likewise, the 16th in slot 22.
inline constexpr std::array<std::uint8_t, 20> kPreambleSlot{1,  4,  7,  10, 5,  8,  11, 14, 9,  12,
                                                            15, 18, 13, 16, 19, 22, 17, 20, 23, 26};
inline constexpr int kPreambleSpan = 26;        // sent symbols
inline constexpr int kEndMarkerCheckSpan = 22;  // sent symbols

// The receiver undoes the interleaving by reading, for the four branches in turn, the
// symbol received this many symbols earlier; with the interleaver's own delay every
// symbol then reaches the decoder nine symbols after it was sent.
inline constexpr std::array<int, 4> kDeinterleaveDelay{6, 4, 2, 0};

// Spreads consecutive symbols over time: output n is input n − 9, n − 7, n − 5 or n − 3
// in turn, so a burst of noise hits symbols far apart in the code.
class SymbolInterleaver {
public:
    void reset()
    {
        cells_ = {};
        phase_ = 1;
    }

    std::uint8_t push(std::uint8_t x)
    {
        for (std::size_t i = 1; i < cells_.size(); ++i)
            cells_[i - 1] = cells_[i];
        cells_[12] = x;
        const std::uint8_t y = cells_[static_cast<std::size_t>(2 * phase_ + 1)];
        phase_ = phase_ == 4 ? 1 : phase_ + 1;
        return y;
    }

private:
    std::array<std::uint8_t, 13> cells_{};
    int phase_ = 1;
};

}  // namespace miv
