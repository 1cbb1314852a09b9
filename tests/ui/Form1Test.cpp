// The main window as a user meets it: start-up, the two display modes, dragging, closing.

#include "tests/ui/ProgramHarness.h"
#include "ui/ScreenSize.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace oz {
namespace {

using test::ProgramHarness;

TEST(Form1, StartsFullScreenWithTheViewCoveringTheWindow) {
    ProgramHarness h(1280, 1024);
    bool checked = false;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame != 1)
                return;
            checked = true;
            EXPECT_EQ(p.FullScreen, -1);
            IntRect w = p.Window().PixelRect();
            EXPECT_EQ(w.left, 0);
            EXPECT_EQ(w.top, 0);
            EXPECT_EQ(w.Width(), 1280);
            EXPECT_EQ(w.Height(), 1024);
            EXPECT_EQ(p.picMain.PixelRect().Width(), 1280);
            EXPECT_EQ(p.ViewWidth, 1280);
            EXPECT_EQ(p.HalfHeight, 512);
            EXPECT_EQ(ScreenWidthPx, 1280);
            EXPECT_EQ(ScreenHeightPx, 1024);
            EXPECT_EQ(p.Speed, 0.5f);
            EXPECT_EQ(p.StarCount, 1500);
        },
        1);
    EXPECT_TRUE(checked);
}

TEST(Form1, DoubleClickSwitchesToTheCentredWindowAndBack) {
    ProgramHarness h;
    int stage = 0;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2) {
                p.HelpShown = -1;
                p.SpeedInfoTime = 60;
                h.screen.DoubleClick(500, 400);
            } else if (frame == 3) {
                stage = 1;
                EXPECT_EQ(p.FullScreen, 0);
                IntRect w = p.Window().PixelRect();
                EXPECT_EQ(w.left, 112);
                EXPECT_EQ(w.top, 84);
                EXPECT_EQ(w.Width(), 800);
                EXPECT_EQ(w.Height(), 600);
                IntRect v = p.picMain.PixelRect();
                EXPECT_EQ(v.left, 8);
                EXPECT_EQ(v.top, 8);
                EXPECT_EQ(v.Width(), 785);
                EXPECT_EQ(v.Height(), 499);
                EXPECT_EQ(p.ViewWidth, 785);
                EXPECT_EQ(p.ViewHeight, 499);
                EXPECT_EQ(p.HalfWidth, 392);
                EXPECT_EQ(p.HalfHeight, 249);
                EXPECT_EQ(p.FpsRect.left, 745);
                EXPECT_EQ(p.FpsRect.top, 5);
                EXPECT_EQ(p.FpsRect.right, 785);
                EXPECT_EQ(p.FpsRect.bottom, 35);
                EXPECT_EQ(p.HelpShown, 0);
                EXPECT_EQ(p.SpeedInfoTime, 0.0f);
                EXPECT_EQ(p.IntroTime, 0.0f);
                // The panel shows where the view does not: the border at the window's edge.
                Bitmap shot = h.screen.Screenshot();
                EXPECT_EQ(shot.Get(112, 84), PixelFromColor(RGB(214, 203, 163)));
                EXPECT_EQ(shot.Get(112 + 400, 84 + 560), PixelFromColor(RGB(128, 128, 128)));
                EXPECT_EQ(shot.Get(50, 50), 0u); // the desktop around the window
                h.screen.DoubleClick(112 + 400, 84 + 200);
            } else if (frame == 4) {
                stage = 2;
                EXPECT_EQ(p.FullScreen, -1);
                EXPECT_EQ(p.Window().PixelRect().Width(), 1024);
                EXPECT_EQ(p.ViewWidth, 1024);
                EXPECT_EQ(p.HalfWidth, 512);
                EXPECT_EQ(p.FpsRect.left, 984);
            }
        },
        5);
    EXPECT_EQ(stage, 2);
}

// The close button and Esc in window mode both end the program after the frame in whose
// dispatch they came, and every pen and brush is gone afterwards, also the read-out's.
TEST(Form1, CloseButtonAndEscEndTheProgramAfterTheFrameLeavingNoPenOrBrush) {
    for (bool useEsc : {false, true}) {
        const int before = LiveGdiObjectCount();
        int lastFrame = 0;
        {
            ProgramHarness h;
            h.Run([&](int frame, Form1& p) {
                lastFrame = frame;
                if (frame == 2) {
                    p.SpeedInfoTime = 60; // the read-out selects its own pen and brush
                    p.ViewInfoTime = 60;
                }
                if (frame == 3)
                    h.screen.DoubleClick(500, 400);
                if (frame == 4 && useEsc)
                    h.screen.KeyDown(27);
                if (frame == 4 && !useEsc)
                    h.screen.Click(112 + 795, 84 + 4); // Command1 at (793, 1), 6 x 8
            });
            EXPECT_FALSE(h.screen.WindowOpen());
        }
        EXPECT_EQ(lastFrame, 4) << (useEsc ? "Esc" : "close button");
        EXPECT_EQ(LiveGdiObjectCount(), before) << (useEsc ? "Esc" : "close button");
    }
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

TEST(Form1, StartsWithTheSettingsOfTheCommandLine) {
    StartSettings panel;
    panel.SpeedLabel = 20.0f;
    panel.Stars = 700;
    panel.Brightness = 2.3f;
    panel.ShowFps = true;
    ProgramHarness h;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 1) {
                EXPECT_EQ(p.Speed, 2.0f);
                EXPECT_EQ(p.StarCount, 700);
                EXPECT_EQ(p.Brightness, 2.3f);
                EXPECT_EQ(p.ShowFps, -1);
                EXPECT_GT(p.IntroTime, 0.0f);
                h.screen.DoubleClick(500, 400);
            } else if (frame == 2) {
                // The panel shows them: the speed snapped to its slider.
                EXPECT_EQ(p.lblSpeed.Caption(), "20.0");
                EXPECT_EQ(p.lblStars.Caption(), "700");
                EXPECT_EQ(p.StarsBar->Value(), 700);
                EXPECT_EQ(p.lblBright.Caption(), "2.3");
                EXPECT_EQ(p.BrightBar->Value(), 23);
                EXPECT_EQ(p.ShowFps, -1);
            }
        },
        2, panel);
}

TEST(Form1, AsAScreensaverItFliesAloneFullScreenAndFollowsTheScreensSize) {
    StartSettings saver;
    saver.Screensaver = true;
    saver.Autopilot = true;
    ProgramHarness h(640, 480);
    float slowest = 5, fastest = 0;
    h.Run(
        [&](int frame, Form1& p) {
            EXPECT_EQ(p.IntroTime, 0.0f);
            EXPECT_EQ(p.FullScreen, -1);
            slowest = std::min(slowest, p.Speed);
            fastest = std::max(fastest, p.Speed);
            if (frame == 100)
                h.screen.ResizeScreen(300, 200);
            if (frame == 101) {
                EXPECT_EQ(p.Window().PixelRect().Width(), 300);
                EXPECT_EQ(p.picMain.PixelRect().Height(), 200);
                EXPECT_EQ(p.ViewWidth, 300);
                EXPECT_EQ(p.HalfHeight, 100);
                EXPECT_EQ(p.FpsRect.left, 260);
            }
        },
        64 * 20, saver);
    EXPECT_LT(slowest, 0.45f);
    EXPECT_GT(fastest, 0.55f);
}

} // namespace
} // namespace oz
