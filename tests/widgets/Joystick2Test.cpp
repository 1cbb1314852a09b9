// The spin wheel driven by real mouse events on the headless screen: the grab at the
// ball's rest position, the swing limited to 30 degrees either way, the swing to the side
// when the pointer is pulled down, and the swing back over ticks of the shared timer.

#include "widgets/Joystick2.h"

#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/Joystick.h"
#include "widgets/TimerOwner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace oz {
namespace {

// The window's top-left on the screen, and the surfaces' top-left in the window (pixels).
constexpr int kFormX = 100, kFormY = 50;
constexpr int kSpinX = 120, kSpinY = 30;
constexpr int kDirX = 20, kDirY = 30;
// Where the ball rests on the surface.
constexpr int kRestX = 36, kRestY = 9;

constexpr double kDegrees = 180 / 3.14159265358979;

class Joystick2Test : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        TimerOwner = 0;
        form.Move(kFormX * 15, kFormY * 15, 800 * 15, 600 * 15);
        test::BindSpriteSheet(form);
        picSpin = &form.AddPicture("picSpin");
        picSpin->Move(kSpinX * 15, kSpinY * 15, 73 * 15, 26 * 15);
        Timer1 = &form.AddTimer("Timer1");
        Timer1->SetInterval(40);
        form.Show();

        wheel.Center = 64;
        wheel.Radius = 55;
        wheel.WheelSize = 5;
        wheel.SetPictureObject(picSpin);
        wheel.SetTimerObject(Timer1);
        wheel.Redraw();
    }
    void TearDown() override {
        TimerOwner = 0;
        SetBackend(nullptr);
    }

    // Mouse input at surface pixels of picSpin, delivered at once.
    void Press(int x, int y, std::int16_t button = vbLeftButton) {
        screen.MouseDown(kFormX + kSpinX + x, kFormY + kSpinY + y, button);
        DoEvents();
    }
    void Drag(int x, int y) {
        screen.MouseMove(kFormX + kSpinX + x, kFormY + kSpinY + y, vbLeftButton);
        DoEvents();
    }
    void Release(int x, int y, std::int16_t button = vbLeftButton) {
        screen.MouseUp(kFormX + kSpinX + x, kFormY + kSpinY + y, button);
        DoEvents();
    }
    void Tick() {
        screen.Advance(40);
        DoEvents();
    }
    int TicksUntilTimerStops() {
        int ticks = 0;
        while (Timer1->Enabled() && ticks < 20) {
            Tick();
            ++ticks;
        }
        return ticks;
    }
    // Grabs the ball at rest and moves the pointer by (dx, dy) surface pixels.
    void SwingBy(int dx, int dy) {
        Press(kRestX, kRestY);
        ASSERT_TRUE(wheel.Grabbed());
        Drag(kRestX + dx, kRestY + dy);
    }
    void ReleaseAndSettle() {
        Release(kRestX, kRestY);
        TicksUntilTimerStops();
    }
    double AngleInDegrees() const { return wheel.WheelAngle() * kDegrees; }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    PictureBox* picSpin = nullptr;
    Timer* Timer1 = nullptr;
    Joystick2 wheel; // made after the window, so it goes first
};

TEST_F(Joystick2Test, BindingRestsTheBallAtTheTopAndDisablesTheTimer) {
    Timer1->SetEnabled(true);
    wheel.SetTimerObject(Timer1);
    EXPECT_FALSE(Timer1->Enabled());
    EXPECT_EQ(wheel.GetValue(), 0.0f);
    EXPECT_EQ(wheel.BallX(), 0);
    EXPECT_EQ(wheel.BallY(), 55);
    EXPECT_EQ(picSpin->FillStyle(), 0);
    EXPECT_EQ(picSpin->FillColor(), RGB(0, 255, 0));

    // The ball is drawn centred on (36, 9): its middle pixel is the sheet's.
    const Bitmap& sheet = SpriteImages().PictureObject()->Image();
    EXPECT_EQ(picSpin->Image().Get(kRestX, kRestY), sheet.Get(73 + 5, 159 + 5));
}

TEST_F(Joystick2Test, SwingStopsAtThirtyDegreesOnTheSideOfTheMovement) {
    SwingBy(10, 0);
    EXPECT_NEAR(wheel.WheelAngle(), std::atan(10.0 / 55), 1e-6);
    EXPECT_EQ(wheel.BallX(), 10); // back on the arc: 55 * sin, 55 * cos
    EXPECT_EQ(wheel.BallY(), 54);

    Drag(kRestX + 400, kRestY);
    EXPECT_NEAR(AngleInDegrees(), 30, 1e-3);
    EXPECT_FLOAT_EQ(wheel.GetValue(), 1.0f);
    EXPECT_EQ(wheel.BallX(), 28); // drawn at (64, 16)
    EXPECT_EQ(wheel.BallY(), 48);

    Drag(kRestX - 400, kRestY - 50);
    EXPECT_FLOAT_EQ(wheel.GetValue(), -1.0f);
    EXPECT_EQ(wheel.BallX(), -28);

    Drag(kRestX + 31, kRestY); // atan(31 / 55) is just under 30 degrees
    EXPECT_LT(wheel.GetValue(), 1.0f);
    EXPECT_GT(wheel.GetValue(), 0.97f);
}

TEST_F(Joystick2Test, PullingDownPastHalfTheRadiusSwingsFullyToThePointersSide) {
    SwingBy(0, 27); // the ball is 28 above the pivot: still upright
    EXPECT_EQ(wheel.GetValue(), 0.0f);
    Drag(kRestX, kRestY + 28); // 27 above: straight down counts as left
    EXPECT_FLOAT_EQ(wheel.GetValue(), -1.0f);
    Drag(kRestX + 1, kRestY + 40);
    EXPECT_FLOAT_EQ(wheel.GetValue(), 1.0f);
    Drag(kRestX - 1, kRestY + 40);
    EXPECT_FLOAT_EQ(wheel.GetValue(), -1.0f);
    Drag(kRestX + 3, kRestY + 300); // below the pivot
    EXPECT_FLOAT_EQ(wheel.GetValue(), 1.0f);
}

TEST_F(Joystick2Test, SwingBackDividesTheAngleByThreeAndStopsBelowThreeDegrees) {
    SwingBy(400, 0);
    Release(kRestX + 400, kRestY);
    EXPECT_EQ(TimerOwner, 2);
    ASSERT_TRUE(Timer1->Enabled());
    Tick();
    EXPECT_NEAR(AngleInDegrees(), 10, 1e-3);
    EXPECT_EQ(wheel.BallX(), 10);
    Tick();
    EXPECT_NEAR(AngleInDegrees(), 10.0 / 3, 1e-3);
    EXPECT_TRUE(Timer1->Enabled());
    Tick();
    EXPECT_EQ(wheel.WheelAngle(), 0.0f);
    EXPECT_EQ(wheel.GetValue(), 0.0f);
    EXPECT_EQ(wheel.BallX(), 0);
    EXPECT_EQ(wheel.BallY(), 55);
    EXPECT_FALSE(Timer1->Enabled());
    EXPECT_EQ(TimerOwner, 0);

    SwingBy(-8, 0); // about 8.3 degrees: one tick
    Release(kRestX - 8, kRestY);
    EXPECT_EQ(TicksUntilTimerStops(), 1);
    EXPECT_EQ(wheel.GetValue(), 0.0f);

    SwingBy(-9, 0); // about 9.3 degrees: two
    Release(kRestX - 9, kRestY);
    EXPECT_EQ(TicksUntilTimerStops(), 2);

    Press(0, 0); // a release at rest costs one tick
    Release(0, 0);
    EXPECT_EQ(TicksUntilTimerStops(), 1);
}

TEST_F(Joystick2Test, PressGrabsOnlyWithinWheelSizeOfTheRestPosition) {
    struct Case {
        int x, y;
        bool grabs;
    };
    const Case cases[] = {
        {kRestX, kRestY, true},         {kRestX + 5, kRestY, true},
        {kRestX - 4, kRestY + 3, true}, {kRestX + 6, kRestY, false},
        {kRestX, kRestY + 6, false},    {kRestX + 4, kRestY + 4, false}, // 5.66
        {kRestX + 28, 16, false}, // where the ball sits when fully right
    };
    for (const Case& c : cases) {
        Press(c.x, c.y);
        EXPECT_EQ(wheel.Grabbed(), c.grabs) << c.x << ", " << c.y;
        Release(c.x, c.y);
        TicksUntilTimerStops();
    }
}

TEST_F(Joystick2Test, PressWhileTheSharedTimerRunsDoesNotGrab) {
    Press(0, 0);
    Release(0, 0); // the wheel's one-tick swing back is pending
    Press(kRestX, kRestY);
    EXPECT_FALSE(wheel.Grabbed());
    Release(kRestX, kRestY);
    TicksUntilTimerStops();

    TimerOwner = 4; // a slider holds the timer
    Timer1->SetEnabled(true);
    Press(kRestX, kRestY);
    EXPECT_FALSE(wheel.Grabbed());
}

TEST_F(Joystick2Test, BallLeftOffCentreByAnInterruptedSwingBackIsGrabbedOnlyAtRest) {
    PictureBox& picDir = form.AddPicture("picDir");
    picDir.Move(kDirX * 15, kDirY * 15, 73 * 15, 73 * 15);
    Joystick stick;
    stick.SetPictureObject(&picDir);
    stick.SetTimerObject(Timer1);
    stick.WheelSize = 18;
    stick.Redraw();

    // Swung fully right and released; after one tick a click on the joystick takes the
    // timer, and the joystick's one tick stops it.
    auto interruptedSwingBack = [&] {
        SwingBy(400, 0);
        Release(kRestX + 400, kRestY);
        Tick();
        screen.Click(kFormX + kDirX + 5, kFormY + kDirY + 5);
        DoEvents();
        EXPECT_EQ(TimerOwner, 1);
        EXPECT_EQ(TicksUntilTimerStops(), 1);
    };

    interruptedSwingBack();
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_NEAR(AngleInDegrees(), 10, 1e-3);
    EXPECT_NEAR(wheel.GetValue(), 1.0f / 3, 1e-6);
    // A press on the ball itself does not grab, but its release resumes the swing back.
    Press(kRestX + wheel.BallX(), wheel.Center - wheel.BallY());
    EXPECT_FALSE(wheel.Grabbed());
    Release(0, 0);
    EXPECT_EQ(TicksUntilTimerStops(), 2);
    EXPECT_EQ(wheel.GetValue(), 0.0f);

    interruptedSwingBack();
    Press(kRestX, kRestY);
    EXPECT_TRUE(wheel.Grabbed());
    Drag(kRestX - 3, kRestY); // jumps from 10 degrees right to the pointer's way
    EXPECT_EQ(wheel.BallX(), -3);
    EXPECT_LT(wheel.GetValue(), 0.0f);
    ReleaseAndSettle();
    EXPECT_EQ(wheel.GetValue(), 0.0f);
}

} // namespace
} // namespace oz
