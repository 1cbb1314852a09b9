// The direction joystick driven by real mouse events on the headless screen: the grab at
// the centre, the drag within the travel circle, the axes, and the spring-back over ticks
// of the shared timer, also when another widget takes the timer away.

#include "widgets/Joystick.h"

#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/Joystick2.h"
#include "widgets/TimerOwner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace oz {
namespace {

// The window's top-left on the screen, and the surfaces' top-left in the window (pixels).
constexpr int kFormX = 100, kFormY = 50;
constexpr int kDirX = 20, kDirY = 30;
constexpr int kSpinX = 120, kSpinY = 30;
constexpr int kCenter = 36;

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        TimerOwner = 0;
        form.Move(kFormX * 15, kFormY * 15, 800 * 15, 600 * 15);
        test::BindSpriteSheet(form);
        picDir = &form.AddPicture("picDir");
        picDir->Move(kDirX * 15, kDirY * 15, 73 * 15, 73 * 15);
        Timer1 = &form.AddTimer("Timer1");
        Timer1->SetInterval(40);
        form.Show();

        stick.SetPictureObject(picDir);
        stick.SetTimerObject(Timer1);
        stick.WheelSize = 18;
        stick.Redraw();
    }
    void TearDown() override {
        TimerOwner = 0;
        SetBackend(nullptr);
    }

    // Mouse input at surface pixels of picDir, delivered at once.
    void Press(int x, int y, std::int16_t button = vbLeftButton) {
        screen.MouseDown(kFormX + kDirX + x, kFormY + kDirY + y, button);
        DoEvents();
    }
    void Drag(int x, int y, std::int16_t buttons = vbLeftButton) {
        screen.MouseMove(kFormX + kDirX + x, kFormY + kDirY + y, buttons);
        DoEvents();
    }
    void Release(int x, int y, std::int16_t button = vbLeftButton) {
        screen.MouseUp(kFormX + kDirX + x, kFormY + kDirY + y, button);
        DoEvents();
    }
    void Tick() {
        screen.Advance(40);
        DoEvents();
    }
    // Ticks until the shared timer stops; the count of ticks it took.
    int TicksUntilTimerStops() {
        int ticks = 0;
        while (Timer1->Enabled() && ticks < 20) {
            Tick();
            ++ticks;
        }
        return ticks;
    }
    // Grabs at the centre and pulls the knob by (dx, dy) pixels, up positive.
    void PullFromCentre(int dx, int dy) {
        Press(kCenter, kCenter);
        ASSERT_TRUE(stick.Grabbed());
        Drag(kCenter + dx, kCenter - dy);
    }
    double KnobDistance() const { return std::hypot(stick.KnobX(), stick.KnobY()); }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    PictureBox* picDir = nullptr;
    Timer* Timer1 = nullptr;
    Joystick stick; // made after the window, so it goes first
};

TEST_F(JoystickTest, BindingDisablesTheTimerAndCentresTheKnob) {
    Timer1->SetEnabled(true);
    stick.SetTimerObject(Timer1);
    EXPECT_FALSE(Timer1->Enabled());
    EXPECT_EQ(stick.PictureObject(), picDir);
    EXPECT_EQ(stick.TimerObject(), Timer1);
    EXPECT_EQ(stick.GetXAxis(), 0.0f);
    EXPECT_EQ(stick.GetYAxis(), 0.0f);
    EXPECT_FALSE(stick.Grabbed());
}

TEST_F(JoystickTest, KnobFollowsThePointerWithinItsTravelCircle) {
    PullFromCentre(13, 0);
    EXPECT_EQ(stick.KnobX(), 13);
    EXPECT_EQ(stick.GetXAxis(), 1.0f);
    EXPECT_EQ(stick.GetYAxis(), 0.0f);

    Drag(kCenter - 4, kCenter - 7); // the same press: moves keep following it
    EXPECT_EQ(stick.KnobX(), -4);
    EXPECT_EQ(stick.KnobY(), 7);

    // Far outside the surface and the window, in every direction.
    const int far[][2] = {{300, -150}, {-500, 0}, {0, 400}, {-200, -200}, {37, 1}, {-14, 3}};
    for (const auto& p : far) {
        Drag(kCenter + p[0], kCenter - p[1]);
        SCOPED_TRACE(testing::Message() << "pointer offset " << p[0] << ", " << p[1]);
        EXPECT_EQ(std::nearbyint(KnobDistance()), 13);
        EXPECT_LE(std::fabs(stick.GetXAxis()), 1.0f);
        EXPECT_LE(std::fabs(stick.GetYAxis()), 1.0f);
        // The knob points where the pointer went.
        EXPECT_NEAR(std::atan2(stick.KnobY(), stick.KnobX()), std::atan2(p[1], p[0]), 0.1);
    }
    Drag(-500, kCenter);
    EXPECT_EQ(stick.GetXAxis(), -1.0f);
}

TEST_F(JoystickTest, KnobMovesByThePointersWayFromTheGrabNotFromTheCentre) {
    Press(kCenter + 4, kCenter - 6); // off-centre, but within the knob
    ASSERT_TRUE(stick.Grabbed());
    EXPECT_EQ(stick.KnobX(), 0);
    Drag(kCenter + 4 + 100, kCenter - 6);
    EXPECT_EQ(stick.KnobX(), 13);
    EXPECT_EQ(stick.KnobY(), 0);
}

TEST_F(JoystickTest, UpIsPositiveAndDownNegativeOnTheYAxis) {
    PullFromCentre(0, 5);
    EXPECT_EQ(stick.KnobY(), 5);
    EXPECT_GT(stick.GetYAxis(), 0.0f);
    EXPECT_FLOAT_EQ(stick.GetYAxis(), 5.0f / 13);
    EXPECT_EQ(stick.GetXAxis(), 0.0f);
    Drag(kCenter, kCenter + 8);
    EXPECT_FLOAT_EQ(stick.GetYAxis(), -8.0f / 13);
}

TEST_F(JoystickTest, OnlyADragWithTheLeftButtonAloneMovesTheKnob) {
    Press(kCenter, kCenter, vbRightButton);
    EXPECT_TRUE(stick.Grabbed()); // any button grabs
    Drag(kCenter + 10, kCenter, vbRightButton);
    EXPECT_EQ(stick.KnobX(), 0);
    Release(kCenter + 10, kCenter, vbRightButton);
    TicksUntilTimerStops();

    PullFromCentre(5, 0);
    EXPECT_EQ(stick.KnobX(), 5);
    Press(kCenter + 5, kCenter, vbRightButton); // the right button joins the left one
    Drag(kCenter + 9, kCenter, vbLeftButton | vbRightButton);
    EXPECT_EQ(stick.KnobX(), 5);
}

TEST_F(JoystickTest, PressGrabsOnlyWithinWheelSizeOfTheCentre) {
    struct Case {
        int x, y;
        bool grabs;
    };
    const Case cases[] = {
        {kCenter + 18, kCenter, true},       // exactly on the edge
        {kCenter + 18, kCenter + 3, true},   // 18.25 counts as 18
        {kCenter - 13, kCenter + 13, true},  // 18.38 counts as 18
        {kCenter, kCenter - 19, false},      // 19
        {kCenter + 13, kCenter + 14, false}, // 19.1
    };
    for (const Case& c : cases) {
        Press(c.x, c.y);
        EXPECT_EQ(stick.Grabbed(), c.grabs) << c.x << ", " << c.y;
        Release(c.x, c.y);
        TicksUntilTimerStops();
    }
}

TEST_F(JoystickTest, PressOutsideTheKnobDoesNotGrabButItsReleaseStillCostsOneTick) {
    Press(5, 5);
    EXPECT_FALSE(stick.Grabbed());
    Drag(40, 40);
    EXPECT_EQ(stick.KnobX(), 0);
    EXPECT_EQ(stick.KnobY(), 0);

    const int presents = screen.PresentCount();
    Release(40, 40);
    EXPECT_TRUE(Timer1->Enabled());
    EXPECT_EQ(TimerOwner, 1);
    EXPECT_EQ(TicksUntilTimerStops(), 1);
    EXPECT_EQ(TimerOwner, 0);
    EXPECT_GT(screen.PresentCount(), presents); // the tick drew the knob once more
    EXPECT_EQ(stick.GetXAxis(), 0.0f);
}

TEST_F(JoystickTest, ReleasedKnobSpringsBackByHalvingTowardsZero) {
    PullFromCentre(13, -13); // pulled back onto the circle: (9, -9)
    Release(kCenter + 13, kCenter + 13);
    std::vector<int> xs{stick.KnobX()}, ys{stick.KnobY()};
    while (Timer1->Enabled() && xs.size() < 10) {
        EXPECT_EQ(TimerOwner, 1);
        Tick();
        xs.push_back(stick.KnobX());
        ys.push_back(stick.KnobY());
    }
    EXPECT_EQ(xs, (std::vector<int>{9, 4, 2, 1, 0}));
    EXPECT_EQ(ys, (std::vector<int>{-9, -4, -2, -1, 0}));
    EXPECT_EQ(TimerOwner, 0);

    PullFromCentre(13, 0);
    Release(kCenter + 13, kCenter);
    std::vector<int> right{stick.KnobX()};
    while (Timer1->Enabled() && right.size() < 10) {
        Tick();
        right.push_back(stick.KnobX());
    }
    EXPECT_EQ(right, (std::vector<int>{13, 6, 3, 1, 0}));

    PullFromCentre(-13, 0); // truncated towards zero, not floored
    Release(0, kCenter);
    std::vector<int> left{stick.KnobX()};
    while (Timer1->Enabled() && left.size() < 10) {
        Tick();
        left.push_back(stick.KnobX());
    }
    EXPECT_EQ(left, (std::vector<int>{-13, -6, -3, -1, 0}));

    PullFromCentre(-1, 1);
    Release(kCenter - 1, kCenter - 1);
    EXPECT_EQ(TicksUntilTimerStops(), 1);
    EXPECT_EQ(stick.KnobX(), 0);
    EXPECT_EQ(stick.KnobY(), 0);
}

TEST_F(JoystickTest, PressWhileTheSharedTimerRunsDoesNotGrab) {
    PullFromCentre(13, 0);
    Release(kCenter + 13, kCenter);
    Tick();
    ASSERT_EQ(stick.KnobX(), 6);
    Press(kCenter, kCenter); // the knob is still returning
    EXPECT_FALSE(stick.Grabbed());
    Drag(kCenter + 10, kCenter);
    EXPECT_EQ(stick.KnobX(), 6);
    Release(kCenter + 10, kCenter);
    EXPECT_EQ(TicksUntilTimerStops(), 3);

    // A slider's arrow button holds the timer: still no grab.
    TimerOwner = 3;
    Timer1->SetEnabled(true);
    Press(kCenter, kCenter);
    EXPECT_FALSE(stick.Grabbed());
}

TEST_F(JoystickTest, KnobLeftOffCentreByAnInterruptedReturnStaysUntilGrabbedAgain) {
    PictureBox& picSpin = form.AddPicture("picSpin");
    picSpin.Move(kSpinX * 15, kSpinY * 15, 73 * 15, 26 * 15);
    Joystick2 wheel;
    wheel.Center = 64;
    wheel.Radius = 55;
    wheel.WheelSize = 5;
    wheel.SetPictureObject(&picSpin);
    wheel.SetTimerObject(Timer1);
    wheel.Redraw();

    PullFromCentre(13, 0);
    Release(kCenter + 13, kCenter);
    Tick();
    ASSERT_EQ(stick.KnobX(), 6);

    // A click on the spin wheel takes the timer; its one tick stops it.
    screen.Click(kFormX + kSpinX + 36, kFormY + kSpinY + 9);
    DoEvents();
    EXPECT_EQ(TimerOwner, 2);
    EXPECT_EQ(TicksUntilTimerStops(), 1);
    EXPECT_EQ(TimerOwner, 0);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(stick.KnobX(), 6);
    EXPECT_FLOAT_EQ(stick.GetXAxis(), 6.0f / 13);

    // The grab is measured from the centre, not from the knob: 15 left of the centre is 21
    // from the knob but grabs, and the knob jumps to the pointer's way from that press.
    Press(kCenter - 15, kCenter);
    EXPECT_TRUE(stick.Grabbed());
    Drag(kCenter - 15, kCenter - 2);
    EXPECT_EQ(stick.KnobX(), 0);
    EXPECT_EQ(stick.KnobY(), 2);
    Release(kCenter - 15, kCenter - 2);
    EXPECT_EQ(TicksUntilTimerStops(), 2);
    EXPECT_EQ(stick.KnobY(), 0);
}

TEST_F(JoystickTest, KnobIsDrawnOverTheWellWhoseCornersKeepTheBackground) {
    const Bitmap& sheet = SpriteImages().PictureObject()->Image();
    const Bitmap& image = picDir->Image();
    const Pixel grey = PixelFromColor(RGB(128, 128, 128));
    const Pixel knobCentre = sheet.Get(73 + 18, 18);
    EXPECT_GT(knobCentre & 0xFF, (knobCentre >> 16) & 0xFF); // blue over red

    EXPECT_EQ(image.Get(kCenter, kCenter), knobCentre);
    for (int corner : {0, 72}) {
        EXPECT_EQ(image.Get(corner, 0), grey);
        EXPECT_EQ(image.Get(corner, 72), grey);
    }
    // Shown on the screen as drawn.
    const Bitmap shot = screen.Screenshot();
    EXPECT_EQ(shot.Get(kFormX + kDirX + kCenter, kFormY + kDirY + kCenter), knobCentre);
    EXPECT_EQ(shot.Get(kFormX + kDirX, kFormY + kDirY), grey);

    // Pushed right, the knob moves and the well shows again where it was.
    PullFromCentre(13, 0);
    EXPECT_EQ(image.Get(kCenter + 13, kCenter), knobCentre);
    EXPECT_EQ(image.Get(kCenter - 17, kCenter), sheet.Get(kCenter - 17, kCenter));
}

} // namespace
} // namespace oz
