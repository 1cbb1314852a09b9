// The main window as a user meets it: start-up, the two display modes, dragging, closing.

#include "tests/ui/ProgramHarness.h"
#include "ui/ScreenSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

namespace oz {
namespace {

using test::ProgramHarness;

// The display mode and where things lie: the window's box, the view's, the rate figure's,
// and the view's size and half size.
std::vector<int> Layout(Form1& p) {
    std::vector<int> all = {p.FullScreen};
    const RECT& fps = p.FpsRect;
    for (const IntRect& r : {p.Window().PixelRect(), p.picMain.PixelRect(),
                             IntRect{fps.left, fps.top, fps.right, fps.bottom}})
        all.insert(all.end(), {r.left, r.top, r.Width(), r.Height()});
    all.insert(all.end(), {p.ViewWidth, p.ViewHeight, p.HalfWidth, p.HalfHeight});
    return all;
}

// The view's size and the rate figure's place follow the window in both modes; leaving
// full screen hides the help and the read-outs, ends the intro hint and lets go of keys.
TEST(Form1, StartsFullScreenAndADoubleClickSwitchesToTheCentredWindowAndBack) {
    const std::vector<int> fullScreen = {-1,   0, 0,  1280, 1024, 0,    0,   1280, 1024,
                                         1240, 5, 40, 30,   1280, 1024, 640, 512};
    const std::vector<int> window = {0,   240, 212, 800, 600, 8,   8,   785, 499,
                                     745, 5,   40,  30,  785, 499, 392, 249};
    ProgramHarness h(1280, 1024);
    std::vector<std::vector<int>> layouts;
    h.Run(
        [&](int frame, Form1& p) {
            layouts.push_back(Layout(p));
            if (frame == 1) {
                EXPECT_TRUE(ScreenWidthPx == 1280 && ScreenHeightPx == 1024);
                EXPECT_TRUE(p.Speed == 0.5f && p.StarCount == 1500);
                p.HelpShown = -1;
                p.SpeedInfoTime = 60;
                p.HeldKeys.Slower = 1;
                h.screen.DoubleClick(500, 400);
            } else if (frame == 2) {
                EXPECT_TRUE(p.HelpShown == 0 && p.SpeedInfoTime == 0.0f && p.IntroTime == 0.0f &&
                            p.HeldKeys.Slower == 0);
                h.screen.DoubleClick(240 + 400, 212 + 200);
            }
        },
        3);
    EXPECT_EQ(layouts, (std::vector<std::vector<int>>{fullScreen, window, fullScreen}));
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
                EXPECT_EQ(p.Window().PixelRect(), (IntRect{0, 0, 1024, 700}));
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
    const std::tuple<bool, int, std::optional<int>, int> cases[] = {
        {true, 75, {}, 75}, {true, 0, {}, 60},    {true, 2000, {}, 60},
        {true, 75, 20, 20}, {false, 75, {}, 100}, {false, 0, 144, 144}};
    for (auto [screensaver, refresh, maxFps, framesInASecond] : cases) {
        StartSettings settings;
        settings.Screensaver = settings.Autopilot = screensaver;
        settings.MaxFps = maxFps;
        ProgramHarness h;
        h.screen.SetFramePeriod(0); // frames last what the loop sleeps
        h.screen.SetRefreshRate(refresh);
        int frames = 0;
        h.Run(
            [&](int, Form1&) {
                const std::uint32_t now = h.screen.TickCount();
                frames += now >= 1000 && now < 2000 ? 1 : 0;
                if (now >= 2000)
                    h.screen.Close();
            },
            100000, settings);
        EXPECT_EQ(frames, framesInASecond) << refresh << " " << maxFps.value_or(0);
    }
}

} // namespace
} // namespace oz
