#pragma once
// The one loop of the program: each frame it measures the frame rate, clears the view,
// moves and draws every star, steers, draws the overlays, shows the frame, lets the
// window handle its events and sleeps 10 ms, until the window unloads. Under a frame-rate
// cap frames start on a steady schedule instead of the sleep. While nobody can see the
// window it draws nothing and waits for events; the flight goes on from where it was.

#include "platform/forms/Forms.h"
#include "platform/pixels/Gdi.h"
#include "sim/FlightState.h"
#include "sim/FramePacer.h"
#include "sim/StarField.h"
#include "sim/StarPalette.h"

#include <cstdint>
#include <functional>

namespace oz {

class FrameLoop {
public:
    FrameLoop(PictureBox& picMain, Label& Label1, PictureBox& picImages, FlightState& flight,
              StarField& stars, StarPalette& palette)
        : picMain_(picMain), Label1_(Label1), picImages_(picImages), flight_(flight), stars_(stars),
          palette_(palette) {}

    // Steps the window provides; each may stay empty, and then does nothing.
    std::function<void()> PanelSteeringStep;
    std::function<void(HDC hDC, float Percent)> DisplaySpeed;
    std::function<void(HDC hDC, HDC hSrcDC, float AngH, float AngV)> DisplayView;
    // Runs first in every frame: lets the window follow a screen that changed size.
    std::function<void()> FrameStarting;
    // Steers after the keys in full-screen mode.
    std::function<void()> Autopilot;

    // What the loop shows from its start: the start-up hint, and the frame-rate figure.
    bool StartupHint = true;
    bool FpsAtStart = false;
    // At most this many frames a second, each started one period after the one before;
    // 0 for no cap.
    int MaxFps = 0;

    // The last measured frame rate, 0 until the first measurement.
    std::int32_t FrameRate = 0;

    // Runs frames until QuitRequested is set by a handler during a frame's dispatch.
    void RunFrameLoop(std::int32_t ScreenWidthPx, std::int32_t ScreenHeightPx);

    // The same loop a frame at a time, for a host that owns the loop (a browser's
    // animation frames): BeginFrames, then RunFrame until it returns false, then EndFrames.
    void BeginFrames(std::int32_t ScreenWidthPx, std::int32_t ScreenHeightPx);
    bool RunFrame(); // false once QuitRequested is set, or before BeginFrames
    void EndFrames();

private:
    void DrawStar(HDC hDC, const StarSight& sight);
    // Dispatches events, without drawing, until the window can be seen again or unloads;
    // returns how long that took, in milliseconds.
    std::uint32_t WaitWhileHidden();

    PictureBox& picMain_;
    Label& Label1_;
    PictureBox& picImages_;
    FlightState& flight_;
    StarField& stars_;
    StarPalette& palette_;

    // What one run of the loop keeps from frame to frame.
    bool running_ = false;
    HBRUSH clearingBrush_ = nullptr;
    RECT helpRect_{};
    RECT hintRect_{};
    std::int32_t frameCounter_ = 0;
    std::uint32_t lastMeasurement_ = 0;
    FramePacer pacer_{0};
    HDC hDC_ = nullptr;
};

// The box of the disc a star of size s >= 1 is drawn as: floor(s) pixels across, at
// least 2, around (sx, sy).
RECT StarDiscBox(std::int32_t sx, std::int32_t sy, float s);

// Writes the rate's last three digits into FpsText and returns where the figure starts:
// leading zeros are left out, but a lone last digit always shows.
const char* FormatFps(std::int32_t Fps, char (&FpsText)[4]);
// Draws the frame-rate figure in white.
void DrawFps(HDC hDC, const RECT& Rect, std::int32_t Fps, char (&FpsText)[4]);

} // namespace oz
