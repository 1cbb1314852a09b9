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

struct Flight {
    explicit Flight(float speed) { flight.Speed = speed; }

    // Flies `steps` time steps, one autopilot step each; returns the speeds.
    std::vector<float> Fly(int steps) {
        std::vector<float> speeds;
        for (int i = 0; i < steps; ++i) {
            pilot.Step();
            speeds.push_back(flight.Speed);
        }
        return speeds;
    }

    FlightState flight;
    StarField field;
    Autopilot pilot{flight, field};
};

TEST(Autopilot, ChangesSpeedGentlyAroundTheStartSpeedOrOneTheKeysSetTheSameWayEveryTime) {
    const std::vector<float> speeds = Flight(0.5f).Fly(5 * kMinute);
    const auto [low, high] = std::minmax_element(speeds.begin(), speeds.end());
    EXPECT_TRUE(*low >= 0.25f && *low < 0.4f) << *low;    // it does slow down
    EXPECT_TRUE(*high <= 0.75f && *high > 0.6f) << *high; // and speed up
    float largestStep = 0;
    for (size_t i = 1; i < speeds.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(speeds[i] - speeds[i - 1]));
    EXPECT_LE(largestStep, std::sqrt(0.75f) * 0.01f + 1e-6f); // half the rate of R and F

    EXPECT_EQ(Flight(0.5f).Fly(5 * kMinute), speeds);

    // Near the top speed it never goes past it.
    const std::vector<float> fast = Flight(5.0f).Fly(kMinute);
    EXPECT_LE(*std::max_element(fast.begin(), fast.end()), 5.0f);

    // A speed the keys set is followed.
    Flight f(0.5f);
    f.Fly(kMinute);
    f.flight.Speed = 4.0f; // R held for a while
    const std::vector<float> followed = f.Fly(5 * kMinute);
    const auto [slowest, fastest] = std::minmax_element(followed.begin(), followed.end());
    EXPECT_TRUE(*slowest >= 2.0f && *fastest <= 5.0f) << *slowest << " to " << *fastest;
}

// Every ten seconds the star has moved on the sphere it sits on: only rotations.
TEST(Autopilot, StandingStillItKeepsTurningAndSpinningWithoutLookingAround) {
    Flight f(0.0f);
    StarRecord& star = f.field.Stars[0];
    star = StarRecord{30, 40, 50, 1, 0};
    for (int tenSeconds = 0; tenSeconds < 60; ++tenSeconds) {
        const StarRecord before = star;
        const std::vector<float> speeds = f.Fly(10 * 64);
        EXPECT_EQ(*std::max_element(speeds.begin(), speeds.end()), 0.0f);
        EXPECT_NEAR(std::hypot(star.X, star.Y, star.Z), std::sqrt(5000.0f), 0.01f);
        EXPECT_GE(std::fabs(before.X - star.X) + std::fabs(before.Y - star.Y) +
                      std::fabs(before.Z - star.Z),
                  0.01f)
            << tenSeconds;
    }
    EXPECT_TRUE(f.flight.LookAngleH == 0.0f && f.flight.LookAngleV == 0.0f);
}

} // namespace
} // namespace oz
