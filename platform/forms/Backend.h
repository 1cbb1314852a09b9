#pragma once
// What the forms runtime asks of a display: the screen, the clock, input, and a place
// to show the window. Two of them: SDL2 for people, headless for tests and recordings.

#include "platform/pixels/Bitmap.h"

#include <cstdint>
#include <string>

namespace oz {

class Form;

// The steps of a frame, reported by the frame loop as each one ends.
enum class FramePhase { Cleared, StarsDrawn, Steered, OverlaysDrawn };

struct InputEvent {
    enum class Type { MouseDown, MouseUp, MouseMove, KeyDown, KeyUp, Close };
    Type type = Type::MouseMove;
    int x = 0, y = 0;         // screen pixels
    std::int16_t button = 0;  // the button pressed or released (1, 2, 4)
    std::int16_t buttons = 0; // buttons held during a move
    std::uint32_t time = 0;   // when it happened, on the backend's clock (milliseconds)
    std::int16_t keyCode = 0; // virtual-key code
    std::int16_t shift = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual int ScreenWidthPx() const = 0;
    virtual int ScreenHeightPx() const = 0;

    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // A finer clock for frames on a schedule, in microseconds from a start of its own; and
    // a sleep until one of its readings (none when that has passed).
    virtual std::uint64_t TickMicroseconds() { return std::uint64_t{TickCount()} * 1000; }
    virtual void SleepUntilMicroseconds(std::uint64_t due) {
        const std::uint64_t now = TickMicroseconds();
        if (due > now)
            Sleep(static_cast<std::uint32_t>((due - now + 999) / 1000));
    }
    // Whether anyone can see the window: false while it is minimised or unmapped, or the
    // display sleeps. Nothing is drawn while it is false.
    virtual bool Showing() { return true; }
    // Waits until input arrives, a request to stop comes, or `milliseconds` pass.
    virtual void WaitForInput(std::uint32_t milliseconds) { Sleep(milliseconds); }
    // The display's refresh rate in frames per second, 0 when it is not known.
    virtual int RefreshRate() { return 0; }
    // The frame loop announces each frame; a paced clock moves on here.
    virtual void FrameStarted() {}
    // The event dispatch is about to run its pending handlers.
    virtual void DispatchStarting() {}
    // A step of the frame is done; a benchmark times the steps here.
    virtual void PhaseDone(FramePhase) {}

    // Next pending input, false when there is none.
    virtual bool PollInput(InputEvent& event) = 0;

    // The window appeared, moved or was resized, or its icon changed.
    virtual void WindowChanged(Form& form) = 0;
    // Shows the given regions of the window's composed image.
    virtual void Present(const Bitmap& windowImage, const IntRect* regions, int count) = 0;
    virtual void WindowClosed(Form& form) = 0;
};

Backend& CurrentBackend();
void SetBackend(Backend* backend);

} // namespace oz
