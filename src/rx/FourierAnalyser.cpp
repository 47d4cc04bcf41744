#include "rx/FourierAnalyser.h"

#include <cmath>

#include "rx/FFT.h"
#include "rx/ReceiveModes.h"

namespace miv {

FourierAnalyser::FourierAnalyser(const FilterChains& chains) : chains_(chains), work_(kMaxFftSize)
{
}

int FourierAnalyser::compute(const ReceiveMode& mode)
{
    Routine& routine = routines_[static_cast<std::size_t>(mode.routine)];
    // The ring from its oldest cell on, in time order; the 16-baud window is only the
    // oldest 512 cells, so its spectrum lags the newest sample by 0.96 s.
    const auto& ring = chains_.basebandRing();
    int cell = chains_.ringWriteIndex() % routine.wrap;
    for (int i = 0; i < routine.window; ++i) {
        work_[static_cast<std::size_t>(i)] = ring[static_cast<std::size_t>(cell)];
        if (++cell == routine.wrap)
            cell = 0;
    }
    for (int i = routine.window; i < routine.size; ++i)
        work_[static_cast<std::size_t>(i)] = {0, 0};
    FFT(work_.data(), routine.size);

    routine.row = routine.row == SpectrumHistory::kRows ? 1 : routine.row + 1;
    for (int bin = mode.stored.low; bin <= mode.stored.high; ++bin) {
        const Complex v = work_[static_cast<std::size_t>(bin)];
        history_(routine.row, bin, mode.plane) = std::sqrt(v.real() * v.real() + v.imag() * v.imag());
    }
    return routine.row;
}

}  // namespace miv
