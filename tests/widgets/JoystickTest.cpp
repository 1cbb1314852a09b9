// The direction joystick and the spin wheel, both bound to the shared timer as on the
// panel: the grab, the drag within the travel or the 30-degree swing, and the return over
// ticks of the timer, also when the other widget takes the timer away.

#include "widgets/Joystick.h"
#include "widgets/Joystick2.h"

#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>

namespace oz {
namespace {

constexpr int kCentre = 36;            // the joystick's centre pixel
constexpr int kRestX = 36, kRestY = 9; // where the wheel's ball rests
constexpr double kDegrees = 180 / 3.14159265358979;

class JoystickTest : public test::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        stick.SetPictureObject(&picDir);
        stick.SetTimerObject(&Timer1);
        stick.WheelSize = 18;
        stick.Redraw();
        wheel.Center = 64;
        wheel.Radius = 55;
        wheel.WheelSize = 5;
        wheel.SetPictureObject(&picSpin);
        wheel.SetTimerObject(&Timer1);
        wheel.Redraw();
    }

    // Grabs the knob at the centre and pulls the pointer by (dx, dy) pixels, up positive.
    void Pull(int dx, int dy) {
        Press(picDir, kCentre, kCentre);
        ASSERT_TRUE(stick.Grabbed());
        Drag(picDir, kCentre + dx, kCentre - dy);
    }
    // Grabs the ball at rest and moves the pointer by (dx, dy) pixels, down positive.
    void Swing(int dx, int dy) {
        Press(picSpin, kRestX, kRestY);
        ASSERT_TRUE(wheel.Grabbed());
        Drag(picSpin, kRestX + dx, kRestY + dy);
    }
    std::string Knob() const {
        return std::to_string(stick.KnobX()) + "," + std::to_string(stick.KnobY());
    }
    double WheelDegrees() const { return wheel.WheelAngle() * kDegrees; }

    PictureBox& picDir = Surface("picDir", 20, 30, 73, 73);
    PictureBox& picSpin = Surface("picSpin", 120, 30, 73, 26);
    Joystick stick;
    Joystick2 wheel;
};

// ---- The joystick ----

// The knob follows the pointer up to its travel of 13, drawn over the well whose corners
// keep the background.
TEST_F(JoystickTest, KnobFollowsThePointerUpToItsTravelOf13) {
    const Pixel knobCentre = SheetAt(73 + 18, 18);
    EXPECT_EQ(std::pair(picDir.Image().Get(kCentre, kCentre), picDir.Image().Get(0, 0)),
              std::pair(knobCentre, PixelFromColor(RGB(128, 128, 128))));
    const std::array<int, 4> cases[] = {{13, 0, 13, 0},      {-4, 7, -4, 7},    {0, -8, 0, -8},
                                        {37, 1, 13, 0},      {-500, 0, -13, 0}, {300, -150, 12, -6},
                                        {-200, -200, -9, -9}};
    Pull(0, 0);
    for (auto [dx, dy, knobX, knobY] : cases) {
        Drag(picDir, kCentre + dx, kCentre - dy); // the same press: moves keep following
        EXPECT_EQ(std::tuple(stick.KnobX(), stick.KnobY(), stick.GetXAxis(), stick.GetYAxis()),
                  std::tuple(knobX, knobY, knobX / 13.0f, knobY / 13.0f))
            << dx;
        EXPECT_TRUE(dx != 13 ||
                    (picDir.Image().Get(kCentre + 13, kCentre) == knobCentre &&
                     picDir.Image().Get(kCentre - 17, kCentre) == SheetAt(kCentre - 17, kCentre)));
    }
    Press(picDir, kCentre, kCentre, vbRightButton); // only the left button alone drags
    Drag(picDir, kCentre, kCentre);
    EXPECT_EQ(stick.KnobX(), -9);
}

// A press grabs within WheelSize (distance rounded) of the knob's centre or of the
// ball's rest position, whatever the button, and never while the shared timer runs.
TEST_F(JoystickTest, PressesGrabOnlyNearTheCentreOrTheRestPositionWhileTheTimerIsOff) {
    // Distances 18, 18.38 and 19.1 from the knob's centre; 5, 5 and 5.66 from the ball's rest.
    const std::tuple<bool, int, int, bool> cases[] = {
        {true, 18, 0, true}, {true, -13, 13, true}, {true, 0, -19, false}, {true, 13, 14, false},
        {false, 5, 0, true}, {false, -4, 3, true},  {false, 6, 0, false},  {false, 4, 4, false}};
    for (auto [stickCase, dx, dy, grabs] : cases) {
        PictureBox& pic = stickCase ? picDir : picSpin;
        const int x = (stickCase ? kCentre : kRestX) + dx;
        const int y = (stickCase ? kCentre : kRestY) + dy;
        Press(pic, x, y, vbRightButton);
        EXPECT_EQ(stickCase ? stick.Grabbed() : wheel.Grabbed(), grabs) << dx << "," << dy;
        Release(pic, x, y, vbRightButton);
        EXPECT_EQ(TicksUntilTimerStops(), 1); // even a release without a grab costs one
    }
    Press(picDir, 0, 0);
    Release(picDir, 0, 0); // the knob's return over the next tick is pending
    Press(picDir, kCentre, kCentre);
    EXPECT_FALSE(stick.Grabbed());
    Release(picDir, kCentre, kCentre);
    Press(picSpin, kRestX, kRestY);
    EXPECT_FALSE(wheel.Grabbed());
}

TEST_F(JoystickTest, ReleasedKnobReturnsByHalvingTruncatedTowardsZero) {
    // The knob at the release, then after each tick; 13, -13 is pulled back onto the circle.
    const std::tuple<int, int, const char*> cases[] = {{13, 0, "13,0 6,0 3,0 1,0 0,0"},
                                                       {-13, 0, "-13,0 -6,0 -3,0 -1,0 0,0"},
                                                       {13, -13, "9,-9 4,-4 2,-2 1,-1 0,0"},
                                                       {-1, 1, "-1,1 0,0"}};
    for (auto [dx, dy, knobs] : cases) {
        Pull(dx, dy);
        Release(picDir, 0, 0);
        std::string knob = Knob();
        for (int ticks = 0; Timer1.Enabled() && ticks < 10; ++ticks) {
            EXPECT_EQ(TimerOwner, 1);
            Tick();
            knob += " " + Knob();
        }
        EXPECT_EQ(knob, knobs);
        EXPECT_EQ(TimerOwner, 0);
    }
}

// A widget springing back that loses the shared timer to another widget, by a tick of
// the new owner or by the new owner stopping the timer before any tick, goes to rest at
// once and draws itself there.
TEST_F(JoystickTest, LosingTheTimerMidReturnGoesToRestAtOnce) {
    const auto stickAtRest = Pixels(picDir), wheelAtRest = Pixels(picSpin);
    enum Taker { OtherWidgetsRelease, SliderPressedAndReleased };
    for (bool isStick : {true, false})
        for (Taker taker : {OtherWidgetsRelease, SliderPressedAndReleased}) {
            isStick ? Pull(13, 0) : Swing(400, 0);
            Release(isStick ? picDir : picSpin, 0, 0);
            Tick();
            ASSERT_TRUE(isStick ? stick.KnobX() == 6 : wheel.BallX() != 0);
            if (taker == OtherWidgetsRelease) {
                PictureBox& other = isStick ? picSpin : picDir;
                Press(other, 0, 0); // no grab while the timer runs; the release takes it
                Release(other, 0, 0);
                Tick();
            } else {
                TimerOwner = 3;
                Timer1.SetEnabled(false);
                TimerOwner = 0;
            }
            SCOPED_TRACE(::testing::Message() << (isStick ? "stick " : "wheel ") << taker);
            EXPECT_TRUE(stick.GetXAxis() == 0 && stick.GetYAxis() == 0 && wheel.GetValue() == 0 &&
                        wheel.BallY() == 55 && Pixels(picDir) == stickAtRest &&
                        Pixels(picSpin) == wheelAtRest);
            TicksUntilTimerStops();
        }
}

// ---- The spin wheel ----

TEST_F(JoystickTest, WheelSwingsUpTo30DegreesAndFullyAsidePulledDownPastHalfTheRadius) {
    EXPECT_EQ(picSpin.Image().Get(kRestX, kRestY), SheetAt(73 + 5, 159 + 5));
    const std::tuple<int, int, double, int, int> cases[] = {
        {10, 0, std::atan(10.0 / 55) * kDegrees / 30, 10, 54},
        {400, 0, 1, 28, 48},
        {-400, -50, -1, -28, 48},
        {31, 0, std::atan(31.0 / 55) * kDegrees / 30, 27, 48}, // just under 30 degrees
        {0, 27, 0, 0, 55},                                     // 28 above the pivot
        {0, 28, -1, -28, 48},                                  // 27: straight down is left
        {1, 40, 1, 28, 48},
        {-1, 40, -1, -28, 48},
        {3, 300, 1, 28, 48}, // below the pivot
    };
    Swing(0, 0);
    for (auto [dx, dy, value, ballX, ballY] : cases) {
        Drag(picSpin, kRestX + dx, kRestY + dy);
        EXPECT_NEAR(wheel.GetValue(), value, 1e-5) << dx << "," << dy;
        EXPECT_EQ(std::pair(wheel.BallX(), wheel.BallY()), std::pair(ballX, ballY)) << dx;
    }
}

TEST_F(JoystickTest, WheelSwingsBackDividingByThreeUntilBelowThreeDegrees) {
    Swing(400, 0);
    Release(picSpin, 0, 0);
    Tick();
    EXPECT_TRUE(std::abs(WheelDegrees() - 10) < 1e-3 && wheel.BallX() == 10) << WheelDegrees();
    Tick();
    EXPECT_NEAR(WheelDegrees(), 10.0 / 3, 1e-3);
    const int ticks = TicksUntilTimerStops();
    EXPECT_EQ(std::tuple(ticks, wheel.GetValue(), wheel.BallY(), TimerOwner),
              std::tuple(1, 0.0f, 55, 0));

    for (auto [dx, ticks] : {std::pair{-9, 2}, {-8, 1}, {0, 1}}) { // 9.3 and 8.3 degrees
        Swing(dx, 0);
        Release(picSpin, 0, 0);
        EXPECT_EQ(TicksUntilTimerStops(), ticks) << dx;
    }
}

} // namespace
} // namespace oz
