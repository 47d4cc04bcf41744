#include "rx/FourierAnalyser.h"

#include <cmath>

#include "modem/ModemMode.h"
#include "rx/FFT.h"

namespace miv {

FourierAnalyser::FourierAnalyser(const FilterChains& chains, const ModeSwitches& switches)
    : chains_(chains),
      switches_(switches),
      work_(16384)
{
}

int FourierAnalyser::compute(Routine& routine, int lowBin, int highBin)
{
    // The ring from its oldest cell on, in time order; the 16-baud window is only the
    // oldest 512 cells, so its spectrum lags the newest sample by 0.96 s.
    const auto& ring = chains_.BasebandRing();
    int cell = chains_.RingWriteIndex() % routine.wrap;
    for (int i = 0; i < routine.window; ++i) {
        work_[static_cast<std::size_t>(i)] = ring[static_cast<std::size_t>(cell)];
        if (++cell == routine.wrap)
            cell = 0;
    }
    for (int i = routine.window; i < routine.size; ++i)
        work_[static_cast<std::size_t>(i)] = {0, 0};
    FFT(work_.data(), routine.size);

    routine.row = routine.row == SpectrumHistory::kRows ? 1 : routine.row + 1;
    for (int bin = lowBin; bin <= highBin; ++bin) {
        const Complex v = work_[static_cast<std::size_t>(bin)];
        history_(routine.row, bin, routine.plane) = std::sqrt(v.real() * v.real() + v.imag() * v.imag());
    }
    return routine.row;
}

int FourierAnalyser::Spectrum16()
{
    return switches_.mode().bw2250 ? compute(fast_, 26, 366) : compute(fast_, 70, 186);
}

int FourierAnalyser::Spectrum1()
{
    return switches_.mode().bw2250 ? compute(slow_, 416, 5856) : compute(slow_, 1120, 2976);
}

int FourierAnalyser::SpectrumEMENarrow()
{
    return compute(emeNarrow_, 816, 3440);
}

int FourierAnalyser::SpectrumEMEWide()
{
    return compute(emeWide_, 400, 5904);
}

}  // namespace miv
