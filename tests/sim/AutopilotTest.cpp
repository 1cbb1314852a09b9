// The autopilot: it keeps turning, spinning and changing speed for as long as it flies,
// gently and within the flight's limits, and the same way at every start.

#include "sim/Autopilot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace oz {
namespace {

constexpr int kMinute = 64 * 60; // time steps

// Flies `steps` time steps, one autopilot step each; returns the speeds.
std::vector<float> Fly(Autopilot& pilot, FlightState& flight, int steps) {
    std::vector<float> speeds;
    for (int i = 0; i < steps; ++i) {
        pilot.Step();
        speeds.push_back(flight.Speed);
    }
    return speeds;
}

std::vector<float> FlyFrom(float speed, int steps) {
    FlightState flight;
    StarField field;
    flight.Speed = speed;
    Autopilot pilot(flight, field);
    return Fly(pilot, flight, steps);
}

TEST(Autopilot, ChangesSpeedGentlyAroundTheStartSpeedAndTheSameWayEveryTime) {
    const std::vector<float> speeds = FlyFrom(0.5f, 5 * kMinute);
    const auto [low, high] = std::minmax_element(speeds.begin(), speeds.end());
    EXPECT_GE(*low, 0.25f);
    EXPECT_LE(*high, 0.75f);
    EXPECT_LT(*low, 0.4f);  // it does slow down
    EXPECT_GT(*high, 0.6f); // and speed up
    float largestStep = 0;
    for (size_t i = 1; i < speeds.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(speeds[i] - speeds[i - 1]));
    EXPECT_LE(largestStep, std::sqrt(0.75f) * 0.01f + 1e-6f); // half the rate of R and F

    EXPECT_EQ(FlyFrom(0.5f, 5 * kMinute), speeds);

    // Near the top speed it never goes past it.
    const std::vector<float> fast = FlyFrom(5.0f, kMinute);
    EXPECT_LE(*std::max_element(fast.begin(), fast.end()), 5.0f);
}

TEST(Autopilot, StandingStillItKeepsTurningAndSpinningWithoutLookingAround) {
    FlightState flight;
    StarField field;
    field.Stars[0] = StarRecord{30, 40, 50, 1, 0};
    flight.Speed = 0;
    Autopilot pilot(flight, field);
    std::vector<float> speeds;
    std::vector<StarRecord> track;
    for (int tenSeconds = 0; tenSeconds < 60; ++tenSeconds) {
        track.push_back(field.Stars[0]);
        const std::vector<float> more = Fly(pilot, flight, 10 * 64);
        speeds.insert(speeds.end(), more.begin(), more.end());
    }
    EXPECT_EQ(*std::max_element(speeds.begin(), speeds.end()), 0.0f);
    EXPECT_EQ(flight.LookAngleH, 0.0f);
    EXPECT_EQ(flight.LookAngleV, 0.0f);
    // Every ten seconds the star has moved on the sphere it sits on: only rotations.
    int still = 0;
    for (size_t i = 1; i < track.size(); ++i) {
        const StarRecord& a = track[i - 1];
        const StarRecord& b = track[i];
        EXPECT_NEAR(std::sqrt(b.X * b.X + b.Y * b.Y + b.Z * b.Z), std::sqrt(5000.0f), 0.01f);
        if (std::fabs(a.X - b.X) + std::fabs(a.Y - b.Y) + std::fabs(a.Z - b.Z) < 0.01f)
            ++still;
    }
    EXPECT_EQ(still, 0);
}

TEST(Autopilot, FollowsASpeedTheKeysSet) {
    FlightState flight;
    StarField field;
    flight.Speed = 0.5f;
    Autopilot pilot(flight, field);
    Fly(pilot, flight, kMinute);
    flight.Speed = 4.0f; // R held for a while
    const std::vector<float> speeds = Fly(pilot, flight, 5 * kMinute);
    const auto [low, high] = std::minmax_element(speeds.begin(), speeds.end());
    EXPECT_GE(*low, 2.0f);
    EXPECT_LE(*high, 5.0f);
}

} // namespace
} // namespace oz
