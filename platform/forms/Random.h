#pragma once
// The program's one source of random numbers: uniform in [0, 1), the same sequence at
// every start, on every compiler and machine.

#include <cstdint>

namespace oz {

class UniformRandom {
public:
    UniformRandom() = default;
    explicit UniformRandom(std::uint64_t seed) : state_(seed) {}

    float Next(); // [0, 1), a multiple of 2^-24

private:
    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

// The program-wide generator, like the forms runtime's Rnd.
float Rnd();
void ResetRnd(); // back to the fixed start state (tests, and a new run of the program)

} // namespace oz
