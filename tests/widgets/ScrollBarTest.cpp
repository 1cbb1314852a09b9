// The slider on the headless display: its geometry and drawing, presses on the
// arrow buttons and in the track, auto-repeat on the shared timer, dragging the thumb,
// double clicks, and Value. Mouse behaviour is driven by real input events in screen
// pixels, delivered by the event dispatch; the timer ticks on the virtual clock.

#include "widgets/ScrollBar.h"

#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/TimerOwner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace oz {
namespace {

// Where things lie on the virtual screen: the window at (100, 50), the slider's surface
// at (10, 20) inside it, so slider pixel (x, y) is screen pixel (110 + x, 70 + y).
constexpr int kWindowLeft = 100, kWindowTop = 50;
constexpr int kSurfaceLeft = 10, kSurfaceTop = 20;
constexpr int kOriginX = kWindowLeft + kSurfaceLeft;
constexpr int kOriginY = kWindowTop + kSurfaceTop;
constexpr int kRow = 10; // a y inside the 21-pixel-high slider

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        TimerOwner = 0;
        form.Move(kWindowLeft * 15.0f, kWindowTop * 15.0f, 800 * 15.0f, 600 * 15.0f);
        sheet = &test::BindSpriteSheet(form);
        Timer1.SetInterval(40);
        form.Show();
    }
    void TearDown() override {
        TimerOwner = 0;
        SetBackend(nullptr);
    }

    // A surface of `width` pixels at (kSurfaceLeft, top) of the window.
    PictureBox& Surface(const char* name, int width, int top = kSurfaceTop) {
        PictureBox& pic = form.AddPicture(name);
        pic.Move(kSurfaceLeft * 15.0f, static_cast<float>(top) * 15.0f, width * 15.0f, 300.0f);
        return pic;
    }

    // The main window's creation sequence for a slider, counting the Changed events.
    void Make(ScrollBar& bar, PictureBox& pic, std::int16_t loc, std::int32_t min, std::int32_t max,
              std::int32_t minChange, std::int32_t largeChange, std::int32_t init, int* changed) {
        bar.SetPictureObject(&pic);
        bar.SetTimerObject(&Timer1);
        bar.CurTimerLoc = loc;
        bar.SetValues(min, max, minChange, largeChange, init);
        bar.Redraw();
        bar.Changed.Connect([changed] { ++*changed; });
    }
    // The speed slider of the panel: 208 pixels, 20 to 500, steps 1 and 50, at 158.
    void MakeSpeedBar() { Make(bar, picScr, 3, 20, 500, 1, 50, 158, &changed); }

    // Real input at slider pixel x (y inside the slider unless given), delivered at once.
    void Press(int x, int y = kRow) {
        screen.MouseDown(kOriginX + x, kOriginY + y);
        DoEvents();
    }
    void Release(int x, int y = kRow) {
        screen.MouseUp(kOriginX + x, kOriginY + y);
        DoEvents();
    }
    void MoveTo(int x, int y = kRow, std::int16_t buttons = 0) {
        screen.MouseMove(kOriginX + x, kOriginY + y, buttons);
        DoEvents();
    }
    void DoubleClickAt(int x) {
        screen.DoubleClick(kOriginX + x, kOriginY + kRow);
        DoEvents();
    }
    // One interval of the 40 ms timer, and the dispatch that delivers its tick.
    void Tick() {
        screen.Advance(40);
        DoEvents();
    }

    Pixel SheetAt(int x, int y) const { return sheet->Image().Get(x, y); }
    Pixel SliderAt(int x, int y) const { return picScr.Image().Get(x, y); }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    Timer& Timer1 = form.AddTimer("Timer1");
    PictureBox* sheet = nullptr;
    PictureBox& picScr = Surface("picScr", 208);
    ScrollBar bar;
    int changed = 0;
};

// ---- Binding, geometry and drawing ----

TEST_F(ScrollBarTest, BindingSwitchesToPixelsSetsTheHeightDisablesTheTimerAndDrawsNothing) {
    picScr.Image().Fill(0x123456);
    Timer1.SetEnabled(true);

    bar.SetPictureObject(&picScr);
    bar.SetTimerObject(&Timer1);
    bar.CurTimerLoc = 3;
    bar.SetValues(20, 500, 1, 50, 158);
    bar.Changed.Connect([this] { ++changed; });

    EXPECT_EQ(bar.PictureObject(), &picScr);
    EXPECT_EQ(bar.TimerObject(), &Timer1);
    EXPECT_EQ(picScr.ScaleMode(), vbPixels);
    EXPECT_FLOAT_EQ(picScr.Height(), 315.0f);
    EXPECT_FLOAT_EQ(picScr.ScaleHeight(), 21.0f);
    EXPECT_FALSE(Timer1.Enabled());
    EXPECT_EQ(bar.BarWidth(), 208);
    EXPECT_EQ(bar.MinValue(), 20);
    EXPECT_EQ(bar.MaxValue(), 500);
    EXPECT_EQ(bar.Value(), 158);
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(bar.LeftPressed());
    EXPECT_FALSE(bar.RightPressed());
    EXPECT_FALSE(bar.Dragging());
    // The surface was 20 pixels high: what it held is untouched, and its new bottom row
    // shows only its background.
    for (int x = 0; x < 208; ++x) {
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(picScr.Image().Get(x, y), 0x123456u) << x << "," << y;
        ASSERT_EQ(picScr.Image().Get(x, 20), 0x808080u) << x;
    }
}

TEST_F(ScrollBarTest, SpeedSliderOf208PixelsHasTrack174Thumb16AndThumbRange17To175) {
    MakeSpeedBar();
    EXPECT_EQ(bar.TrackLen(), 174);
    EXPECT_EQ(bar.ThumbLen(), 16);
    EXPECT_EQ(bar.ThumbPos(), 62);

    bar.SetValue(20);
    EXPECT_EQ(bar.ThumbPos(), 17);
    bar.SetValue(500);
    EXPECT_EQ(bar.ThumbPos(), 175); // W - 17 - ThumbLen
    EXPECT_EQ(changed, 0);
}

TEST_F(ScrollBarTest, RedrawPutsButtonsTrackAndThumbWhereTheGeometrySays) {
    MakeSpeedBar();
    // Left button (image 4) at (0, 0): row 10 is opaque over its whole width.
    EXPECT_EQ(SliderAt(15, 10), SheetAt(73 + 15, 74 + 10));
    EXPECT_EQ(SliderAt(0, 10), SheetAt(73, 74 + 10));
    // Right button (image 6) at (W - 16, 0).
    EXPECT_EQ(SliderAt(192, 10), SheetAt(73, 114 + 10));
    EXPECT_EQ(SliderAt(207, 10), SheetAt(73 + 15, 114 + 10));
    // Track (image 8, one column stretched to W - 32 by 21) beside the thumb.
    for (int y = 0; y < 21; ++y) {
        EXPECT_EQ(SliderAt(16, y), SheetAt(98, 155 + y)) << y;
        EXPECT_EQ(SliderAt(100, y), SheetAt(98, 155 + y)) << y;
        EXPECT_EQ(SliderAt(191, y), SheetAt(98, 155 + y)) << y;
    }
    // Thumb at ThumbPos 62, 16 long, from y = 2: ends 9 and 10, middle 11 stretched.
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(SliderAt(63, 2 + y), SheetAt(85, 159 + y)) << y;
        EXPECT_EQ(SliderAt(76, 2 + y), SheetAt(90, 159 + y)) << y;
        for (int x = 66; x < 74; ++x)
            EXPECT_EQ(SliderAt(x, 2 + y), SheetAt(98, 176 + y)) << x << "," << y;
    }
    EXPECT_EQ(SliderAt(61, 10), SheetAt(98, 155 + 10)); // just left of the thumb: track
    EXPECT_EQ(SliderAt(78, 10), SheetAt(98, 155 + 10)); // just right of it: track
}

TEST_F(ScrollBarTest, ThumbIsAtLeastNinePixelsTwoEndsAndAOnePixelMiddle) {
    Make(bar, picScr, 3, 0, 2000, 1, 10, 0, &changed); // 174 / 201 < 1
    EXPECT_EQ(bar.ThumbLen(), 9);
    EXPECT_EQ(bar.ThumbPos(), 17);
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(SliderAt(18, 2 + y), SheetAt(85, 159 + y)) << y; // left end
        EXPECT_EQ(SliderAt(21, 2 + y), SheetAt(98, 176 + y)) << y; // 1-pixel middle
        EXPECT_EQ(SliderAt(24, 2 + y), SheetAt(90, 159 + y)) << y; // right end
    }
    EXPECT_EQ(SliderAt(26, 10), SheetAt(98, 155 + 10)); // track after the thumb
    bar.SetValue(2000);
    EXPECT_EQ(bar.ThumbPos(), 208 - 17 - 9);
}

// ---- Presses on the arrow buttons and auto-repeat ----

TEST_F(ScrollBarTest, ArrowButtonsStepByMinChangeAndShowThemselvesPressed) {
    MakeSpeedBar();
    Press(5);
    EXPECT_EQ(bar.Value(), 157);
    EXPECT_TRUE(bar.LeftPressed());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(SliderAt(15, 10), SheetAt(89 + 15, 74 + 10)); // image 5, sunken
    Release(5);
    EXPECT_FALSE(bar.LeftPressed());
    EXPECT_EQ(SliderAt(15, 10), SheetAt(73 + 15, 74 + 10)); // image 4 again

    Press(200);
    EXPECT_EQ(bar.Value(), 158);
    EXPECT_TRUE(bar.RightPressed());
    EXPECT_EQ(SliderAt(207, 10), SheetAt(89 + 15, 114 + 10)); // image 7, sunken
    Release(200);
    EXPECT_EQ(SliderAt(207, 10), SheetAt(73 + 15, 114 + 10)); // image 6 again
    EXPECT_EQ(changed, 2);
}

TEST_F(ScrollBarTest, ButtonAtItsBoundStillRaisesChangedAndStartsTheTimer) {
    Make(bar, picScr, 3, 20, 500, 1, 50, 20, &changed);
    Press(5);
    EXPECT_EQ(bar.Value(), 20);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_EQ(TimerOwner, 3);
    EXPECT_EQ(bar.RepeatDelay(), 5);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(changed, 1);
    Tick();
    Tick();
    EXPECT_EQ(bar.Value(), 20);
    EXPECT_EQ(changed, 3); // every repeat tick raises Changed again
    Release(5);

    bar.SetValue(500);
    changed = 0;
    Press(200);
    EXPECT_EQ(bar.Value(), 500);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(Timer1.Enabled());
    Release(200);
}

TEST_F(ScrollBarTest, HeldButtonStepsAtPressWaitsFiveTicksThenStepsEveryTick) {
    MakeSpeedBar();
    Press(200);
    EXPECT_EQ(bar.Value(), 159);
    EXPECT_EQ(changed, 1);

    screen.Advance(39); // not yet one interval
    DoEvents();
    EXPECT_EQ(bar.RepeatDelay(), 5);

    for (int tick = 1; tick <= 5; ++tick) {
        Tick();
        EXPECT_EQ(bar.RepeatDelay(), 5 - tick);
        EXPECT_EQ(bar.Value(), 159) << tick;
        EXPECT_EQ(changed, 1) << tick;
    }
    Tick(); // the sixth tick: the first repeat
    EXPECT_EQ(bar.Value(), 160);
    EXPECT_EQ(changed, 2);
    Tick();
    EXPECT_EQ(bar.Value(), 161);
    EXPECT_EQ(changed, 3);

    // The pointer may leave the button, and the surface: the repeat goes on.
    MoveTo(300, -40, vbLeftButton);
    Tick();
    EXPECT_EQ(bar.Value(), 162);
    EXPECT_EQ(changed, 4);
}

TEST_F(ScrollBarTest, MouseUpStopsTheTimerWhoeverOwnsIt) {
    MakeSpeedBar();
    Press(5);
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_EQ(TimerOwner, 3);
    Release(5);
    EXPECT_FALSE(Timer1.Enabled());
    EXPECT_EQ(TimerOwner, 0);

    Press(5);
    TimerOwner = 1; // the joystick started its return meanwhile: the latest starter wins
    Release(5);
    EXPECT_FALSE(Timer1.Enabled());
    EXPECT_EQ(TimerOwner, 0);

    const int before = changed;
    Tick();
    Tick();
    EXPECT_EQ(changed, before);
    EXPECT_EQ(bar.Value(), 156);
}

TEST_F(ScrollBarTest, TickWhileAnotherWidgetOwnsTheTimerDoesNothing) {
    MakeSpeedBar();
    ScrollBar stars;
    int starsChanged = 0;
    PictureBox& picStars = Surface("picStars", 288, 60);
    Make(stars, picStars, 4, 0, 2000, 1, 200, 1500, &starsChanged);

    Press(200); // the speed slider owns the timer; every tick reaches both sliders
    for (int i = 0; i < 8; ++i)
        Tick();
    EXPECT_EQ(bar.Value(), 162); // 159 at the press, then ticks 6, 7 and 8
    EXPECT_EQ(stars.Value(), 1500);
    EXPECT_EQ(stars.RepeatDelay(), 0);
    EXPECT_EQ(starsChanged, 0);

    TimerOwner = 1; // another widget takes the timer over
    const int before = changed;
    Tick();
    Tick();
    EXPECT_EQ(bar.Value(), 162);
    EXPECT_EQ(changed, before);
    EXPECT_EQ(starsChanged, 0);
    Release(200);
}

// ---- Presses in the track ----

TEST_F(ScrollBarTest, TrackPressesStepByLargeChangeUpToTheBoundsAndStillRaiseThere) {
    MakeSpeedBar();
    const std::vector<std::int32_t> down{108, 58, 20, 20};
    for (std::int32_t expected : down) {
        Press(16);
        Release(16);
        EXPECT_EQ(bar.Value(), expected);
        EXPECT_FALSE(Timer1.Enabled());
    }
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(bar.ThumbPos(), 17);

    const std::vector<std::int32_t> up{70, 120, 170, 220, 270, 320, 370, 420, 470, 500, 500};
    for (std::int32_t expected : up) {
        Press(191);
        Release(191);
        EXPECT_EQ(bar.Value(), expected);
    }
    EXPECT_EQ(changed, 15);
    EXPECT_EQ(bar.ThumbPos(), 175);
}

TEST_F(ScrollBarTest, PressAtWMinus16IsATrackPressAndOnePixelFurtherIsTheButton) {
    MakeSpeedBar();
    Press(192); // X = W - 16 exactly
    EXPECT_FALSE(bar.RightPressed());
    EXPECT_FALSE(Timer1.Enabled());
    EXPECT_EQ(bar.Value(), 208);
    Release(192);

    Press(193);
    EXPECT_TRUE(bar.RightPressed());
    EXPECT_EQ(bar.Value(), 209);
    Release(193);

    Press(16); // and 16 is the track on the left
    EXPECT_FALSE(bar.LeftPressed());
    EXPECT_EQ(bar.Value(), 159);
    Release(16);
    Press(15);
    EXPECT_TRUE(bar.LeftPressed());
    EXPECT_EQ(bar.Value(), 158);
    Release(15);
    EXPECT_EQ(changed, 4);
}

// ---- Dragging the thumb ----

TEST_F(ScrollBarTest, PressAndReleaseOnTheThumbTurns158Into157WithoutChanged) {
    MakeSpeedBar();
    Press(70);
    EXPECT_TRUE(bar.Dragging());
    EXPECT_EQ(bar.GrabX(), 70);
    EXPECT_EQ(bar.Value(), 157); // the value under the thumb at 62
    EXPECT_EQ(bar.CurValue(), 158);
    Release(70);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(bar.CurValue(), 157);
    EXPECT_EQ(bar.ThumbPos(), 62);
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(Timer1.Enabled());
}

TEST_F(ScrollBarTest, DragFollowsThePointerSnapsBackBeyond20PixelsAndFollowsAgain) {
    MakeSpeedBar();
    Press(70); // on the thumb, 8 pixels into it
    MoveTo(100, kRow, vbLeftButton);
    EXPECT_EQ(bar.ThumbPos(), 92);
    EXPECT_EQ(changed, 1);
    MoveTo(100, 200, vbLeftButton); // far below: y does not matter
    EXPECT_EQ(bar.ThumbPos(), 92);

    MoveTo(228, kRow, vbLeftButton); // W + 20: held at the right end
    EXPECT_EQ(bar.ThumbPos(), 175);
    EXPECT_EQ(bar.Value(), 500);
    MoveTo(229, kRow, vbLeftButton); // beyond: back where it was grabbed
    EXPECT_EQ(bar.ThumbPos(), 62);
    MoveTo(200, kRow, vbLeftButton); // within again: follows
    EXPECT_EQ(bar.ThumbPos(), 175);
    MoveTo(-20, kRow, vbLeftButton); // -20: held at the left end
    EXPECT_EQ(bar.ThumbPos(), 17);
    EXPECT_EQ(bar.Value(), 20);
    MoveTo(-21, kRow, vbLeftButton);
    EXPECT_EQ(bar.ThumbPos(), 62);
    EXPECT_EQ(changed, 7); // one per move, the snap-backs included
    EXPECT_EQ(bar.CurValue(), 158);

    Release(-21); // released beyond: as a press and release without moving
    EXPECT_EQ(bar.CurValue(), 157);
    EXPECT_EQ(bar.ThumbPos(), 62);
    EXPECT_EQ(changed, 7);
}

TEST_F(ScrollBarTest, ValueDuringADragIsTheValueUnderTheThumbAndIsKeptAtRelease) {
    MakeSpeedBar();
    std::vector<std::int32_t> seen;
    bar.Changed.Connect([this, &seen] { seen.push_back(bar.Value()); });
    Press(70);
    MoveTo(100, kRow, vbLeftButton); // ThumbPos 92: 480 * 75 / 158 + 20 = 247.85
    EXPECT_EQ(bar.Value(), 248);
    EXPECT_EQ(bar.CurValue(), 158);
    MoveTo(60, kRow, vbLeftButton); // ThumbPos 52: 480 * 35 / 158 + 20 = 126.33
    EXPECT_EQ(bar.Value(), 126);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{248, 126}));
    Release(60);
    EXPECT_EQ(bar.Value(), 126);
    EXPECT_EQ(bar.CurValue(), 126);
    EXPECT_EQ(bar.ThumbPos(), 52); // 158 * 106 / 480 + 17 = 51.89: the thumb snaps
}

// ---- Double clicks ----

TEST_F(ScrollBarTest, DoubleClickStepsTwiceOnAButtonAndInTheTrack) {
    MakeSpeedBar();
    MoveTo(200); // the double click acts at the last mouse-move position
    DoubleClickAt(200);
    EXPECT_EQ(bar.Value(), 160);
    EXPECT_EQ(changed, 2);
    EXPECT_FALSE(bar.RightPressed());
    EXPECT_FALSE(Timer1.Enabled());
    EXPECT_EQ(TimerOwner, 0);

    MoveTo(5);
    DoubleClickAt(5);
    EXPECT_EQ(bar.Value(), 158);
    EXPECT_EQ(changed, 4);

    MoveTo(150); // right of the thumb
    DoubleClickAt(150);
    EXPECT_EQ(bar.Value(), 258);
    EXPECT_EQ(changed, 6);
}

// ---- Value let ----

TEST_F(ScrollBarTest, ValueLetHoldsAtMinValueButNotAtMaxValueAndRaisesNothing) {
    MakeSpeedBar();
    bar.SetValue(3);
    EXPECT_EQ(bar.Value(), 20);
    EXPECT_EQ(bar.ThumbPos(), 17);

    bar.SetValue(600); // stored as it is; the thumb lies beyond its normal end
    EXPECT_EQ(bar.Value(), 600);
    EXPECT_EQ(bar.ThumbPos(), 208); // 158 * 580 / 480 + 17 = 207.92
    EXPECT_GT(bar.ThumbPos(), 175);

    bar.SetValue(250);
    EXPECT_EQ(bar.ThumbPos(), 93);                     // 158 * 230 / 480 + 17 = 92.71
    EXPECT_EQ(SliderAt(94, 10), SheetAt(85, 159 + 8)); // redrawn there
    EXPECT_EQ(changed, 0);
}

// ---- Rounding of the two conversions ----

// A 49-pixel slider (the narrowest the callers allow): TrackLen 15 and the
// 9-pixel thumb leave 6 pixels of travel.
TEST_F(ScrollBarTest, ValueToThumbPosRoundsHalvesToEven) {
    picScr.Move(kSurfaceLeft * 15.0f, kSurfaceTop * 15.0f, 49 * 15.0f, 315.0f);
    Make(bar, picScr, 3, 0, 8, 1, 2, 1, &changed);
    ASSERT_EQ(bar.TrackLen(), 15);
    ASSERT_EQ(bar.ThumbLen(), 9);  // floor(15 / (8 / 2 + 1)) = 3, raised to 9
    EXPECT_EQ(bar.ThumbPos(), 18); // 6 * 1 / 8 + 17 = 17.75
    bar.SetValue(2);
    EXPECT_EQ(bar.ThumbPos(), 18); // 18.5: the even neighbour
    bar.SetValue(6);
    EXPECT_EQ(bar.ThumbPos(), 22); // 21.5: the even neighbour
    bar.SetValue(4);
    EXPECT_EQ(bar.ThumbPos(), 20);
}

TEST_F(ScrollBarTest, ThumbPosToValueRoundsHalvesToEven) {
    picScr.Move(kSurfaceLeft * 15.0f, kSurfaceTop * 15.0f, 49 * 15.0f, 315.0f);
    Make(bar, picScr, 3, 0, 3, 1, 1, 0, &changed);
    ASSERT_EQ(bar.ThumbLen(), 9); // floor(15 / 4) = 3, raised to 9
    Press(20);                    // on the thumb at 17..25
    MoveTo(21, kRow, vbLeftButton);
    EXPECT_EQ(bar.ThumbPos(), 18);
    EXPECT_EQ(bar.Value(), 0); // 3 * 1 / 6 = 0.5
    MoveTo(25, kRow, vbLeftButton);
    EXPECT_EQ(bar.ThumbPos(), 22);
    EXPECT_EQ(bar.Value(), 2); // 3 * 5 / 6 = 2.5
    MoveTo(23, kRow, vbLeftButton);
    EXPECT_EQ(bar.ThumbPos(), 20);
    EXPECT_EQ(bar.Value(), 2); // 3 * 3 / 6 = 1.5
    Release(23);
    EXPECT_EQ(bar.CurValue(), 2);
    EXPECT_EQ(bar.ThumbPos(), 21); // 6 * 2 / 3 + 17
}

} // namespace
} // namespace oz
