#pragma once

#include <array>
#include <cstdint>

namespace miv {

// Rate 1/2, constraint length 7, generators 133 and 171 (octal). Two data bits make
// four coded bits, which make one symbol value v = 8·c0 + 4·c1 + 2·c2 + c3, sent as the
// tone GrayTone[v].
class ConvolutionalEncoder {
public:
    struct CodedPair {
        std::uint8_t first;   // generator 133
        std::uint8_t second;  // generator 171
    };

    void reset() { cells_ = {}; }
    CodedPair encode(int bit);

private:
    std::array<std::uint8_t, 7> cells_{};  // R0 (newest) .. R6
};

inline constexpr std::array<std::uint8_t, 16> GrayTone{0, 1, 3, 2, 6, 7, 5, 4, 12, 13, 15, 14, 10, 11, 9, 8};
// Tone index back to symbol value.
inline constexpr std::array<std::uint8_t, 16> kInverseGrayTone{0, 1, 3, 2, 7, 6, 4, 5, 15, 14, 12, 13, 8, 9, 11, 10};

inline constexpr std::uint8_t symbolValue(int b1, int b2, int b3, int b4)
{
    return static_cast<std::uint8_t>(8 * b1 + 4 * b2 + 2 * b3 + b4);
}

// One decoder state per three data-bit pairs; four branches into each.
struct TrellisState {
    std::array<std::uint8_t, 4> branchSymbol;  // symbol value of the transition from predecessor j
    std::array<std::uint8_t, 4> predecessor;   // 4·(s mod 16) + j
    std::uint8_t firstBit;                     // the older data bit of the pair (bit 4)
    std::uint8_t secondBit;                    // the newer one (bit 5)
};

using Trellis = std::array<TrellisState, 64>;

constexpr Trellis buildTrellisTable()
{
    auto parity = [](unsigned v) {
        unsigned p = 0;
        for (; v != 0; v >>= 1)
            p ^= v & 1u;
        return p;
    };
    Trellis table{};
    for (unsigned s = 0; s < 64; ++s) {
        for (unsigned j = 0; j < 4; ++j) {
            const unsigned r = 4 * s + j;  // bit 7 the newest data bit, bit 0 the oldest
            table[s].branchSymbol[j] =
                symbolValue(static_cast<int>(parity(r & 0b01011011u)), static_cast<int>(parity(r & 0b01111001u)),
                            static_cast<int>(parity(r & 0b10110110u)), static_cast<int>(parity(r & 0b11110010u)));
            table[s].predecessor[j] = static_cast<std::uint8_t>(4 * (s % 16) + j);
        }
        table[s].firstBit = static_cast<std::uint8_t>((s >> 4) & 1u);
        table[s].secondBit = static_cast<std::uint8_t>((s >> 5) & 1u);
    }
    return table;
}

inline constexpr Trellis TrellisTable = buildTrellisTable();

}  // namespace miv
