#pragma once

#include <cstdint>
#include <vector>

namespace miv {

// The latest samples of the 8 kHz receive filter output, addressed by their number
// since reception started, so a symbol can be read again at a finer timing after the
// preamble has been found.
class SampleHistory {
public:
    // Keeps at least `capacity` samples (rounded up to a power of two).
    explicit SampleHistory(int capacity);

    void push(float sample)
    {
        samples_[static_cast<std::size_t>(count_) & mask_] = sample;
        ++count_;
    }
    // Samples pushed since the start (or the last clear).
    std::int64_t count() const { return count_; }
    // Sample number `index`; it must lie within the last capacity() samples.
    float at(std::int64_t index) const { return samples_[static_cast<std::size_t>(index) & mask_]; }
    bool holds(std::int64_t first, std::int64_t end) const
    {
        return first >= 0 && end <= count_ && count_ - first <= static_cast<std::int64_t>(samples_.size());
    }
    int capacity() const { return static_cast<int>(samples_.size()); }

private:
    std::vector<float> samples_;
    std::size_t mask_;
    std::int64_t count_ = 0;
};

}  // namespace miv
