#pragma once

#include <cstdint>

namespace miv {

// The colours the station shows: text in the send and receive windows, the transmit
// button and the gauge captions. The value is 0xRRGGBB, the order toolkits take.
enum class Colour : std::uint32_t {
    Black = 0x000000,
    Red = 0xFF0000,   // sent text and its echo
    Blue = 0x0000FF,  // received text
    Yellow = 0xFFFF00,
    Green = 0x00FF00,
    White = 0xFFFFFF,
    Grey = 0xE0E0E0,
};

constexpr std::uint32_t rgb(Colour colour)
{
    return static_cast<std::uint32_t>(colour);
}

}  // namespace miv
