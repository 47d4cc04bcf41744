#pragma once

#include <array>
#include <cstdint>

namespace miv {

class ReceiverObserver;

// Watches the decided tones for the end marker's first 16 tones, as the interleaver
// spreads them over the last 22 symbols.
class FinalAcquisition {
public:
    explicit FinalAcquisition(ReceiverObserver& observer) : observer_(observer) {}

    void reset();
    // Adds the tone just decided; true when the end marker has arrived.
    bool add(std::uint8_t tone);

    // Largest match count since the final-acquisition gauge last read it.
    int count() const { return count_; }
    void setCount(int count) { count_ = count; }
    // Match count of the latest end marker found, of 16.
    int finalScore() const { return finalScore_; }

private:
    static constexpr int kHistory = 30;

    ReceiverObserver& observer_;
    std::array<std::uint8_t, kHistory> history_{};
    int newest_ = kHistory - 1;
    int count_ = 0;
    int finalScore_ = 0;
};

}  // namespace miv
