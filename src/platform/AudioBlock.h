#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace miv {

// Both directions move audio in blocks of 3072 samples, 48 kHz, 16-bit mono (64 ms).
inline constexpr int kSampleRate = 48000;
inline constexpr int kBlockSamples = 3072;
inline constexpr std::chrono::microseconds kBlockPeriod{1'000'000LL * kBlockSamples / kSampleRate};

using AudioBlock = std::array<std::int16_t, kBlockSamples>;

}  // namespace miv
