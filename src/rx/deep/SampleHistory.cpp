#include "rx/deep/SampleHistory.h"

namespace miv {

SampleHistory::SampleHistory(int capacity)
{
    std::size_t size = 1;
    while (size < static_cast<std::size_t>(capacity))
        size *= 2;
    samples_.assign(size, 0.0f);
    mask_ = size - 1;
}

}  // namespace miv
