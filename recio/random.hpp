// The clock and the uniform pseudo-random generator of the placement
// programs. Any uniform generator on [0, 1) seeded from the clock's seconds
// serves; this one is the Mersenne twister, so that a test can seed it and
// get the same sequence on every machine.
#pragma once

#include <cstdint>
#include <random>

namespace recio {

// Seconds (0..59) of the current local time of day.
int clock_seconds();

class UniformRandom {
  public:
    explicit UniformRandom(std::uint32_t seed) : gen_(seed) {}
    // A 32-bit real uniform on [0, 1): 24 random bits.
    float next() { return static_cast<float>(gen_() >> 8) * (1.0f / 16777216.0f); }

  private:
    std::mt19937 gen_;
};

}  // namespace recio
