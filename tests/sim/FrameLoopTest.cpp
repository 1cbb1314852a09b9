// The frame loop on the headless display: what one frame draws, the frame-rate
// measurement, the overlays and their timers, the steering hooks and the way out.

#include "sim/FrameLoop.h"
#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "sim/KeyboardControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace oz {
namespace {

constexpr std::int16_t kKeyR = 82, kKeyD = 68, kKeyP = 80, kKeyF1 = 112, kKeyEsc = 27;

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        // An 800 x 600 window, all view, like full-screen mode on a small screen.
        form.Move(0, 0, 800 * 15, 600 * 15);
        form.SetKeyPreview(true);
        picMain.Move(0, 0, 800 * 15, 600 * 15);
        picMain.SetScaleMode(vbPixels);
        picMain.SetBackColor(RGB(0, 0, 0));
        picImages.SetVisible(false);
        Label1.SetVisible(false);
        Label1.SetCaption(HelpText());
        form.SetFocus(&picMain);
        form.Show();

        picMain.KeyDown.Connect(
            [this](std::int16_t code, std::int16_t shift) { keys.picMain_KeyDown(code, shift); });
        picMain.KeyUp.Connect(
            [this](std::int16_t code, std::int16_t shift) { keys.picMain_KeyUp(code, shift); });
        form.KeyDown.Connect(
            [this](std::int16_t code, std::int16_t shift) { keys.Form_KeyDown(code, shift); });
        keys.Unload = [this] { form.Unload(); };
        form.UnloadEvent.Connect([this](std::int16_t&) { flight.QuitRequested = kTrue; });

        flight.FullScreen = kTrue;
        flight.Speed = 0.0f;
        for (StarRecord& s : stars.Stars)
            s = StarRecord{}; // inactive, at the centre of the ball: never drawn
        gdiObjectsBefore = LiveGdiObjectCount();
        palette.CreateStarPalette(picMain.hDC());
    }
    void TearDown() override { SetBackend(nullptr); }

    // Runs the loop for the given number of frames, calling `during` in each frame's
    // event dispatch.
    void RunFrames(int frames, std::function<void(int frame)> during = {}) {
        screen.OnDispatch = [=, this](int frame) {
            if (during)
                during(frame);
            if (frame >= frames)
                flight.QuitRequested = kTrue;
        };
        loop.RunFrameLoop(screen.ScreenWidthPx(), screen.ScreenHeightPx());
    }

    COLORREF At(int x, int y) const { return ColorFromPixel(picMain.Image().Get(x, y)); }
    // The brightest red found in a rectangle of the view.
    int BrightestRed(const RECT& r) const {
        int best = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                best = std::max(best, GetRValue(At(x, y)));
        return best;
    }
    bool AllBlackOutside(const RECT& r) const {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) && At(x, y) != 0)
                    return false;
        return true;
    }

    HeadlessBackend screen{800, 600};
    Form form{"Ozmir Simulator"};
    PictureBox& picMain = form.AddPicture("picMain");
    PictureBox& picImages = form.AddPicture("picImages");
    Label& Label1 = form.AddLabel("Label1");
    FlightState flight;
    StarField stars;
    StarPalette palette;
    KeyboardControls keys{flight, stars};
    FrameLoop loop{picMain, Label1, picImages, flight, stars, palette};
    int gdiObjectsBefore = 0;
};

const RECT kHintRect{5, 5, 400, 40};

TEST_F(FrameLoopTest, DrawsNearStarsAsDiscsAndFarOnesAsFadedPixels) {
    stars.Stars[0] = StarRecord{10, 5, 50, 1, 0};
    stars.Stars[1] = StarRecord{-30, 20, 100, 1, 0};
    stars.Stars[2] = StarRecord{0, 0, 20, 1, 3}; // size 3.75: a tinted disc 3 across
    RunFrames(1);

    const COLORREF white = RGB(255, 255, 255);
    // Ellipse(479, 259, 481, 261): the 2 x 2 block at (479, 259).
    for (int y = 258; y <= 261; ++y)
        for (int x = 478; x <= 481; ++x) {
            const bool inside = x >= 479 && x <= 480 && y >= 259 && y <= 260;
            EXPECT_EQ(At(x, y), inside ? white : 0u) << x << "," << y;
        }

    const float s = 1.5f * 50.0f / std::sqrt(11300.0f);
    EXPECT_EQ(At(280, 220), MultiplyColor(white, s * s));
    EXPECT_NEAR(GetRValue(At(280, 220)), 127, 2); // about half its colour
    for (const auto& [x, y] : {std::pair{279, 220}, {281, 220}, {280, 219}, {280, 221}})
        EXPECT_EQ(At(x, y), 0u) << x << "," << y;

    const COLORREF tint = RGB(217, 241, 255);
    EXPECT_EQ(At(400, 300), tint); // Ellipse(399, 299, 402, 302)
    EXPECT_EQ(At(398, 300), 0u);
    EXPECT_EQ(At(402, 300), 0u);
}

TEST_F(FrameLoopTest, ClearsEveryFrameAndFollowsTheViewSizeFromTheNextFrameOn) {
    stars.Stars[0] = StarRecord{0, 0, 50, 1, 0};
    COLORREF oldCentre = 0;
    RunFrames(2, [&](int frame) {
        if (frame == 1) { // what the display switch does to a smaller view
            oldCentre = At(400, 300);
            picMain.Move(0, 0, 400 * 15, 300 * 15);
            flight.ViewWidth = 400;
            flight.ViewHeight = 300;
            flight.HalfWidth = 200;
            flight.HalfHeight = 150;
        }
    });
    EXPECT_NE(oldCentre, 0u);
    EXPECT_NE(At(200, 150), 0u); // drawn at the new centre
    EXPECT_EQ(At(399, 299), 0u); // the old one cleared
}

TEST_F(FrameLoopTest, StartsEveryRunStraightAheadWithTheOverlaysOff) {
    SetLookAngles(flight, 1.0f, 0.5f);
    flight.ShowFps = kTrue;
    flight.TimeScale = 5.0f;
    flight.SpeedInfoTime = 30.0f;
    flight.QuitRequested = kTrue; // left over: the loop still runs
    stars.Stars[0] = StarRecord{0, 0, 50, 1, 0};
    int speedReadOuts = 0;
    loop.DisplaySpeed = [&](HDC, float) { ++speedReadOuts; };
    RunFrames(1);

    EXPECT_EQ(screen.Frame(), 1);
    EXPECT_NE(At(400, 300), 0u);
    EXPECT_EQ(flight.LookAngleH, 0.0f);
    EXPECT_EQ(flight.SinLookH, 0.0f);
    EXPECT_EQ(flight.CosLookV, 1.0f);
    EXPECT_EQ(flight.TimeScale, 1.0f);
    EXPECT_EQ(flight.ShowFps, kFalse);
    EXPECT_EQ(speedReadOuts, 0);
    EXPECT_EQ(flight.ViewWidth, 800);
    EXPECT_EQ(flight.HalfHeight, 300);
    EXPECT_EQ(flight.FpsRect.left, 760);
    EXPECT_EQ(flight.FpsRect.top, 5);
    EXPECT_EQ(flight.FpsRect.right, 800);
    EXPECT_EQ(flight.FpsRect.bottom, 35);
}

TEST_F(FrameLoopTest, MeasuresTheRateOverQuarterSecondsAndScalesTimeToIt) {
    struct Case {
        double periodMs;
        int measuredAt;
        float timeScale;
    };
    const Case cases[] = {{15.625, 16, 1.0f}, {31.25, 8, 2.0f}, {300, 1, 16.0f}};
    for (const Case& c : cases) {
        HeadlessBackend clock{800, 600};
        SetBackend(&clock);
        clock.SetFramePeriod(c.periodMs);
        std::vector<float> scales;
        clock.OnDispatch = [&](int frame) {
            scales.push_back(flight.TimeScale);
            if (frame >= 20)
                flight.QuitRequested = kTrue;
        };
        if (&c != &cases[0]) // the last run deleted it
            palette.CreateStarPalette(picMain.hDC());
        loop.RunFrameLoop(800, 600);
        SetBackend(&screen);
        for (int frame = 1; frame <= 20; ++frame) {
            const float expected = frame < c.measuredAt ? 1.0f : c.timeScale;
            EXPECT_EQ(scales[frame - 1], expected) << c.periodMs << " ms, frame " << frame;
        }
    }
}

TEST_F(FrameLoopTest, PShowsTheLastMeasuredRateInWhiteAtTheTopRight) {
    screen.SetFramePeriod(31.25); // 32 frames per second
    const RECT figureBox{760, 5, 800, 35};
    std::vector<std::string> figures;
    int redBeforeP = -1;
    RunFrames(9, [&](int frame) {
        if (frame == 1) {
            redBeforeP = BrightestRed(figureBox);
            screen.KeyDown(kKeyP);
        }
        figures.push_back(flight.FpsText);
    });
    EXPECT_EQ(redBeforeP, 0);
    EXPECT_EQ(figures[1], "000"); // before the first measurement: "0"
    EXPECT_EQ(figures[8], "032");
    EXPECT_EQ(BrightestRed(figureBox), 255);
}

TEST_F(FrameLoopTest, TheHintFadesOutAfterTwoHundredTimeSteps) {
    screen.SetFramePeriod(300); // TimeScale 16: the hint loses 0.16 a frame
    std::vector<int> reds;
    RunFrames(20, [&](int) { reds.push_back(BrightestRed(kHintRect)); });
    EXPECT_EQ(reds[0], 214);             // full text colour at 3.0
    EXPECT_EQ(reds[12], 214);            // 3.0 - 12 * 0.16 = 1.08
    EXPECT_LE(reds[13], 214 * 0.92 + 1); // 0.92
    EXPECT_GT(reds[13], 0);
    EXPECT_LE(reds[16], 214 * 0.44 + 1);
    EXPECT_EQ(reds[19], 0); // gone after 2.84 / 0.16 frames more
    EXPECT_TRUE(AllBlackOutside(kHintRect));
}

TEST_F(FrameLoopTest, F1FadesTheHelpInFromAFifthInTheMiddleOfTheScreen) {
    HeadlessBackend bigScreen{1024, 768};
    SetBackend(&bigScreen);
    bigScreen.SetFramePeriod(15.625);        // TimeScale stays exactly 1
    const RECT helpRect{411, 211, 612, 556}; // 201 x 345 around the screen's centre
    std::vector<int> reds;
    std::vector<float> fades;
    bigScreen.OnDispatch = [&](int frame) {
        reds.push_back(BrightestRed(helpRect));
        fades.push_back(flight.HelpFade);
        if (frame == 1 || frame == 80 || frame == 81)
            bigScreen.KeyDown(kKeyF1);
        if (frame >= 82)
            flight.QuitRequested = kTrue;
    };
    loop.RunFrameLoop(1024, 768);

    EXPECT_EQ(reds[0], 0);
    EXPECT_GT(reds[1], 0);
    EXPECT_LE(reds[1], 43); // 214 * 0.2
    EXPECT_FLOAT_EQ(fades[1], 0.212f);
    EXPECT_EQ(reds[79], 214); // fully in after about 67 time steps
    EXPECT_FLOAT_EQ(fades[79], 1.012f);
    EXPECT_EQ(reds[80], 0);  // hidden
    EXPECT_LE(reds[81], 43); // shown again from 0.2
}

TEST_F(FrameLoopTest, ReadOutsShowForSixtyTimeStepsAfterTheLastKey) {
    screen.SetFramePeriod(15.625); // TimeScale stays exactly 1
    std::vector<float> percents;
    std::vector<int> viewFrames;
    loop.DisplaySpeed = [&](HDC hDC, float percent) {
        EXPECT_EQ(hDC, picMain.hDC());
        percents.push_back(percent);
    };
    loop.DisplayView = [&](HDC hDC, HDC hSrcDC, float angH, float angV) {
        EXPECT_EQ(hDC, picMain.hDC());
        EXPECT_EQ(hSrcDC, picImages.hDC());
        EXPECT_FLOAT_EQ(angH, 0.02f); // D held for one frame
        EXPECT_EQ(angV, 0.0f);
        viewFrames.push_back(screen.Frame());
    };
    flight.Speed = 1.0f;
    RunFrames(100, [&](int frame) {
        if (frame == 1) {
            screen.KeyDown(kKeyR);
            screen.KeyDown(kKeyD);
        }
        if (frame == 2) {
            screen.KeyUp(kKeyR);
            screen.KeyUp(kKeyD);
        }
    });
    ASSERT_EQ(percents.size(), 60u);
    const float speed = 1.0f + std::sqrt(1.0f) * 0.02f;
    EXPECT_FLOAT_EQ(percents[0], std::sqrt(speed * 5.0f) * 0.2f);
    ASSERT_EQ(viewFrames.size(), 60u);
    EXPECT_EQ(viewFrames.front(), 2);
    EXPECT_EQ(viewFrames.back(), 61);
}

TEST_F(FrameLoopTest, WindowModeSteersWithThePanelAndIgnoresHeldKeys) {
    stars.Stars[0] = StarRecord{0, 0, 100, 0, 0};
    int panelSteps = 0;
    loop.PanelSteeringStep = [&] { ++panelSteps; };
    flight.FullScreen = kFalse;
    flight.HeldKeys.TurnLeft = 1;
    RunFrames(3);
    EXPECT_EQ(panelSteps, 3);
    EXPECT_EQ(stars.Stars[0].X, 0.0f);

    flight.FullScreen = kTrue;
    palette.CreateStarPalette(picMain.hDC());
    RunFrames(screen.Frame() + 1);
    EXPECT_EQ(panelSteps, 3);
    EXPECT_GT(stars.Stars[0].X, 0.0f); // turned left: what is ahead drifts right
}

TEST_F(FrameLoopTest, EscEndsTheLoopAfterItsFrameAndEveryDrawingObjectIsReleased) {
    EXPECT_EQ(LiveGdiObjectCount(), gdiObjectsBefore + 12);
    EXPECT_EQ(picMain.hDC()->pen, palette.StarPens[0]);
    EXPECT_EQ(picMain.hDC()->brush, palette.StarBrushes[0]);

    screen.OnDispatch = [&](int frame) {
        if (frame == 3)
            screen.KeyDown(kKeyEsc);
    };
    loop.RunFrameLoop(800, 600);

    EXPECT_EQ(screen.Frame(), 3);
    EXPECT_EQ(GetTickCount(), 30u); // each frame slept 10 ms on the unpaced clock
    EXPECT_TRUE(form.Unloaded());
    EXPECT_EQ(LiveGdiObjectCount(), gdiObjectsBefore);
}

} // namespace
} // namespace oz
