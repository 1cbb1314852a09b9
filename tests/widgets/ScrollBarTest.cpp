// The slider: its geometry and drawing, the arrow buttons and their auto-repeat on the
// shared timer, presses in the track, dragging the thumb, double clicks and Value.

#include "widgets/ScrollBar.h"

#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr int kRow = 10; // a y inside the 21-pixel-high slider

class ScrollBarTest : public test::WidgetTest {
protected:
    // The speed slider of the panel as the main window makes it: 208 pixels, 20 to 500,
    // steps 1 and 50, at 158. The timer runs before: binding stops it.
    void SetUp() override {
        WidgetTest::SetUp();
        Timer1.SetEnabled(true);
        bar.SetPictureObject(&picScr);
        bar.SetTimerObject(&Timer1);
        bar.CurTimerLoc = 3;
        bar.SetValues(20, 500, 1, 50, 158);
        bar.Redraw();
        bar.Changed.Connect([this] { ++changed; });
    }
    void Press(int x, int y = kRow) { WidgetTest::Press(picScr, x, y); }
    void Release(int x, int y = kRow) { WidgetTest::Release(picScr, x, y); }
    void MoveTo(int x, int y = kRow) { Drag(picScr, x, y, vbLeftButton); }

    using Lengths = std::array<std::int32_t, 4>;
    Lengths Geometry() const {
        return {bar.BarWidth(), bar.TrackLen(), bar.ThumbLen(), bar.ThumbPos()};
    }
    Pixel SliderAt(int x, int y) const { return picScr.Image().Get(x, y); }

    // Both thumb ends (images 9 and 10), the stretched middle (image 11) and the track
    // (image 8) on either side, where ThumbPos and ThumbLen put them.
    void ExpectThumbDrawn() const {
        const int pos = bar.ThumbPos(), len = bar.ThumbLen();
        for (int y = 0; y < 17; ++y) {
            EXPECT_EQ(SliderAt(pos + 1, 2 + y), SheetAt(85, 159 + y)) << y;
            EXPECT_EQ(SliderAt(pos + 4, 2 + y), SheetAt(98, 176 + y)) << y;
            EXPECT_EQ(SliderAt(pos + len - 2, 2 + y), SheetAt(90, 159 + y)) << y;
        }
        EXPECT_EQ(SliderAt(pos - 1, kRow), SheetAt(98, 155 + kRow));
        EXPECT_EQ(SliderAt(pos + len, kRow), SheetAt(98, 155 + kRow));
    }

    PictureBox& picScr = Surface("picScr", 10, 20, 208, 20);
    ScrollBar bar;
    int changed = 0;
};

TEST_F(ScrollBarTest, SpeedSliderGeometryAndValueLetBeyondTheBounds) {
    EXPECT_FLOAT_EQ(picScr.ScaleHeight(), 21.0f);
    EXPECT_EQ(std::pair(Timer1.Enabled(), Geometry()), std::pair(false, Lengths{208, 174, 16, 62}));
    const std::array<std::int32_t, 3> cases[] = {
        {20, 20, 17},    {500, 500, 175}, // W - 17 - ThumbLen
        {3, 20, 17},                      // raised to MinValue
        {600, 600, 208},                  // kept: 158 * 580 / 480 + 17 = 207.92
        {250, 250, 93},                   // 158 * 230 / 480 + 17 = 92.71
    };
    for (auto [set, value, thumbPos] : cases) {
        bar.SetValue(set);
        EXPECT_EQ(std::pair(bar.Value(), bar.ThumbPos()), std::pair(value, thumbPos)) << set;
    }
    ExpectThumbDrawn(); // redrawn at 93
    EXPECT_EQ(changed, 0);

    bar.SetValues(0, 2000, 1, 10, 0); // 174 / 201 < 1: the thumb's least length
    bar.Redraw();
    EXPECT_EQ(Geometry(), (Lengths{208, 174, 9, 17}));
    ExpectThumbDrawn();
}

// The buttons end at x < 16 and x > W - 16: x = 16 and x = W - 16 are in the track.
// Every press raises Changed, also one that cannot move past a bound, and a button press
// starts the timer, there too.
TEST_F(ScrollBarTest, PressesStepByMinChangeOnTheButtonsAndByLargeChangeInTheTrack) {
    const std::tuple<std::int32_t, int, std::int32_t, bool, bool> cases[] = {
        {158, 15, 157, true, false},   {158, 16, 108, false, false},  {158, 192, 208, false, false},
        {158, 193, 159, false, true},  {60, 16, 20, false, false},    {20, 16, 20, false, false},
        {470, 191, 500, false, false}, {500, 191, 500, false, false}, {20, 5, 20, true, false}};
    for (auto [init, x, value, left, right] : cases) {
        bar.SetValue(init);
        changed = 0;
        Press(x);
        EXPECT_EQ(std::tuple(bar.Value(), changed, bar.LeftPressed(), bar.RightPressed(),
                             Timer1.Enabled()),
                  std::tuple(value, 1, left, right, left || right))
            << x;
        // Images 5 and 7 show a pressed button, 4 and 6 a raised one.
        EXPECT_EQ(SliderAt(15, kRow), SheetAt((left ? 89 : 73) + 15, 74 + kRow)) << x;
        EXPECT_EQ(SliderAt(207, kRow), SheetAt((right ? 89 : 73) + 15, 114 + kRow)) << x;
        Release(x);
        EXPECT_FALSE(bar.LeftPressed() || bar.RightPressed());
        EXPECT_EQ(SliderAt(15, kRow), SheetAt(73 + 15, 74 + kRow));
        EXPECT_EQ(SliderAt(207, kRow), SheetAt(73 + 15, 114 + kRow));
    }
}

// From the sixth tick on the repeat steps on every tick, wherever the pointer has gone,
// while the slider owns the timer. Mouse-up stops the timer whoever owns it.
TEST_F(ScrollBarTest, HeldButtonRepeatsFromTheSixthTickWhileItOwnsTheTimer) {
    Press(200);
    EXPECT_EQ(TimerOwner, 3);
    MoveTo(300, -40);
    std::vector<std::int32_t> values{bar.Value()}, changes{changed};
    for (int tick = 0; tick < 7; ++tick) {
        Tick();
        values.push_back(bar.Value());
        changes.push_back(changed);
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{159, 159, 159, 159, 159, 159, 160, 161}));
    EXPECT_EQ(changes, (std::vector<std::int32_t>{1, 1, 1, 1, 1, 1, 2, 3}));
    TimerOwner = 1; // the joystick took the timer meanwhile
    Tick();
    EXPECT_EQ(std::pair(bar.Value(), changed), std::pair(161, 3));
    Release(300, -40);
    EXPECT_EQ(std::tuple(Timer1.Enabled(), TimerOwner), std::tuple(false, 0));
}

// A press on the thumb raises nothing: Value reads the thumb's place, so 158 under the
// thumb at 62 reads 157, and CurValue takes it at the release. Dragged, the thumb follows
// the pointer and jumps back where it was grabbed beyond 20 pixels off either end.
TEST_F(ScrollBarTest, ThumbTurns158Into157AndSnapsBackBeyond20Pixels) {
    Press(70); // 8 pixels into the thumb
    EXPECT_EQ(std::tuple(bar.Dragging(), bar.Value(), changed, Timer1.Enabled()),
              std::tuple(true, 157, 0, false));
    const std::array<int, 4> steps[] = {
        {100, kRow, 92, 248},  // 480 * 75 / 158 + 20 = 247.85
        {100, 200, 92, 248},   // y does not matter
        {228, kRow, 175, 500}, // W + 20: held at the right end
        {229, kRow, 62, 157},  // beyond: back where it was grabbed
        {200, kRow, 175, 500}, // within again: follows
        {-20, kRow, 17, 20},   // held at the left end
        {60, kRow, 52, 126},   // 480 * 35 / 158 + 20 = 126.33
        {-21, kRow, 62, 157},
    };
    for (auto [x, y, thumbPos, value] : steps) {
        MoveTo(x, y);
        EXPECT_EQ(std::tuple(bar.ThumbPos(), bar.Value(), bar.CurValue()),
                  std::tuple(thumbPos, value, 158))
            << x;
    }
    EXPECT_EQ(changed, 8); // one per move, the snap-backs included
    Release(-21);
    EXPECT_EQ(std::tuple(bar.CurValue(), bar.ThumbPos(), changed), std::tuple(157, 62, 8));
}

TEST_F(ScrollBarTest, DoubleClickStepsTwice) {
    Drag(picScr, 200, kRow, 0); // the double click acts at the last mouse-move position
    DoubleClick(picScr, 200, kRow);
    EXPECT_EQ(std::tuple(bar.Value(), Timer1.Enabled(), TimerOwner), std::tuple(160, false, 0));

    Drag(picScr, 150, kRow, 0); // in the track right of the thumb
    DoubleClick(picScr, 150, kRow);
    EXPECT_EQ(std::pair(bar.Value(), changed), std::pair(260, 4));
}

} // namespace
} // namespace oz
