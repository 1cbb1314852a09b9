// The forms runtime on the headless display: events and their connections, routing of
// input, double clicks, key preview, timers, stacking and composition. The mouse capture of
// a pressed surface is exercised by the widget tests, whose drags go far outside their
// surfaces.

#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Event.h"
#include "platform/forms/Form.h"
#include "platform/pixels/Font.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

// Events raise into their handlers in order; connections end when asked, when their scope
// ends, or harmlessly after the event itself is gone.
TEST(Event, RaisesInOrderAndAHandlerMayDisconnectItselfOrConnectAnother) {
    Event<int> e;
    std::string log;
    Connection mine;
    mine = e.Connect([&](int v) {
        log += "a" + std::to_string(v);
        mine.Disconnect();
        e.Connect([&](int w) { log += "c" + std::to_string(w); });
    });
    e.Connect([&](int v) { log += "b" + std::to_string(v); });
    e.Raise(1); // the new handler joins after this raise
    e.Raise(2);
    EXPECT_EQ(log, "a1b1b2c2");
}

TEST(Event, ScopedConnectionsEndWithTheirScopeOrWhenReplacedOrOutliveTheirEvent) {
    auto e = std::make_unique<Event<>>();
    int first = 0, second = 0;
    {
        ScopedConnection c = e->Connect([&] { ++first; });
        e->Raise();
        c = e->Connect([&] { ++second; }); // replacing ends the first
        e->Raise();
    }
    e->Raise(); // the scope has ended both
    EXPECT_EQ(std::tuple(first, second, e->HasHandlers()), std::tuple(1, 1, false));
    // A connection whose event goes first ends without touching it.
    ScopedConnection late = e->Connect([] {});
    e.reset();
}

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { SetBackend(&screen); }
    void TearDown() override { SetBackend(nullptr); }

    // An 800 x 600 window at (100, 50) with one 100 x 50 surface at (10, 20).
    PictureBox& OpenWindow() {
        form.Move(100 * 15, 50 * 15, 800 * 15, 600 * 15);
        PictureBox& pic = Place(form.AddPicture("pic"), 10, 20, 100, 50);
        pic.SetScaleMode(vbPixels);
        form.Show();
        return pic;
    }

    // Moves a control to (x, y) on the window, w x h, all in pixels.
    template <typename Control> static Control& Place(Control& c, int x, int y, int w, int h) {
        c.Move(x * 15.0f, y * 15.0f, w * 15.0f, h * 15.0f);
        return c;
    }

    // Logs every event of `source` as " name button x,y".
    void Record(MouseEvent& source, const std::string& name) {
        source.Connect([this, name](std::int16_t b, std::int16_t, float x, float y) {
            log += " " + name + " " + std::to_string(b) + " " + std::to_string(int(x)) + "," +
                   std::to_string(int(y));
        });
    }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    std::string log;
};

// A double click arrives as press, release, DblClick, release. The second left press
// makes one when it comes within 500 ms of the first, within 2 pixels each way; a double
// click ends the sequence, so a third quick press is a plain press again.
TEST_F(FormsTest, DoubleClicksAreDecidedByTimeAndPlace) {
    PictureBox& pic = OpenWindow();
    pic.MouseDown.Connect([&](auto...) { log += " down"; });
    pic.MouseUp.Connect([&](auto...) { log += " up"; });
    pic.DblClick.Connect([&] { log += " dbl"; });
    struct Press {
        int ms, dx, dy;
        std::int16_t button = 1;
    };
    const std::tuple<std::vector<Press>, const char*> cases[] = {
        {{{0, 0, 0}, {500, 2, -2}}, " down up dbl up"},
        {{{0, 0, 0}, {501, 0, 0}}, " down up down up"},
        {{{0, 0, 0}, {100, 3, 0}}, " down up down up"},
        {{{0, 0, 0}, {100, 0, 20}}, " down up down up"},
        {{{0, 0, 0}, {100, 0, 0}, {100, 0, 0}}, " down up dbl up down up"},
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, " down up dbl up down up dbl up"},
        {{{0, 0, 0, 2}, {100, 0, 0}, {100, 0, 0, 2}, {100, 0, 0}},
         " down up down up down up down up"},
    };
    for (auto [presses, seen] : cases) {
        screen.Advance(1000);
        log.clear();
        for (const Press& p : presses) {
            screen.Advance(p.ms);
            screen.MouseDown(130 + p.dx, 90 + p.dy, p.button);
            screen.MouseUp(130 + p.dx, 90 + p.dy, p.button);
        }
        DoEvents();
        EXPECT_EQ(log, seen) << presses.size() << " presses, second after " << presses[1].ms;
    }
}

// With key preview the window sees keys before the focused surface; a closed window raises
// its unload handler once and takes no more input.
TEST_F(FormsTest, WindowSeesKeysFirstAndAClosedWindowTakesNoMoreInput) {
    PictureBox& pic = OpenWindow();
    form.SetKeyPreview(true);
    form.SetFocus(&pic);
    form.KeyDown.Connect(
        [&](std::int16_t k, std::int16_t) { log += " form " + std::to_string(k); });
    pic.KeyDown.Connect([&](std::int16_t k, std::int16_t) { log += " pic " + std::to_string(k); });
    pic.KeyUp.Connect([&](std::int16_t k, std::int16_t) { log += " pic up " + std::to_string(k); });
    Record(form.MouseDown, "window");
    int unloads = 0;
    form.UnloadEvent.Connect([&](std::int16_t&) { ++unloads; });
    screen.KeyDown(82);
    screen.KeyUp(82);
    DoEvents();
    EXPECT_EQ(log, " form 82 pic 82 pic up 82");
    screen.Close();
    screen.MouseDown(500, 500);
    screen.KeyDown(82);
    DoEvents();
    EXPECT_EQ(std::tuple(unloads, log, form.Unloaded(), screen.WindowOpen()),
              std::tuple(1, " form 82 pic 82 pic up 82", true, false));
}

TEST_F(FormsTest, TimerKeepsItsScheduleTicksAtMostOncePerDispatchAndStopsWhenDisabled) {
    OpenWindow();
    Timer& timer = form.AddTimer("Timer1");
    timer.SetInterval(40);
    int a = 0, b = 0;
    timer.Tick.Connect([&] { ++a; });
    timer.Tick.Connect([&] { ++b; });
    timer.SetEnabled(true);
    // Milliseconds passing before each dispatch, and the ticks counted after it. Ticks
    // are due every 40 ms from the start however late a dispatch comes; five intervals
    // late still gives one tick.
    const std::pair<int, int> steps[] = {{39, 0}, {6, 1},  {36, 2}, {200, 3},
                                         {0, 3},  {38, 3}, {1, 4}};
    for (auto [ms, ticks] : steps) {
        screen.Advance(ms);
        DoEvents();
        EXPECT_EQ(a, ticks) << "after " << ms << " ms";
    }
    EXPECT_EQ(b, a);
    timer.SetEnabled(false);
    screen.Advance(400);
    DoEvents();
    EXPECT_EQ(a, 4);
}

// Surfaces lie above the labels and shapes made after them; hidden controls take no mouse;
// a button clicks only when released over itself; a surface in its own scale reports
// positions in it. A press reaches the window's own MouseDown (where a display that moves
// windows itself starts a move) only where no control takes it; shapes take none.
TEST_F(FormsTest, TheMouseReachesTheTopmostVisibleControlOrElseTheWindowsBackground) {
    PictureBox& pic = OpenWindow(); // window pixels (10, 20) to (110, 70)
    form.SetBackColor(RGB(128, 128, 128));
    pic.SetBackColor(RGB(0, 0, 255));
    pic.SetScaleWidth(1000);
    pic.SetScaleHeight(100);
    Place(form.AddShape("Shape1"), 0, 0, 800, 600).SetBorderColor(RGB(255, 0, 0));
    Label& label = Place(form.AddLabel("lbl"), 60, 20, 100, 20); // over the surface's right half
    PictureBox& hidden = Place(form.AddPicture("hidden"), 10, 20, 50, 50);
    hidden.SetVisible(false);
    CommandButton& button = Place(form.AddButton("button"), 400, 10, 6, 8);
    Record(label.MouseDown, "label");
    Record(pic.MouseDown, "pic");
    Record(hidden.MouseDown, "hidden");
    Record(form.MouseDown, "window");
    button.Click.Connect([&] { log += " click"; });
    // Where the press is, on the window, how far the release is from it, what they reach.
    const std::tuple<int, int, int, int, const char*> cases[] = {
        {80, 25, 0, 0, " pic 1 700,10"},
        {140, 25, 0, 0, " label 1 1200,75"},
        {5, 5, 0, 0, " window 1 75,75"},
        {10, 20, 0, 0, " pic 1 0,0"},
        {30, 30, 0, 0, " pic 1 200,20"}, // under the hidden surface
        {109, 69, 0, 0, " pic 1 990,98"},
        {110, 69, 0, 0, " window 1 1650,1035"},
        {799, 599, 0, 0, " window 1 11985,8985"},
        {800, 300, 0, 0, ""},
        {-1, 300, 0, 0, ""},
        {400, 10, 5, 7, " click"},
        {402, 12, 4, 0, ""}, // released just right of the button
        {402, 12, 0, 6, ""}, // just below it
    };
    for (auto [x, y, dx, dy, seen] : cases) {
        log.clear();
        screen.Advance(1000);
        screen.MouseDown(100 + x, 50 + y);
        screen.MouseUp(100 + x + dx, 50 + y + dy);
        DoEvents();
        EXPECT_EQ(log, seen) << x << "," << y;
        EXPECT_EQ(form.BackgroundAt(x, y), log.starts_with(" window")) << x << "," << y;
        EXPECT_FALSE(button.Pressed());
    }

    const Bitmap shot = screen.Screenshot();
    EXPECT_EQ(shot.Get(99, 49), 0u);                     // the desktop
    EXPECT_EQ(shot.Get(100 + 799, 50 + 599), 0xFF0000u); // the shape's border
    EXPECT_EQ(shot.Get(100 + 400, 50 + 300), 0x808080u); // the window
    EXPECT_EQ(shot.Get(100 + 80, 50 + 25), 0x0000FFu);   // the surface over the label
    form.Move(0, 0);                                     // the window moves, and all on it
    EXPECT_EQ(screen.Screenshot().Get(10, 20), 0x0000FFu);
    pic.SetVisible(false); // a hidden surface leaves the background bare
    EXPECT_TRUE(form.BackgroundAt(50, 40));
}

TEST_F(FormsTest, SurfaceLinesWithFarOrNonFiniteEndsDrawOnlyWhatIsOnTheSurface) {
    PictureBox& pic = OpenWindow();
    pic.SetBackColor(0);
    pic.SetForeColor(RGB(255, 255, 255));
    pic.Line(-1e30f, 25, 1e30f, 25);
    pic.Line(0, 0, std::numeric_limits<float>::infinity(), 5);
    pic.Line(std::numeric_limits<float>::quiet_NaN(), 0, 5, 5);
    pic.Line(0, 0, 1e6f, 1e6f); // cut at the right and bottom on its diagonal
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(pic.Image().Get(x, y), y == 25 || x == y ? 0xFFFFFFu : 0u) << x << "," << y;
}

// After every change, what the window shows equals composing it whole: a control moved or
// hidden, captions changed, regions sharing only their columns, a hidden surface over
// another, a region only partly on a surface, more regions than the window lists, and a
// window grown only in height.
TEST_F(FormsTest, EveryChangeShowsAsComposingTheWholeWindowWould) {
    PictureBox& pic = OpenWindow();
    pic.SetBackColor(RGB(0, 0, 255));
    PictureBox& over = Place(form.AddPicture("over"), 30, 30, 40, 20); // hidden later
    over.SetBackColor(RGB(0, 255, 0));
    Label& upper = Place(form.AddLabel("upper"), 300, 300, 100, 20);
    Label& lower = Place(form.AddLabel("lower"), 300, 320, 100, 20);
    Label& beside = Place(form.AddLabel("beside"), 150, 30, 100, 20);
    for (Label* l : {&upper, &lower, &beside})
        l->SetForeColor(RGB(255, 255, 255));
    DoEvents();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"captions", [&] { upper.SetCaption("Wide"), lower.SetCaption("Wide too"); }},
        {"regions sharing their columns",
         [&] {
             pic.Image().FillRect({0, 0, 100, 50}, PixelFromColor(RGB(0, 255, 255)));
             form.Invalidate({10, 20, 110, 50});
             form.Invalidate({10, 40, 110, 70});
         }},
        {"a label moved", [&] { upper.Move(340 * 15, 300 * 15); }},
        {"a surface hidden", [&] { over.SetVisible(false); }},
        {"under a hidden surface",
         [&] {
             pic.Image().FillRect({25, 12, 50, 25}, PixelFromColor(RGB(255, 0, 0)));
             form.Invalidate({35, 32, 60, 45}); // inside the hidden surface's box
         }},
        {"a region only partly on a surface",
         [&] {
             form.Invalidate({0, 20, 300, 70});
             beside.SetCaption("Beside"); // its own region lies in the one above
         }},
        {"more regions than the list holds",
         [&] {
             pic.Image().FillRect({0, 0, 100, 50}, PixelFromColor(RGB(255, 255, 0)));
             for (int i = 0; i < 600; ++i)
                 form.Invalidate({10 + i % 100, 20 + i / 100 * 9, 11 + i % 100, 29 + i / 100 * 9});
         }},
        {"the window taller", [&] { form.Move(100 * 15, 50 * 15, 800 * 15, 620 * 15); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        DoEvents();
        const Bitmap shown = form.Image();
        form.InvalidateAll();
        const Bitmap& whole = form.Image();
        ASSERT_EQ(std::pair(shown.Width(), shown.Height()),
                  std::pair(form.PixelRect().Width(), form.PixelRect().Height()))
            << what;
        for (int i = 0; i < whole.Width() * whole.Height(); ++i)
            ASSERT_EQ(shown.Data()[i], whole.Data()[i]) << what << " at pixel " << i;
        DoEvents();
    }
}

// A caption that fits its label exactly keeps the label's font; one pixel less and it
// shrinks. Lines are placed at the left, the right, or the middle (the odd pixel right).
TEST_F(FormsTest, LabelsKeepTheirFontWhenTheTextFitsAndPlaceEachLine) {
    Label& label = form.AddLabel("label");
    label.SetCaption("Panel");
    label.SetForeColor(RGB(255, 255, 255));
    const Font& font = label.GetFont();
    const int text = font.MeasureWidth("Panel");
    for (int width : {text, text - 1}) {
        label.Move(0, 0, static_cast<float>(width * 15), 300);
        EXPECT_EQ(&label.FittedFont() == &font, width == text) << width;
    }
    for (auto [alignment, offset] :
         {std::pair{Alignment::Left, 0}, {Alignment::Right, 3}, {Alignment::Center, 1}}) {
        label.Move(0, 0, static_cast<float>((text + 3) * 15), 300);
        label.SetAlignment(alignment);
        Bitmap painted(text + 3, 20), expected(text + 3, 20);
        label.Paint(painted, painted.Bounds());
        font.DrawLine(expected, "Panel", offset, 0, 0xFFFFFF, expected.Bounds());
        for (int i = 0; i < (text + 3) * 20; ++i)
            ASSERT_EQ(painted.Data()[i], expected.Data()[i]) << "placed " << offset << ": " << i;
    }
}

} // namespace
} // namespace oz
