// The classic C run-time linear congruential generator (state x 214013 +
// 2531011, 15 output bits), written out so that tables seeded from it come
// out the same with every compiler and platform.
#pragma once

#include <cstdint>

namespace Korvane {

class LcgRandom {
public:
    static constexpr int kMax = 0x7FFF;

    explicit constexpr LcgRandom(uint32_t seed = 1) : state_(seed) {}

    // Restarts the sequence from `seed`.
    constexpr void Seed(uint32_t seed) { state_ = seed; }

    // Next value in 0..kMax (bits 16 to 30 of the new state).
    constexpr int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    uint32_t state_;
};

}  // namespace Korvane
