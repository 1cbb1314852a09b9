#include "platform/forms/Random.h"

namespace oz {

float UniformRandom::Next() {
    // SplitMix64: a fixed 64-bit recurrence, so every machine sees the same numbers.
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    // The top 24 bits give a float in [0, 1) exactly.
    return static_cast<float>(z >> 40) * (1.0f / 16777216.0f);
}

namespace {
UniformRandom& Generator() {
    static UniformRandom generator;
    return generator;
}
} // namespace

float Rnd() {
    return Generator().Next();
}
void ResetRnd() {
    Generator() = UniformRandom();
}

} // namespace oz
