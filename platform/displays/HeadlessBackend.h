#pragma once
// A display without a screen: a virtual screen of any size, a virtual clock that only
// moves when told (Sleep, or one frame period per frame when paced), a queue of input in
// screen pixels, and a capture of the composed screen.

#include "platform/forms/Backend.h"

#include <cstdint>
#include <deque>
#include <functional>

namespace oz {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(int screenWidth = 1024, int screenHeight = 768);
    ~HeadlessBackend() override;

    int ScreenWidthPx() const override { return width_; }
    int ScreenHeightPx() const override { return height_; }
    // The screen changes size, as a window drawn into may.
    void ResizeScreen(int width, int height) {
        width_ = width;
        height_ = height;
    }

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t TickMicroseconds() override;
    void SleepUntilMicroseconds(std::uint64_t due) override;
    void FrameStarted() override;
    // Hidden, the window waits for input: the clock moves on by the whole wait unless
    // input is queued. A paced clock keeps the time waited in every later frame's reading.
    bool Showing() override { return showing_; }
    void SetShowing(bool showing) { showing_ = showing; }
    void WaitForInput(std::uint32_t milliseconds) override;
    int Waits() const { return waits_; }
    int RefreshRate() override { return refreshRate_; }
    void SetRefreshRate(int framesPerSecond) { refreshRate_ = framesPerSecond; }
    void DispatchStarting() override;

    // Paced clock: frame n (counted from 1) reads n * period milliseconds from the start,
    // whatever it sleeps, so every frame lasts exactly one period.
    void SetFramePeriod(double milliseconds) { period_ = milliseconds; }
    void Advance(double milliseconds) { now_ += milliseconds; }
    int Frame() const { return frame_; }

    // Called at the start of every event dispatch with the current frame number
    // (0 before the first frame).
    std::function<void(int frame)> OnDispatch;

    // Queues input that happens now, on the virtual clock.
    void Push(InputEvent event);
    void MouseDown(int x, int y, std::int16_t button = 1);
    void MouseUp(int x, int y, std::int16_t button = 1);
    void MouseMove(int x, int y, std::int16_t buttons = 0);
    void Click(int x, int y);
    void DoubleClick(int x, int y); // two clicks at once, at one place
    void KeyDown(std::int16_t keyCode);
    void KeyUp(std::int16_t keyCode);
    void Close();
    bool PollInput(InputEvent& event) override;

    void WindowChanged(Form& form) override;
    void Present(const Bitmap& windowImage, const IntRect* regions, int count) override;
    void WindowClosed(Form& form) override;

    // The whole screen as composed now: black, with the window where the desktop would
    // show it.
    Bitmap Screenshot() const;
    int PresentCount() const { return presents_; }
    bool WindowOpen() const { return form_ != nullptr; }

private:
    int width_, height_;
    double now_ = 0;
    double period_ = 0;
    double waited_ = 0; // time spent waiting for input, on a paced clock
    int frame_ = 0;
    bool showing_ = true;
    int waits_ = 0;
    int refreshRate_ = 0;
    int presents_ = 0;
    std::deque<InputEvent> queue_;
    Form* form_ = nullptr;
    std::int16_t held_ = 0;
};

} // namespace oz
