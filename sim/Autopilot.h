#pragma once
// Flying with nobody at the keys: gentle turns, spins and changes of speed that never end,
// made through the same steering calls as the keys, so the flight keeps every rule it has
// under the keyboard. The same seed always flies the same way.

#include "platform/forms/Random.h"
#include "sim/FlightState.h"
#include "sim/StarField.h"

#include <cstdint>

namespace oz {

class Autopilot {
public:
    static constexpr std::uint64_t kSeed = 0x6F7A6D6972ULL;

    Autopilot(FlightState& flight, StarField& stars, std::uint64_t seed = kSeed)
        : flight_(flight), stars_(stars), random_(seed) {}

    // One frame's steering, scaled by Sensitivity and TimeScale like the keys'.
    void Step();

private:
    void NextManoeuvre();
    float Between(float low, float high) { return low + (high - low) * random_.Next(); }

    FlightState& flight_;
    StarField& stars_;
    UniformRandom random_;

    // Rates as shares of the keys' rates, -1 to 1: where they are and where they head.
    float turnH_ = 0, turnV_ = 0, spin_ = 0;
    float aimTurnH_ = 0, aimTurnV_ = 0, aimSpin_ = 0;
    float aimSpeed_ = 0;
    float cruise_ = -1;   // the speed the changes swing around; -1 before the first step
    float lastSpeed_ = 0; // the speed the last step left, to notice another hand on it
    float stepsLeft_ = 0; // time steps until the next manoeuvre
};

} // namespace oz
