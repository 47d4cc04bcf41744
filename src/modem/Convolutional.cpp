#include "modem/Convolutional.h"

namespace miv {

ConvolutionalEncoder::CodedPair ConvolutionalEncoder::encode(int bit)
{
    for (std::size_t i = 6; i > 0; --i)
        cells_[i] = cells_[i - 1];
    cells_[0] = static_cast<std::uint8_t>(bit != 0);
    const auto& r = cells_;
    return {static_cast<std::uint8_t>(r[0] ^ r[2] ^ r[3] ^ r[5] ^ r[6]),
            static_cast<std::uint8_t>(r[0] ^ r[1] ^ r[2] ^ r[3] ^ r[6])};
}

}  // namespace miv
