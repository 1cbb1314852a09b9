// Flying by keyboard: the held-key flags, the toggles, and the steering step that serves
// the held keys once per frame.

#include "sim/KeyboardControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kA = 65, kC = 67, kD = 68, kE = 69, kF = 70, kP = 80, kQ = 81, kR = 82,
                       kS = 83, kW = 87, kX = 88, kF1 = 112, kEnter = 13, kEsc = 27;
constexpr float kRightAngle = 1.570796f;

class KeyboardControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        flight.FullScreen = kTrue;
        keys.SwitchDisplay = [this] { ++switches; };
        keys.Unload = [this] { ++unloads; };
    }

    void Press(std::int16_t code) { keys.picMain_KeyDown(code, 0); }
    void Hold(std::int16_t code, int frames) {
        Press(code);
        for (int i = 0; i < frames; ++i)
            keys.KeyboardSteeringStep();
        keys.picMain_KeyUp(code, 0);
    }

    FlightState flight;
    StarField stars;
    KeyboardControls keys{flight, stars};
    int switches = 0;
    int unloads = 0;
};

TEST_F(KeyboardControlsTest, InWindowModeTheViewIgnoresEveryKeyAndTheWindowServesEsc) {
    flight.FullScreen = kFalse;
    flight.HeldKeys.Faster = 1; // still held from before the switch
    for (std::int16_t code : {kR, kLeft, kF1, kP, kX, kC, kEnter})
        Press(code);
    keys.picMain_KeyUp(kR, 0);
    EXPECT_TRUE(flight.HeldKeys.Faster == 1 && flight.HeldKeys.TurnLeft == 0);
    EXPECT_TRUE(flight.HelpShown == kFalse && flight.ShowFps == kFalse && flight.Speed == 0.5f);
    keys.Form_KeyDown(kEsc, 0);
    EXPECT_EQ(std::pair(switches, unloads), std::pair(0, 1));

    flight.FullScreen = kTrue;
    Press(kEnter);
    Press(kEsc); // the view leaves Esc to the window
    EXPECT_EQ(std::pair(switches, unloads), std::pair(1, 1));
}

// Speed changes by its root times 0.02 times Sensitivity and TimeScale, F stops at 0 and
// R at 5; from below 0.01, where the root gives almost nothing, R jumps to 0.02.
TEST_F(KeyboardControlsTest, FAndRChangeTheSpeedWithinItsLimitsAndXStopsAndResumesIt) {
    const std::tuple<std::int16_t, float, float, float, float> cases[] = {
        {kR, 4.0f, 2.0f, 0.5f, 4.04f},   {kF, 4.0f, 1.0f, 2.0f, 3.92f},
        {kR, 4.99f, 1.0f, 1.0f, 5.0f},   {kR, 5.0f, 1.0f, 1.0f, 5.0f},
        {kR, 0.0f, 1.0f, 1.0f, 0.02f},   {kR, 0.0099f, 1.0f, 1.0f, 0.02f},
        {kR, 0.01f, 1.0f, 1.0f, 0.012f}, {kF, 0.0001f, 1.0f, 1.0f, 0.0f},
    };
    for (auto [key, from, sensitivity, timeScale, to] : cases) {
        flight.Speed = from;
        flight.Sensitivity = sensitivity;
        flight.TimeScale = timeScale;
        flight.SpeedInfoTime = 0.0f;
        Hold(key, 1);
        EXPECT_FLOAT_EQ(flight.Speed, to) << key << " from " << from;
        EXPECT_EQ(flight.SpeedInfoTime, 60.0f);
    }

    // X stops and resumes; braked to exactly 0 by F, X brings back the speed of the last stop.
    flight.Speed = 1.25f;
    std::vector<float> speeds;
    for (std::int16_t key : {kX, kX, kF, kX}) {
        key == kF ? Hold(kF, 400) : Press(key);
        speeds.push_back(flight.Speed);
    }
    EXPECT_EQ(speeds, (std::vector{0.0f, 1.25f, 0.0f, 1.25f}));
}

TEST_F(KeyboardControlsTest, LookingWrapsAndStopsCLooksAheadAndTurnAndSpinKeysRotateTheStars) {
    for (float side : {-1.0f, 1.0f}) { // A to -3.15, past -pi; D to 3.15, past pi
        SetLookAngles(flight, side * 3.13f, 0.0f);
        Hold(side < 0 ? kA : kD, 1);
        EXPECT_NEAR(flight.LookAngleH, side * (3.15f - 6.2831855f), 1e-5) << side;
    }
    EXPECT_FLOAT_EQ(flight.SinLookH, std::sin(flight.LookAngleH));
    EXPECT_EQ(flight.ViewInfoTime, 60.0f);

    Hold(kW, 100);
    EXPECT_EQ(flight.LookAngleV, kRightAngle);
    Hold(kS, 200);
    EXPECT_EQ(flight.LookAngleV, -kRightAngle);

    flight.ViewInfoTime = 0.0f; // C looks straight ahead without a read-out
    Press(kC);
    EXPECT_TRUE(flight.LookAngleH == 0.0f && flight.LookAngleV == 0.0f);
    EXPECT_EQ(flight.ViewInfoTime, 0.0f);

    // Turning goes at half the look rate; E spins the stars counter-clockwise on the screen.
    const float turn = 100 * std::sin(0.01f), spin = 10 * std::sin(0.02f);
    const std::tuple<std::int16_t, float, float> cases[] = {{kRight, -turn, 0}, {kLeft, turn, 0},
                                                            {kUp, 0, -turn},    {kDown, 0, turn},
                                                            {kE, 0, spin},      {kQ, 0, -spin}};
    for (auto [key, x, y] : cases) {
        const bool spins = key == kE || key == kQ;
        // An inactive star, which turns and spins too.
        stars.Stars[0] = spins ? StarRecord{10, 0, 90, 0, 0} : StarRecord{0, 0, 100, 0, 0};
        Hold(key, 1);
        EXPECT_NEAR(stars.Stars[0].X, spins ? 10 * std::cos(0.02f) : x, 1e-4) << key;
        EXPECT_NEAR(stars.Stars[0].Y, y, 1e-4) << key;
        EXPECT_NEAR(stars.Stars[0].Z, spins ? 90.0f : 100 * std::cos(0.01f), 1e-4) << key;
    }
    EXPECT_EQ(flight.LookAngleH, 0.0f); // the view is not involved
}

} // namespace
} // namespace oz
