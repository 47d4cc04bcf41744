#pragma once

#include <array>
#include <vector>

#include "rx/FilterChains.h"
#include "rx/ReceiveModes.h"

namespace miv {

// Magnitude spectra by row, bin and plane: plane 1 holds the 16-baud spectra, plane 2
// the 1-baud and EME spectra. Allocated once; a spectrum writes only its own bin
// range, and every other cell keeps what it held. Rows are numbered 1..208, as the
// protocol numbers them.
class SpectrumHistory {
public:
    static constexpr int kRows = 208;
    static constexpr int kBins = 8192;
    static constexpr int kPlanes = 2;
    static constexpr int kFastPlane = 1;
    static constexpr int kSlowPlane = 2;

    SpectrumHistory() : cells_(static_cast<std::size_t>(kRows) * kBins * kPlanes, 0.0f) {}

    // row 1..208, bin 0..8191, plane 1..2
    float operator()(int row, int bin, int plane) const { return cells_[index(row, bin, plane)]; }
    float& operator()(int row, int bin, int plane) { return cells_[index(row, bin, plane)]; }
    // Bins 0..8191 of one row.
    const float* row(int row, int plane) const { return cells_.data() + index(row, 0, plane); }

private:
    static std::size_t index(int row, int bin, int plane)
    {
        return (static_cast<std::size_t>(plane - 1) * kRows + static_cast<std::size_t>(row - 1)) * kBins +
               static_cast<std::size_t>(bin);
    }

    std::vector<float> cells_;
};

// Row number that is `rowsBack` rows before `row`, wrapping within 1..208.
inline int rowBefore(int row, int rowsBack)
{
    const int r = row - rowsBack;
    return r < 1 ? r + SpectrumHistory::kRows : r;
}

// The row of the symbol `symbolsBack` symbols before the one in `row`.
inline int symbolRowBefore(int row, int symbolsBack)
{
    return rowBefore(row, symbolsBack * kRowsPerSymbol);
}

// The four spectrum routines: a window of the baseband ring, zero-padded, through the
// FFT, magnitudes of the mode's stored bins kept as one row of its plane. Each routine
// counts its own rows.
class FourierAnalyser {
public:
    explicit FourierAnalyser(const FilterChains& chains);

    // The next row of the mode's spectrum; returns its number.
    int compute(const ReceiveMode& mode);

    const SpectrumHistory& history() const { return history_; }

private:
    struct Routine {
        int window;   // ring cells read
        int wrap;     // ring length in use
        int size;     // FFT size
        int row = 0;  // 0 before the first spectrum
    };

    const FilterChains& chains_;
    SpectrumHistory history_;
    std::vector<Complex> work_;
    std::array<Routine, 4> routines_{{
        {512, FilterChains::kRingCells, 1024},
        {8192, FilterChains::kRingCells, 16384},
        {4096, FilterChains::kNarrowRingCells, 8192},
        {8192, FilterChains::kRingCells, 16384},
    }};  // by SpectrumRoutine
};

}  // namespace miv
