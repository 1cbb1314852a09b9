// The frame loop on the headless display: how stars are drawn, the frame-rate
// measurement and figure, the overlays and their timers, the steering hooks and the way
// out. Keys reach the handlers in the frame's event dispatch.

#include "sim/FrameLoop.h"
#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Form.h"
#include "sim/KeyboardControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr std::int16_t kKeyR = 82, kKeyD = 68, kKeyP = 80, kKeyF1 = 112, kKeyEsc = 27;
constexpr COLORREF kWhiteRgb = RGB(255, 255, 255);

TEST(MultiplyColor, RoundsRedToNearestAndCutsTheFractionOfGreenAndBlue) {
    EXPECT_EQ(MultiplyColor(kWhiteRgb, 0.25f), RGB(64, 63, 63));
    EXPECT_EQ(MultiplyColor(kTextColor, 0.5f), RGB(107, 101, 81));
    EXPECT_EQ(MultiplyColor(RGB(5, 0, 0), 0.5f), RGB(2, 0, 0)); // halves to even
    EXPECT_EQ(MultiplyColor(RGB(7, 0, 0), 0.5f), RGB(4, 0, 0));
}

TEST(FormatFps, ShowsTheLastThreeDigitsWithoutLeadingZerosButAlwaysOne) {
    char text[4] = {0, 0, 0, 0};
    const std::pair<int, const char*> cases[] = {{0, "0"},     {4, "4"},     {64, "64"},
                                                 {100, "100"}, {208, "208"}, {1000, "0"},
                                                 {1064, "64"}, {2004, "4"}};
    for (const auto& [fps, figure] : cases)
        EXPECT_EQ(std::string(FormatFps(fps, text)), figure) << fps;
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        // An 800 x 600 window, all view, like full-screen mode on a small screen.
        form.Move(0, 0, 800 * 15, 600 * 15);
        picMain.Move(0, 0, 800 * 15, 600 * 15);
        picMain.SetScaleMode(vbPixels);
        picMain.SetBackColor(RGB(0, 0, 0));
        picMain.SetFont(
            {"Arial Black", 9.75f, false, false}); // the view's font, as the window sets it
        Label1.SetCaption(HelpText());
        form.Show();
        keys.Unload = [this] { form.Unload(); };
        form.UnloadEvent.Connect([this](std::int16_t&) { flight.QuitRequested = kTrue; });
        flight.FullScreen = kTrue;
        flight.Speed = 0.0f; // every slot inactive at the centre of the ball: never drawn
        gdiObjectsBefore = LiveGdiObjectCount();
        palette.CreateStarPalette(picMain.hDC());
    }
    void TearDown() override { SetBackend(nullptr); }

    // Runs the loop for `frames` frames, calling `during` in each frame's event dispatch.
    void RunFrames(int frames, std::function<void(int frame)> during = {}, int screenW = 800,
                   int screenH = 600) {
        screen.OnDispatch = [=, this](int frame) {
            if (during)
                during(frame);
            if (frame >= frames)
                flight.QuitRequested = kTrue;
        };
        RunLoop(screenW, screenH);
    }
    // Runs the loop once on a clock of its own, started afresh: `script` sets up its
    // dispatch before the first frame.
    void RunOnNewClock(const std::function<void(HeadlessBackend& clock)>& script) {
        HeadlessBackend clock{800, 600};
        SetBackend(&clock);
        script(clock);
        RunLoop(800, 600);
        SetBackend(&screen);
    }
    // Each run of the loop deletes the star palette at its end; the next one needs it again.
    void RunLoop(int screenW, int screenH) {
        if (loopRuns++ > 0)
            palette.CreateStarPalette(picMain.hDC());
        loop.RunFrameLoop(screenW, screenH);
    }

    COLORREF At(int x, int y) const { return ColorFromPixel(picMain.Image().Get(x, y)); }
    int BrightestRed(const RECT& r) const {
        int best = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                best = std::max(best, GetRValue(At(x, y)));
        return best;
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
    int gdiObjectsBefore = 0, loopRuns = 0;
};

TEST_F(FrameLoopTest, DrawsNearStarsAsDiscsAndFarOnesAsFadedPixels) {
    SetLookAngles(flight, 1.0f, 0.5f); // every run starts looking straight ahead
    stars.Stars[0] = StarRecord{10, 5, 50, 1, 0};
    stars.Stars[1] = StarRecord{-30, 20, 100, 1, 0};
    stars.Stars[2] = StarRecord{0, 0, 20, 1, 3}; // size 3.75: a tinted disc 3 across
    RunFrames(1);
    // Ellipse(479, 259, 481, 261): the 2 x 2 block at (479, 259).
    EXPECT_TRUE(At(479, 259) == kWhiteRgb && At(480, 260) == kWhiteRgb);
    EXPECT_TRUE(At(478, 259) == 0 && At(481, 260) == 0 && At(479, 261) == 0);
    // White faded by (1.5 * 50 / |(-30, 20, 100)|)^2 = 0.4978: 126.9 rounds up in red only.
    EXPECT_EQ(At(280, 220), RGB(127, 126, 126));
    EXPECT_TRUE(At(281, 220) == 0 && At(280, 221) == 0);
    EXPECT_EQ(At(400, 300), RGB(217, 241, 255)); // Ellipse(399, 299, 402, 302)
    EXPECT_TRUE(At(398, 300) == 0 && At(402, 300) == 0);
}

TEST_F(FrameLoopTest, MeasuresTheRateOverQuarterSecondsAndScalesTimeToIt) {
    const std::tuple<double, int, float> cases[] = {
        {15.625, 16, 1.0f}, {31.25, 8, 2.0f}, {300, 1, 16.0f}};
    for (auto [periodMs, measuredAt, timeScale] : cases) {
        std::vector<float> scales;
        RunOnNewClock([&](HeadlessBackend& clock) { // the paced clock starts again
            clock.SetFramePeriod(periodMs);
            clock.OnDispatch = [&](int frame) {
                scales.push_back(flight.TimeScale);
                flight.QuitRequested = frame >= 20 ? kTrue : kFalse;
            };
            flight.TimeScale = 5.0f; // left over: every run starts at 1
        });
        for (int frame = 1; frame <= 20; ++frame)
            EXPECT_EQ(scales[frame - 1], frame < measuredAt ? 1.0f : timeScale)
                << periodMs << " ms, frame " << frame;
    }
}

// At 300 ms a frame the rate is 4 and TimeScale 16: the hint fades from 1.08 and the help
// fades in from a fifth, 0.192 a frame. The help is centred on the screen, not on the
// view; P shows the rate in white at the view's top right and P again hides it; it is off
// at the start of every run.
// The view is cleared every frame, so what fades out is gone.
TEST_F(FrameLoopTest, OverlaysTheFadingHintTheHelpOnF1AndTheRateOnP) {
    screen.SetFramePeriod(300);
    flight.ShowFps = kTrue;
    const RECT hintRect{5, 5, 400, 40}, helpRect{411, 211, 612, 556}, rateRect{760, 5, 800, 35};
    std::vector<int> hint, help, rate;
    RunFrames(
        20,
        [&](int frame) {
            hint.push_back(BrightestRed(hintRect));
            help.push_back(BrightestRed(helpRect));
            rate.push_back(BrightestRed(rateRect));
            if (frame == 1 || frame == 10 || frame == 11)
                keys.picMain_KeyDown(kKeyF1, 0);
            if (frame == 1 || frame == 15)
                keys.picMain_KeyDown(kKeyP, 0);
        },
        1024, 768);
    // The hint in full text colour from 3.0 down to 1.08, then gone; the help in after
    // 0.2 + 5 * 0.192, hidden, shown again from 0.2 (214 * 0.2 is 43).
    // P shows the rate and P again hides it.
    EXPECT_EQ(std::vector({hint[0], hint[12], hint[19], help[0], help[6], help[10], rate[0],
                           rate[1], rate[14], rate[15]}),
              std::vector({214, 214, 0, 0, 214, 0, 0, 255, 255, 0}));
    EXPECT_TRUE(hint[13] <= 214 * 0.92 + 1 && help[1] > 0 && help[1] <= 43 && help[5] < 214 &&
                help[11] <= 43);
    EXPECT_STREQ(flight.FpsText, "004");
}

TEST_F(FrameLoopTest, ReadOutsShowForSixtyTimeStepsAfterTheLastKey) {
    screen.SetFramePeriod(15.625); // TimeScale stays exactly 1
    std::vector<int> speedFrames, viewFrames;
    float percent = 0;
    loop.DisplaySpeed = [&](HDC hDC, float p) {
        speedFrames.push_back(hDC == picMain.hDC() ? screen.Frame() : -1);
        percent = p;
    };
    loop.DisplayView = [&](HDC hDC, HDC hSrcDC, float angH, float angV) {
        EXPECT_TRUE(hSrcDC == picImages.hDC() && angH == 0.02f && angV == 0.0f);
        viewFrames.push_back(hDC == picMain.hDC() ? screen.Frame() : -1);
    };
    flight.Speed = 1.0f;
    flight.QuitRequested = kTrue; // left over: the loop still runs
    RunFrames(100, [&](int frame) {
        if (frame == 1) { // R and D held for one frame
            keys.picMain_KeyDown(kKeyR, 0);
            keys.picMain_KeyDown(kKeyD, 0);
        } else if (frame == 2) {
            flight.HeldKeys = HeldKeyFlags{};
        }
    });
    std::vector<int> frames(60); // 2 to 61
    std::iota(frames.begin(), frames.end(), 2);
    EXPECT_EQ(std::tuple(speedFrames, viewFrames), std::tuple(frames, frames));
    EXPECT_FLOAT_EQ(percent, std::sqrt(1.02f * 5.0f) * 0.2f);
}

TEST_F(FrameLoopTest, WindowModeSteersWithThePanelIgnoringHeldKeysAndEscEndsTheLoop) {
    int panelSteps = 0;
    loop.PanelSteeringStep = [&] { ++panelSteps; };
    flight.FullScreen = kFalse;
    flight.HeldKeys.Faster = 1;
    RunFrames(100, [&](int frame) {
        if (frame == 3)
            keys.Form_KeyDown(kKeyEsc, 0);
    });
    // Esc ends the loop after its frame; each frame slept 10 ms on the unpaced clock.
    EXPECT_EQ(std::tuple(screen.Frame(), panelSteps, flight.Speed, GetTickCount(), form.Unloaded()),
              std::tuple(3, 3, 0.0f, 30u, true));
    EXPECT_EQ(LiveGdiObjectCount(), gdiObjectsBefore); // every drawing object released
}

// Frame starts and dispatches on the unpaced clock, in microseconds, under a cap (0: none).
struct Timeline {
    std::vector<std::uint64_t> starts;
    int FramesStartedIn(std::uint64_t from, std::uint64_t to) const {
        return static_cast<int>(std::count_if(
            starts.begin(), starts.end(), [&](std::uint64_t t) { return t >= from && t < to; }));
    }
    std::vector<std::uint64_t> Intervals() const {
        std::vector<std::uint64_t> gaps;
        for (size_t i = 1; i < starts.size(); ++i)
            gaps.push_back(starts[i] - starts[i - 1]);
        return gaps;
    }
};

// Under a cap every frame starts one period after the one before, whatever its work took,
// so a virtual second holds exactly the cap's frames; without one the loop keeps its
// 10 ms sleep after the work. The flight covers the same distance in a second at any cap,
// also where a period does not divide the quarter second the rate is measured over.
TEST_F(FrameLoopTest, ACapStartsFramesOnASteadyScheduleAndTheFlightKeepsItsSpeed) {
    // The cap, the work of a frame, the frames in a second, the microseconds between two frame
    // starts without a cap (with one, its period).
    const std::tuple<int, double, int, std::uint64_t> cases[] = {
        {0, 0, 100, 10000}, {0, 4, 71, 14000}, {1, 300, 1, 1000000}, {3, 0, 3, 0},
        {7, 100, 7, 0},     {30, 0, 30, 0},    {50, 0, 50, 0},       {60, 0, 60, 0},
        {60, 12, 60, 0},    {144, 6, 144, 0},  {1000, 0.5, 1000, 0}};
    for (auto [cap, workMs, framesInASecond, interval] : cases) {
        Timeline timeline;
        loop.MaxFps = cap;
        flight.Speed = 0.25f; // 16 units a second at 64 time steps a second
        stars.Stars[0] = StarRecord{0, 0, 125, 1, 0};
        float zAtOne = 0, zAtThree = 0;
        RunOnNewClock([&](HeadlessBackend& clock) {
            loop.FrameStarting = [&] { timeline.starts.push_back(clock.TickMicroseconds()); };
            clock.OnDispatch = [&](int) {
                const std::uint32_t now = clock.TickCount();
                zAtOne = now <= 1000 ? stars.Stars[0].Z : zAtOne;
                zAtThree = now <= 3000 ? stars.Stars[0].Z : zAtThree;
                clock.Advance(workMs);
                flight.QuitRequested = now >= 4000 ? kTrue : kFalse;
            };
        });
        EXPECT_EQ(timeline.FramesStartedIn(1000000, 2000000), framesInASecond) << cap;
        const std::uint64_t period = cap > 0 ? 1000000 / cap : interval;
        for (std::uint64_t gap : timeline.Intervals())
            ASSERT_TRUE(gap == period || gap == period + 1) << cap << ": " << gap;
        EXPECT_NEAR((zAtOne - zAtThree) / 2, 16.0f, 16.0f * 0.03f) << "cap " << cap;
    }
}

// A frame whose work outlasts the period lets the next start at once, and the schedule goes
// on from there: the frames it missed are not made up in a burst.
TEST_F(FrameLoopTest, AFrameThatRunsLateDoesNotMakeTheNextOnesPileUp) {
    Timeline timeline;
    loop.MaxFps = 100;
    loop.FrameStarting = [&] { timeline.starts.push_back(screen.TickMicroseconds()); };
    RunFrames(8, [&](int frame) { screen.Advance(frame == 4 ? 35 : 2); });
    const std::vector<std::uint64_t> expected = {10000, 10000, 10000, 35000, 10000, 10000, 10000};
    EXPECT_EQ(timeline.Intervals(), expected);
}

// Hidden, the loop draws nothing and wakes at most five times a second to dispatch events.
// Shown again, the flight goes on at the pace it had: the rate measurement and TimeScale do
// not count the pause, so no star leaps. A close while hidden ends the loop at once.
TEST_F(FrameLoopTest, HiddenItDrawsNothingAndShownAgainTheFlightGoesOnWithoutAJump) {
    for (int cap : {0, 30}) {
        loop.MaxFps = cap;
        flight.Speed = 0.25f;
        stars.Stars[0] = StarRecord{0, 0, 125, 1, 0};
        std::vector<float> steps, scales;
        std::vector<std::uint32_t> wakes;
        float lastZ = 125;
        int framesWhileHidden = 0, presentsBefore = 0;
        RunOnNewClock([&](HeadlessBackend& clock) {
            loop.FrameStarting = [&] { framesWhileHidden += clock.Showing() ? 0 : 1; };
            clock.OnDispatch = [&](int) {
                if (!clock.Showing()) {
                    wakes.push_back(clock.TickCount());
                    EXPECT_EQ(clock.PresentCount(), presentsBefore);
                    if (clock.TickCount() >= 12000)
                        clock.SetShowing(true);
                    return;
                }
                if (clock.TickCount() >= 600) { // once the rate is measured, twice
                    steps.push_back(lastZ - stars.Stars[0].Z);
                    scales.push_back(flight.TimeScale);
                }
                lastZ = stars.Stars[0].Z;
                if (clock.TickCount() >= 1000 && clock.TickCount() < 2000 && wakes.empty()) {
                    clock.SetShowing(false);
                    presentsBefore = clock.PresentCount();
                }
                flight.QuitRequested = clock.TickCount() >= 13000 ? kTrue : kFalse;
            };
        });
        EXPECT_EQ(framesWhileHidden, 0) << cap;
        ASSERT_GE(wakes.size(), 20u) << cap; // about 11 s hidden
        for (size_t i = 1; i < wakes.size(); ++i)
            EXPECT_GE(wakes[i] - wakes[i - 1], 200u) << cap;
        // Every frame moves the star as far as the one before, also the first after the pause.
        ASSERT_GT(steps.size(), 30u) << cap;
        for (size_t i = 1; i < steps.size(); ++i)
            ASSERT_NEAR(steps[i], steps[0], steps[0] * 0.02f) << cap << ", step " << i;
        const auto [low, high] = std::minmax_element(scales.begin(), scales.end());
        EXPECT_NEAR(*low, *high, *high * 0.02f) << cap;
    }
    loop.FrameStarting = nullptr;
    loop.MaxFps = 0;

    int hiddenDispatches = 0;
    screen.SetShowing(false);
    RunFrames(50, [&](int frame) {
        if (++hiddenDispatches == 3)
            screen.Close();
        EXPECT_EQ(frame, 1);
    });
    // One frame: the one drawn before the loop saw the window hidden.
    EXPECT_EQ(std::tuple(screen.Frame(), hiddenDispatches, form.Unloaded()),
              std::tuple(1, 3, true));
}

} // namespace
} // namespace oz
