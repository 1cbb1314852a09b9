// The main window as a user meets it: start-up, the two display modes, dragging, closing.

#include "tests/ui/ProgramHarness.h"
#include "ui/ScreenSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace oz {
namespace {

using test::Box;
using test::ProgramHarness;
using Rect = std::array<int, 4>;

// The view's size and the rate figure's place follow the window in both modes; leaving
// full screen hides the help and the read-outs, ends the intro hint and lets go of keys.
TEST(Form1, StartsFullScreenAndADoubleClickSwitchesToTheCentredWindowAndBack) {
    ProgramHarness h(1280, 1024);
    int stage = 0;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 1) {
                EXPECT_EQ(p.FullScreen, -1);
                EXPECT_EQ(Box(p.Window().PixelRect()), (Rect{0, 0, 1280, 1024}));
                EXPECT_EQ(Box(p.picMain.PixelRect()), (Rect{0, 0, 1280, 1024}));
                EXPECT_TRUE(p.ViewWidth == 1280 && p.HalfHeight == 512);
                EXPECT_TRUE(ScreenWidthPx == 1280 && ScreenHeightPx == 1024);
                EXPECT_TRUE(p.Speed == 0.5f && p.StarCount == 1500);
                p.HelpShown = -1;
                p.SpeedInfoTime = 60;
                p.HeldKeys.Slower = 1;
                h.screen.DoubleClick(500, 400);
            } else if (frame == 2) {
                stage = 1;
                EXPECT_EQ(p.FullScreen, 0);
                EXPECT_EQ(Box(p.Window().PixelRect()), (Rect{240, 212, 800, 600}));
                EXPECT_EQ(Box(p.picMain.PixelRect()), (Rect{8, 8, 785, 499}));
                EXPECT_TRUE(p.ViewWidth == 785 && p.ViewHeight == 499);
                EXPECT_TRUE(p.HalfWidth == 392 && p.HalfHeight == 249);
                EXPECT_EQ(
                    Box(IntRect{p.FpsRect.left, p.FpsRect.top, p.FpsRect.right, p.FpsRect.bottom}),
                    (Rect{745, 5, 40, 30}));
                EXPECT_TRUE(p.HelpShown == 0 && p.SpeedInfoTime == 0.0f && p.IntroTime == 0.0f &&
                            p.HeldKeys.Slower == 0);
                h.screen.DoubleClick(240 + 400, 212 + 200);
            } else if (frame == 3) {
                stage = 2;
                EXPECT_EQ(p.FullScreen, -1);
                EXPECT_EQ(Box(p.Window().PixelRect()), (Rect{0, 0, 1280, 1024}));
                EXPECT_TRUE(p.ViewWidth == 1280 && p.HalfWidth == 640);
                EXPECT_EQ(p.FpsRect.left, 1240);
            }
        },
        3);
    EXPECT_EQ(stage, 2);
}

TEST(Form1, ClosedWhileStartingItEndsWithoutFlying) {
    ProgramHarness h;
    Form1 program;
    int frames = 0;
    h.screen.OnDispatch = [&](int frame) {
        if (frame == 0)
            h.screen.Close();
        else if (++frames == 3)
            program.QuitRequested = kTrue; // flying on in a closed window: stop the test
    };
    program.Run();
    h.screen.OnDispatch = nullptr;
    EXPECT_EQ(frames, 0);
    EXPECT_FALSE(h.screen.WindowOpen());
}

// Esc in window mode ends the program after the frame in whose dispatch it came, and every
// pen and brush is gone afterwards, also the read-out's.
TEST(Form1, StartsWithTheSettingsOfTheCommandLineAndEscEndsItLeavingNoPenOrBrush) {
    StartSettings panel;
    panel.SpeedLabel = 20.0f;
    panel.Stars = 700;
    panel.Brightness = 2.3f;
    panel.ShowFps = true;
    const int before = LiveGdiObjectCount();
    int lastFrame = 0;
    {
        ProgramHarness h;
        h.Run(
            [&](int frame, Form1& p) {
                lastFrame = frame;
                if (frame == 1) {
                    EXPECT_TRUE(p.Speed == 2.0f && p.StarCount == 700 && p.Brightness == 2.3f);
                    EXPECT_TRUE(p.ShowFps == -1 && p.IntroTime > 0.0f);
                    p.SpeedInfoTime = 60; // the read-out selects its own pen and brush
                    p.ViewInfoTime = 60;
                } else if (frame == 2) {
                    h.screen.DoubleClick(500, 400);
                } else if (frame == 3) {
                    // The panel shows them: the speed snapped to its slider.
                    EXPECT_EQ(p.lblSpeed.Caption(), "20.0");
                    EXPECT_TRUE(p.lblStars.Caption() == "700" && p.StarsBar->Value() == 700);
                    EXPECT_TRUE(p.lblBright.Caption() == "2.3" && p.BrightBar->Value() == 23);
                    h.screen.KeyDown(27);
                }
            },
            10, panel);
        EXPECT_FALSE(h.screen.WindowOpen());
    }
    EXPECT_EQ(lastFrame, 3);
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST(Form1, AsAScreensaverItFliesAloneFullScreen) {
    StartSettings saver;
    saver.Screensaver = true;
    saver.Autopilot = true;
    ProgramHarness h;
    float slowest = 5, fastest = 0;
    h.Run(
        [&](int frame, Form1& p) {
            EXPECT_TRUE(p.IntroTime == 0.0f && p.FullScreen == -1);
            if (frame == 10)
                h.screen.ResizeScreen(1024, 700); // the window it draws into, lower
            if (frame == 11) {
                EXPECT_EQ(Box(p.Window().PixelRect()), (Rect{0, 0, 1024, 700}));
            }
            slowest = std::min(slowest, p.Speed);
            fastest = std::max(fastest, p.Speed);
        },
        64 * 20, saver);
    EXPECT_LT(slowest, 0.45f);
    EXPECT_GT(fastest, 0.55f);
}

// A screensaver draws no more frames than the display shows (60 a second when the display
// does not say, or says something unlikely); --max-fps beats that; a window of our own has
// no cap unless asked, and keeps its 10 ms sleep: 100 frames a virtual second.
TEST(Form1, AsAScreensaverItDrawsAtTheDisplaysRefreshRateUnlessToldOtherwise) {
    const struct {
        bool screensaver;
        int refresh;
        std::optional<int> maxFps;
        int framesInASecond;
    } cases[] = {{true, 75, {}, 75}, {true, 0, {}, 60},    {true, 2000, {}, 60},
                 {true, 75, 20, 20}, {false, 75, {}, 100}, {false, 0, 144, 144}};
    for (const auto& c : cases) {
        StartSettings settings;
        settings.Screensaver = settings.Autopilot = c.screensaver;
        settings.MaxFps = c.maxFps;
        ProgramHarness h;
        h.screen.SetFramePeriod(0); // frames last what the loop sleeps
        h.screen.SetRefreshRate(c.refresh);
        int frames = 0;
        h.Run(
            [&](int, Form1&) {
                const std::uint32_t now = h.screen.TickCount();
                frames += now >= 1000 && now < 2000 ? 1 : 0;
                if (now >= 2000)
                    h.screen.Close();
            },
            100000, settings);
        EXPECT_EQ(frames, c.framesInASecond) << c.refresh << " " << c.maxFps.value_or(0);
    }
}

} // namespace
} // namespace oz
