#pragma once

#include <cstdint>
#include <random>

namespace miv {

// Standard normal deviates from a seeded 64-bit Mersenne Twister by the Box–Muller
// method, so the same seed gives the same noise with every standard library.
class GaussianNoise {
public:
    explicit GaussianNoise(std::uint64_t seed) : engine_(seed) {}
    double next();

private:
    double uniform();  // [0, 1) with 53 random bits

    std::mt19937_64 engine_;
    double spare_ = 0;
    bool haveSpare_ = false;
};

}  // namespace miv
