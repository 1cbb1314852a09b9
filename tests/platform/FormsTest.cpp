// The forms runtime on the headless display: routing of input, capture, double clicks,
// key preview, timers, stacking and composition.

#include "platform/Form.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oz {
namespace {

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { SetBackend(&screen); }
    void TearDown() override { SetBackend(nullptr); }

    // An 800 x 600 window at (100, 50) with one 100 x 50 surface at (10, 20).
    PictureBox& OpenWindow() {
        form.Move(100 * 15, 50 * 15, 800 * 15, 600 * 15);
        PictureBox& pic = form.AddPicture("pic");
        pic.Move(10 * 15, 20 * 15, 100 * 15, 50 * 15);
        pic.SetScaleMode(vbPixels);
        form.Show();
        return pic;
    }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    std::vector<std::string> log;
};

std::string Describe(const char* what, std::int16_t b, float x, float y) {
    return std::string(what) + " " + std::to_string(b) + " " + std::to_string(int(x)) + "," +
           std::to_string(int(y));
}

TEST_F(FormsTest, SurfaceReportsMouseInItsOwnPixelsAndKeepsCaptureOutside) {
    PictureBox& pic = OpenWindow();
    pic.MouseDown.Connect([&](std::int16_t b, std::int16_t, float x, float y) {
        log.push_back(Describe("down", b, x, y));
    });
    pic.MouseMove.Connect([&](std::int16_t b, std::int16_t, float x, float y) {
        log.push_back(Describe("move", b, x, y));
    });
    pic.MouseUp.Connect([&](std::int16_t b, std::int16_t, float x, float y) {
        log.push_back(Describe("up", b, x, y));
    });
    form.MouseMove.Connect(
        [&](std::int16_t, std::int16_t, float, float) { log.push_back("form"); });

    screen.MouseDown(115, 75);     // (5, 5) on the surface
    screen.MouseMove(400, 300, 1); // far outside it: still the surface's
    screen.MouseUp(-20, 900);      // off the window: still the surface's
    screen.MouseMove(400, 300);    // no button: the window's background
    DoEvents();

    std::vector<std::string> expected = {"down 1 5,5", "move 1 290,230", "up 1 -130,830", "form"};
    EXPECT_EQ(log, expected);
}

TEST_F(FormsTest, NegativeScaleFlipsTheAxesOfMouseEvents) {
    PictureBox& pic = OpenWindow();
    pic.Move(10 * 15, 20 * 15, 73 * 15, 73 * 15);
    pic.SetScaleLeft(36);
    pic.SetScaleTop(36);
    pic.SetScaleHeight(-73);
    pic.SetScaleWidth(-73);
    float gotX = 0, gotY = 0;
    pic.MouseDown.Connect([&](std::int16_t, std::int16_t, float x, float y) {
        gotX = x;
        gotY = y;
    });
    screen.MouseDown(110 + 46, 70 + 6); // 10 right of centre, 30 above it
    DoEvents();
    EXPECT_FLOAT_EQ(gotX, -10);
    EXPECT_FLOAT_EQ(gotY, 30);
}

TEST_F(FormsTest, DoubleClickArrivesAsPressReleaseDblClickRelease) {
    PictureBox& pic = OpenWindow();
    pic.MouseDown.Connect([&](std::int16_t, std::int16_t, float, float) { log.push_back("down"); });
    pic.MouseUp.Connect([&](std::int16_t, std::int16_t, float, float) { log.push_back("up"); });
    pic.DblClick.Connect([&] { log.push_back("dbl"); });
    screen.DoubleClick(120, 80);
    DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"down", "up", "dbl", "up"}));
}

TEST_F(FormsTest, WindowSeesKeysBeforeTheFocusedSurface) {
    PictureBox& pic = OpenWindow();
    form.SetKeyPreview(true);
    form.SetFocus(&pic);
    form.KeyDown.Connect(
        [&](std::int16_t k, std::int16_t) { log.push_back("form " + std::to_string(k)); });
    pic.KeyDown.Connect(
        [&](std::int16_t k, std::int16_t) { log.push_back("pic " + std::to_string(k)); });
    pic.KeyUp.Connect(
        [&](std::int16_t k, std::int16_t) { log.push_back("pic up " + std::to_string(k)); });
    screen.KeyDown(82);
    screen.KeyUp(82);
    DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"form 82", "pic 82", "pic up 82"}));
}

TEST_F(FormsTest, BackgroundEventsComeInTwipsAndLabelsTakeTheirOwn) {
    OpenWindow();
    Label& label = form.AddLabel("lbl");
    label.Move(300 * 15, 300 * 15, 50 * 15, 20 * 15);
    form.MouseDown.Connect([&](std::int16_t b, std::int16_t, float x, float y) {
        log.push_back(Describe("form", b, x, y));
    });
    label.MouseDown.Connect(
        [&](std::int16_t, std::int16_t, float, float) { log.push_back("label"); });
    screen.MouseDown(100 + 500, 50 + 10, 2);
    screen.MouseUp(100 + 500, 50 + 10, 2);
    screen.MouseDown(100 + 310, 50 + 305);
    screen.MouseUp(100 + 310, 50 + 305);
    DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"form 2 7500,150", "label"}));
}

TEST_F(FormsTest, ButtonClicksOnlyWhenReleasedOverIt) {
    OpenWindow();
    CommandButton& button = form.AddButton("Command1");
    button.Move(793 * 15, 15, 6 * 15, 8 * 15);
    int clicks = 0;
    button.Click.Connect([&] { ++clicks; });
    screen.Click(100 + 795, 50 + 3);
    screen.MouseDown(100 + 795, 50 + 3);
    screen.MouseUp(100 + 700, 50 + 300); // dragged off before release
    DoEvents();
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormsTest, TimerTicksAtMostOncePerDispatchWhenDueAndStopsWhenDisabled) {
    OpenWindow();
    Timer& timer = form.AddTimer("Timer1");
    timer.SetInterval(40);
    int a = 0, b = 0;
    timer.Tick.Connect([&] { ++a; });
    timer.Tick.Connect([&] { ++b; });
    timer.SetEnabled(true);
    screen.Advance(39);
    DoEvents();
    EXPECT_EQ(a, 0);
    screen.Advance(200); // five intervals late: still one tick
    DoEvents();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    screen.Advance(40);
    DoEvents();
    EXPECT_EQ(a, 2);
    timer.SetEnabled(false);
    screen.Advance(400);
    DoEvents();
    EXPECT_EQ(a, 2);
}

TEST_F(FormsTest, SurfacesLieAboveLabelsAndTheScreenshotPlacesTheWindow) {
    PictureBox& pic = OpenWindow();
    form.SetBackColor(RGB(128, 128, 128));
    pic.SetBackColor(RGB(0, 0, 255));
    Shape& shape = form.AddShape("Shape1"); // made later, still beneath the surface
    shape.Move(0, 0, 800 * 15, 600 * 15);
    shape.SetBorderColor(RGB(255, 0, 0));
    Bitmap shot = screen.Screenshot();
    EXPECT_EQ(shot.Get(99, 49), PixelFromColor(0));               // the desktop
    EXPECT_EQ(shot.Get(100, 50), PixelFromColor(RGB(255, 0, 0))); // the border
    EXPECT_EQ(shot.Get(100 + 799, 50 + 599), PixelFromColor(RGB(255, 0, 0)));
    EXPECT_EQ(shot.Get(100 + 400, 50 + 300), PixelFromColor(RGB(128, 128, 128)));
    EXPECT_EQ(shot.Get(110, 70), PixelFromColor(RGB(0, 0, 255))); // the surface
    form.Move(0, 0); // the window moves, the surface with it
    shot = screen.Screenshot();
    EXPECT_EQ(shot.Get(10, 20), PixelFromColor(RGB(0, 0, 255)));
}

TEST_F(FormsTest, RefreshPresentsWhatWasDrawnAndSurfaceLinesShowAtTheNextDispatch) {
    PictureBox& pic = OpenWindow();
    pic.SetBackColor(0);
    int before = screen.PresentCount();
    pic.Image().Set(3, 3, 0xFFFFFF);
    pic.Refresh();
    EXPECT_EQ(screen.PresentCount(), before + 1);
    EXPECT_EQ(screen.Screenshot().Get(113, 73), 0xFFFFFFu);

    pic.SetForeColor(RGB(0, 255, 0));
    pic.Line(0, 10, 50, 10);
    DoEvents();
    EXPECT_EQ(screen.Screenshot().Get(110 + 20, 70 + 10), PixelFromColor(RGB(0, 255, 0)));
}

TEST_F(FormsTest, SurfaceLinesWithFarOrNonFiniteEndsDrawOnlyWhatIsOnTheSurface) {
    PictureBox& pic = OpenWindow();
    pic.SetBackColor(0);
    pic.SetForeColor(RGB(255, 255, 255));
    pic.Line(-1e30f, 25, 1e30f, 25);
    pic.Line(0, 0, std::numeric_limits<float>::infinity(), 5);
    pic.Line(std::numeric_limits<float>::quiet_NaN(), 0, 5, 5);
    int lit = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            lit += pic.Image().Get(x, y) != 0;
    EXPECT_EQ(lit, 100);
    EXPECT_EQ(pic.Image().Get(0, 25), 0xFFFFFFu);
    EXPECT_EQ(pic.Image().Get(99, 25), 0xFFFFFFu);
}

TEST_F(FormsTest, UnloadRaisesTheHandlerAndAClosedWindowTakesNoMoreInput) {
    OpenWindow();
    int unloads = 0, presses = 0;
    form.UnloadEvent.Connect([&](std::int16_t&) { ++unloads; });
    form.MouseDown.Connect([&](std::int16_t, std::int16_t, float, float) { ++presses; });
    screen.Close();
    screen.MouseDown(500, 500);
    DoEvents();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(presses, 0);
    EXPECT_TRUE(form.Unloaded());
    EXPECT_FALSE(screen.WindowOpen());
}

TEST_F(FormsTest, PacedClockGivesEveryFrameOnePeriod) {
    screen.SetFramePeriod(1000.0 / 64);
    EXPECT_EQ(GetTickCount(), 0u);
    for (int i = 0; i < 16; ++i) {
        screen.FrameStarted();
        Sleep(10); // sleeping does not move a paced clock
    }
    EXPECT_EQ(GetTickCount(), 250u);
}

} // namespace
} // namespace oz
