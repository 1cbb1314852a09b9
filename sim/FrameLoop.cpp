#include "sim/FrameLoop.h"

#include "platform/forms/Backend.h"
#include "platform/pixels/Rounding.h"
#include "sim/KeyboardControls.h"

#include <cmath>

namespace oz {

namespace {
constexpr const char* kHintText = "Press F1 for keys description, Esc for exit\r\n"
                                  "Double click on the screen to switch to window mode";
constexpr std::int32_t kMeasureWindowMs = 250;
// While hidden the loop waits for events, and wakes this often to ask whether the display
// woke up (DPMS sends no events): twice a second, a round trip to the X server each.
constexpr std::uint32_t kHiddenWaitMs = 500;
constexpr std::int32_t kHelpWidth = 201;
constexpr std::int32_t kHelpHeight = 345;
} // namespace

RECT StarDiscBox(std::int32_t sx, std::int32_t sy, float s) {
    std::int32_t across = static_cast<std::int32_t>(std::floor(s));
    if (across < 2)
        across = 2;
    const std::int32_t h = across / 2;
    return RECT{sx - h, sy - h, sx - h + across, sy - h + across};
}

const char* FormatFps(std::int32_t Fps, char (&FpsText)[4]) {
    FpsText[2] = static_cast<char>('0' + Fps % 10);
    FpsText[1] = static_cast<char>('0' + (Fps / 10) % 10);
    FpsText[0] = static_cast<char>('0' + (Fps / 100) % 10);
    if (FpsText[0] != '0')
        return &FpsText[0];
    if (FpsText[1] != '0')
        return &FpsText[1];
    return &FpsText[2];
}

void DrawFps(HDC hDC, const RECT& Rect, std::int32_t Fps, char (&FpsText)[4]) {
    const char* figure = FormatFps(Fps, FpsText);
    SetTextColor(hDC, kWhite);
    RECT box = Rect;
    DrawTextA(hDC, figure, -1, &box, DT_TOP_LEFT);
}

void FrameLoop::DrawStar(HDC hDC, const StarSight& sight) {
    const float s = sight.Size;
    const int c = sight.ColorIndex;
    if (s >= 1.0f) {
        SelectObject(hDC, palette_.StarPens[c]);
        SelectObject(hDC, palette_.StarBrushes[c]);
        const RECT disc = StarDiscBox(sight.sx, sight.sy, s);
        Ellipse(hDC, disc.left, disc.top, disc.right, disc.bottom);
    } else {
        SetPixel(hDC, sight.sx, sight.sy, MultiplyColor(palette_.Colors[c], s * s));
    }
}

std::uint32_t FrameLoop::WaitWhileHidden() {
    Backend& backend = CurrentBackend();
    const std::uint32_t start = GetTickCount();
    while (!flight_.QuitRequested && !backend.Showing()) {
        backend.WaitForInput(kHiddenWaitMs);
        DoEvents();
    }
    return GetTickCount() - start;
}

void FrameLoop::RunFrameLoop(std::int32_t ScreenWidthPx, std::int32_t ScreenHeightPx) {
    BeginFrames(ScreenWidthPx, ScreenHeightPx);
    while (RunFrame()) {
    }
    EndFrames();
}

void FrameLoop::BeginFrames(std::int32_t ScreenWidthPx, std::int32_t ScreenHeightPx) {
    FlightState& f = flight_;

    f.ViewWidth = ToInt32(picMain_.ScaleWidth());
    f.ViewHeight = ToInt32(picMain_.ScaleHeight());
    f.HalfWidth = f.ViewWidth / 2;
    f.HalfHeight = f.ViewHeight / 2;

    const LOGBRUSH black{BS_SOLID, 0, 0};
    clearingBrush_ = CreateBrushIndirect(&black);

    SetRect(&helpRect_, (ScreenWidthPx - kHelpWidth) / 2, (ScreenHeightPx - kHelpHeight) / 2,
            (ScreenWidthPx + kHelpWidth) / 2, (ScreenHeightPx + kHelpHeight) / 2);
    SetRect(&f.FpsRect, ToInt32(picMain_.ScaleWidth() - 40.0f), 5, ToInt32(picMain_.ScaleWidth()),
            35);
    SetRect(&hintRect_, 5, 5, 400, 40);

    f.IntroTime = StartupHint ? 3.0f : 0.0f;
    f.LookAngleH = 0.0f;
    f.LookAngleV = 0.0f;
    f.SinLookH = 0.0f;
    f.CosLookH = 1.0f;
    f.SinLookV = 0.0f;
    f.CosLookV = 1.0f;
    f.ShowFps = FpsAtStart ? kTrue : kFalse;
    frameCounter_ = 0;
    FrameRate = 0;
    lastMeasurement_ = GetTickCount();
    f.SpeedInfoTime = 0.0f;
    f.ViewInfoTime = 0.0f;
    f.TimeScale = 1.0f;
    f.QuitRequested = kFalse;
    pacer_ = FramePacer(MaxFps);
    pacer_.Restart(CurrentBackend().TickMicroseconds());
    hDC_ = nullptr;
    running_ = true;
}

bool FrameLoop::RunFrame() {
    if (!running_)
        return false;
    FlightState& f = flight_;
    CurrentBackend().FrameStarted();
    if (FrameStarting)
        FrameStarting();
    HDC hDC = hDC_ = picMain_.hDC();

    // Frames finished in a window of at least 250 ms, times 4, whatever its true length.
    // Under a cap the window's true length counts: a period that does not divide
    // 250 ms would otherwise slow the flight (at 1 frame a second, to a quarter).
    ++frameCounter_;
    const std::int32_t elapsed = static_cast<std::int32_t>(GetTickCount() - lastMeasurement_);
    if (elapsed >= kMeasureWindowMs) {
        if (MaxFps > 0) {
            const float rate =
                static_cast<float>(frameCounter_) * 1000.0f / static_cast<float>(elapsed);
            FrameRate = ToInt32(rate);
            f.TimeScale = 64.0f / rate;
        } else {
            FrameRate = frameCounter_ * 4;
            f.TimeScale = 64.0f / static_cast<float>(FrameRate);
        }
        lastMeasurement_ = GetTickCount();
        frameCounter_ = 0;
    }

    RECT clearRect;
    SetRect(&clearRect, 0, 0, f.ViewWidth, f.ViewHeight);
    FillRect(hDC, &clearRect, clearingBrush_);
    CurrentBackend().PhaseDone(FramePhase::Cleared);

    StarSight sight;
    for (int i = 0; i < kStarSlots; ++i) {
        if (stars_.StarStep(i, f, sight))
            DrawStar(hDC, sight);
    }
    CurrentBackend().PhaseDone(FramePhase::StarsDrawn);

    if (f.FullScreen) {
        KeyboardControls::RunKeyboardSteeringStep(f, stars_);
        if (Autopilot)
            Autopilot();
    } else if (PanelSteeringStep)
        PanelSteeringStep();
    CurrentBackend().PhaseDone(FramePhase::Steered);

    if (f.IntroTime > 0.0f) {
        const COLORREF color =
            f.IntroTime > 1.0f ? kTextColor : MultiplyColor(kTextColor, f.IntroTime);
        SetTextColor(hDC, color);
        DrawTextA(hDC, kHintText, -1, &hintRect_, DT_TOP_LEFT);
        f.IntroTime = f.IntroTime - 0.01f * f.TimeScale;
    }

    if (f.HelpShown) {
        if (f.HelpFade >= 1.0f)
            f.HelpFade = 1.0f;
        SetTextColor(hDC, MultiplyColor(kTextColor, f.HelpFade));
        f.HelpFade = f.HelpFade + 0.012f * f.TimeScale;
        DrawTextA(hDC, Label1_.Caption().c_str(), -1, &helpRect_, DT_TOP_LEFT);
    }

    if (f.SpeedInfoTime > 0.0f) {
        if (DisplaySpeed)
            DisplaySpeed(hDC, std::sqrt(f.Speed * 5.0f) * 0.2f);
        f.SpeedInfoTime = f.SpeedInfoTime - f.TimeScale;
    }
    if (f.ViewInfoTime > 0.0f) {
        if (DisplayView)
            DisplayView(hDC, picImages_.hDC(), f.LookAngleH, f.LookAngleV);
        f.ViewInfoTime = f.ViewInfoTime - f.TimeScale;
    }

    if (f.ShowFps)
        DrawFps(hDC, f.FpsRect, FrameRate, f.FpsText);
    CurrentBackend().PhaseDone(FramePhase::OverlaysDrawn);

    picMain_.Refresh();
    DoEvents();
    Backend& backend = CurrentBackend();
    if (MaxFps > 0)
        backend.SleepUntilMicroseconds(pacer_.NextDue(backend.TickMicroseconds()));
    else
        Sleep(10);
    // The pause is not flight time: the rate measurement and the schedule skip it.
    if (!f.QuitRequested && !backend.Showing()) {
        lastMeasurement_ += WaitWhileHidden();
        pacer_.Restart(backend.TickMicroseconds());
    }
    return !f.QuitRequested;
}

void FrameLoop::EndFrames() {
    if (!running_)
        return;
    running_ = false;
    DeleteObject(clearingBrush_);
    palette_.DeleteStarPalette(hDC_);
}

} // namespace oz
