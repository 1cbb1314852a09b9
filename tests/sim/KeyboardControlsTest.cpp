// Flying by keyboard: the held-key flags, the toggles, and the steering step that serves
// the held keys once per frame.

#include "sim/KeyboardControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace oz {
namespace {

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kA = 65, kC = 67, kD = 68, kE = 69, kF = 70, kP = 80, kQ = 81, kR = 82,
                       kS = 83, kW = 87, kX = 88, kF1 = 112, kEnter = 13, kEsc = 27;

class KeyboardControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        flight.FullScreen = kTrue;
        for (StarRecord& s : stars.Stars)
            s = StarRecord{0, 0, 100, 1, 0};
        keys.SwitchDisplay = [this] { ++switches; };
        keys.Unload = [this] { ++unloads; };
    }

    void Press(std::int16_t code) { keys.picMain_KeyDown(code, 0); }
    void Release(std::int16_t code) { keys.picMain_KeyUp(code, 0); }
    void Hold(std::int16_t code, int frames) {
        Press(code);
        for (int i = 0; i < frames; ++i)
            keys.KeyboardSteeringStep();
        Release(code);
    }

    FlightState flight;
    StarField stars;
    KeyboardControls keys{flight, stars};
    int switches = 0;
    int unloads = 0;
};

TEST_F(KeyboardControlsTest, EachFlightKeySetsAndClearsItsOwnFlag) {
    const std::int16_t codes[] = {kLeft, kRight, kUp, kDown, kA, kD, kW, kS, kE, kQ, kR, kF};
    auto* bytes = reinterpret_cast<const std::uint8_t*>(&flight.HeldKeys);
    for (int i = 0; i < 12; ++i) {
        Press(codes[i]);
        for (int j = 0; j < 12; ++j)
            EXPECT_EQ(bytes[j], j == i ? 1 : 0) << "key " << codes[i] << " byte " << j;
        Release(codes[i]);
        EXPECT_EQ(bytes[i], 0);
    }
    Press(66); // B is no flight key
    for (int j = 0; j < 12; ++j)
        EXPECT_EQ(bytes[j], 0);
}

TEST_F(KeyboardControlsTest, InWindowModeOnlyEscIsServed) {
    flight.FullScreen = kFalse;
    flight.HeldKeys.Faster = 1; // still held from before the switch would have cleared it
    const FlightState before = flight;
    for (std::int16_t code : {kR, kLeft, kF1, kP, kX, kC, kEnter})
        Press(code);
    Release(kR);
    EXPECT_EQ(flight.HeldKeys.Faster, 1);
    EXPECT_EQ(flight.HeldKeys.TurnLeft, 0);
    EXPECT_EQ(flight.HelpShown, before.HelpShown);
    EXPECT_EQ(flight.ShowFps, before.ShowFps);
    EXPECT_EQ(flight.Speed, before.Speed);
    EXPECT_EQ(switches, 0);

    keys.Form_KeyDown(kEsc, 0);
    EXPECT_EQ(unloads, 1);
    keys.Form_KeyDown(kX, 0); // the window's own handler knows only Esc
    EXPECT_EQ(flight.Speed, before.Speed);
}

TEST_F(KeyboardControlsTest, EnterSwitchesTheDisplayAndEscUnloadsInFullScreen) {
    Press(kEnter);
    EXPECT_EQ(switches, 1);
    keys.Form_KeyDown(kEsc, 0);
    EXPECT_EQ(unloads, 1);
    Press(kEsc); // the view itself leaves Esc to the window
    EXPECT_EQ(unloads, 1);

    KeyboardControls unwired{flight, stars}; // before the window wires them, nothing happens
    unwired.picMain_KeyDown(kEnter, 0);
    unwired.Form_KeyDown(kEsc, 0);
}

TEST_F(KeyboardControlsTest, F1ShowsTheHelpFromItsFaintestLevelEveryTime) {
    Press(kF1);
    EXPECT_EQ(flight.HelpShown, -1);
    EXPECT_FLOAT_EQ(flight.HelpFade, 0.2f);
    flight.HelpFade = 0.8f; // faded in by the frames
    Press(kF1);
    EXPECT_EQ(flight.HelpShown, 0);
    Press(kF1);
    EXPECT_EQ(flight.HelpShown, -1);
    EXPECT_FLOAT_EQ(flight.HelpFade, 0.2f);
}

TEST_F(KeyboardControlsTest, PTogglesTheFrameRateFigure) {
    Press(kP);
    EXPECT_EQ(flight.ShowFps, -1);
    Press(kP);
    EXPECT_EQ(flight.ShowFps, 0);
}

TEST_F(KeyboardControlsTest, XStopsAndResumesTheSpeedSavedAtTheLastStop) {
    flight.Speed = 0.0f;
    flight.SavedSpeed = 0.0f;
    Press(kX); // no stop yet: resumes 0
    EXPECT_EQ(flight.Speed, 0.0f);

    flight.Speed = 1.25f;
    Press(kX);
    EXPECT_EQ(flight.Speed, 0.0f);
    EXPECT_EQ(flight.SavedSpeed, 1.25f);
    Press(kX);
    EXPECT_EQ(flight.Speed, 1.25f);

    Hold(kF, 400); // braked to exactly 0 by F: X brings back the speed of the last stop
    ASSERT_EQ(flight.Speed, 0.0f);
    Press(kX);
    EXPECT_EQ(flight.Speed, 1.25f);
}

TEST_F(KeyboardControlsTest, FBrakesToZeroAndRFromAStandstillFirstGivesANudge) {
    flight.Speed = 0.5f;
    Press(kF);
    float last = flight.Speed;
    for (int frame = 0; frame < 200; ++frame) {
        keys.KeyboardSteeringStep();
        EXPECT_GE(flight.Speed, 0.0f);
        EXPECT_LE(flight.Speed, last);
        last = flight.Speed;
    }
    Release(kF);
    EXPECT_EQ(flight.Speed, 0.0f);
    EXPECT_EQ(flight.SpeedInfoTime, 60.0f);

    Hold(kR, 1);
    EXPECT_FLOAT_EQ(flight.Speed, 0.02f);
    Hold(kR, 1);
    EXPECT_FLOAT_EQ(flight.Speed, 0.02f + std::sqrt(0.02f) * 0.02f);

    flight.Speed = 0.0099f; // below 0.01 also counts as a standstill
    Hold(kR, 1);
    EXPECT_FLOAT_EQ(flight.Speed, 0.02f);
}

TEST_F(KeyboardControlsTest, SpeedChangesGrowWithTheRootOfTheSpeedAndStopAtFive) {
    flight.Speed = 4.0f;
    flight.Sensitivity = 2.0f;
    flight.TimeScale = 0.5f;
    Hold(kR, 1);
    EXPECT_FLOAT_EQ(flight.Speed, 4.04f);
    Hold(kF, 1);
    EXPECT_FLOAT_EQ(flight.Speed, 4.04f - std::sqrt(4.04f) * 0.02f);

    flight.Sensitivity = 1.0f;
    flight.TimeScale = 1.0f;
    flight.Speed = 4.99f;
    Hold(kR, 1);
    EXPECT_EQ(flight.Speed, 5.0f);
    Hold(kR, 10);
    EXPECT_EQ(flight.Speed, 5.0f);
}

TEST_F(KeyboardControlsTest, LookingLeftWrapsThroughMinusPiWithoutAJump) {
    Press(kA);
    float previousSin = flight.SinLookH;
    bool wrapped = false;
    for (int frame = 0; frame < 200; ++frame) {
        const float before = flight.LookAngleH;
        keys.KeyboardSteeringStep();
        if (flight.LookAngleH > before) { // the wrap
            EXPECT_LE(before - 0.02f, -3.141593f);
            EXPECT_NEAR(flight.LookAngleH, before - 0.02f + 6.2831855f, 1e-5);
            wrapped = true;
        }
        EXPECT_GT(flight.LookAngleH, -3.141593f);
        EXPECT_LE(flight.LookAngleH, 3.141593f);
        EXPECT_NEAR(flight.SinLookH, previousSin, 0.021f); // the view turns smoothly
        previousSin = flight.SinLookH;
    }
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(flight.ViewInfoTime, 60.0f);
}

TEST_F(KeyboardControlsTest, LookingRightWrapsThroughPi) {
    SetLookAngles(flight, 3.13f, 0.0f);
    Hold(kD, 1);
    EXPECT_NEAR(flight.LookAngleH, 3.15f - 6.2831855f, 1e-5);
    EXPECT_FLOAT_EQ(flight.SinLookH, std::sin(flight.LookAngleH));
}

TEST_F(KeyboardControlsTest, LookingUpAndDownStopsAtAQuarterTurn) {
    Hold(kW, 100);
    EXPECT_EQ(flight.LookAngleV, 1.570796f);
    EXPECT_FLOAT_EQ(flight.SinLookV, std::sin(1.570796f));
    Hold(kS, 200);
    EXPECT_EQ(flight.LookAngleV, -1.570796f);
    EXPECT_EQ(flight.ViewInfoTime, 60.0f);
}

TEST_F(KeyboardControlsTest, LookingScalesWithSensitivityAndTimeScale) {
    flight.Sensitivity = 3.0f;
    flight.TimeScale = 2.0f;
    Hold(kA, 1);
    EXPECT_FLOAT_EQ(flight.LookAngleH, -0.12f);
    Hold(kW, 1);
    EXPECT_FLOAT_EQ(flight.LookAngleV, 0.12f);
    EXPECT_FLOAT_EQ(flight.LookAngleH, -0.12f);
}

TEST_F(KeyboardControlsTest, CSnapsTheViewStraightAheadWithoutAReadOut) {
    Hold(kD, 30);
    Hold(kW, 10);
    flight.ViewInfoTime = 0.0f;
    Press(kC);
    EXPECT_EQ(flight.LookAngleH, 0.0f);
    EXPECT_EQ(flight.LookAngleV, 0.0f);
    EXPECT_EQ(flight.ViewInfoTime, 0.0f);

    // With both angles 0 the stale sines are not used: straight ahead is the centre.
    flight.ViewWidth = 800;
    flight.ViewHeight = 600;
    flight.HalfWidth = 400;
    flight.HalfHeight = 300;
    flight.Speed = 0.0f;
    StarSight sight;
    ASSERT_TRUE(stars.StarStep(0, flight, sight));
    EXPECT_EQ(sight.sx, 400);
    EXPECT_EQ(sight.sy, 300);
}

TEST_F(KeyboardControlsTest, TurnKeysTurnTheLineOfFlightAtHalfTheLookRate) {
    Hold(kRight, 1);
    EXPECT_NEAR(stars.Stars[0].X, -100 * std::sin(0.01f), 1e-4);
    EXPECT_EQ(flight.LookAngleH, 0.0f); // the view is not involved

    for (StarRecord& s : stars.Stars)
        s = StarRecord{0, 0, 100, 1, 0};
    Hold(kUp, 1);
    EXPECT_NEAR(stars.Stars[0].Y, -100 * std::sin(0.01f), 1e-4);
    Hold(kDown, 1);
    EXPECT_NEAR(stars.Stars[0].Y, 0.0f, 1e-4);
}

TEST_F(KeyboardControlsTest, OppositeKeysHeldTogetherCancel) {
    stars.Stars[0] = StarRecord{30, -20, 90, 1, 0};
    Press(kLeft);
    Press(kRight);
    Press(kE);
    Press(kQ);
    for (int frame = 0; frame < 50; ++frame)
        keys.KeyboardSteeringStep();
    EXPECT_NEAR(stars.Stars[0].X, 30.0f, 1e-3);
    EXPECT_NEAR(stars.Stars[0].Y, -20.0f, 1e-3);
    EXPECT_NEAR(stars.Stars[0].Z, 90.0f, 1e-3);
}

TEST_F(KeyboardControlsTest, ESpinsTheStarsCounterClockwiseOnTheScreen) {
    stars.Stars[0] = StarRecord{10, 0, 90, 1, 0};
    Hold(kE, 1);
    EXPECT_NEAR(stars.Stars[0].Y, 10 * std::sin(0.02f), 1e-5);
    Hold(kQ, 2);
    EXPECT_NEAR(stars.Stars[0].Y, -10 * std::sin(0.02f), 1e-5);
}

TEST(HelpText, HasNineteenLinesJoinedByCrLfAndNamesTheEscKey) {
    const std::string text = HelpText();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));

    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "Up Arrow - Turn Up");
    EXPECT_EQ(lines[3], "Right Arrow - Turn Right");
    EXPECT_EQ(lines[9], "C - Look Forward");
    EXPECT_EQ(lines[12], "Q - Spin Counter-clockwise");
    EXPECT_EQ(lines[16], "X - Stop/Continue");
    EXPECT_EQ(lines[18], "Esc - Exit");
    for (int empty : {4, 10, 13, 17})
        EXPECT_EQ(lines[empty], "") << "line " << empty + 1;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // no bare line feeds
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 18);
}

} // namespace
} // namespace oz
