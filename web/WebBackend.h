#pragma once
// A display in a web page: the window is a canvas placed on the page where the window
// stands on the screen (the page), drawn through ImageData from the composed image's
// changed regions; input comes from the page, time from its clock. The browser's
// animation frames run the frames, so Sleep waits for nothing.
//
// Paced, the clock is virtual instead (frame n reads n periods), the page's own input is
// not listened to, and the page's script feeds input through Push: a recorder in a page.

#include "platform/forms/Backend.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace oz {

class WebBackend : public Backend {
public:
    // `ratio` device pixels to a pixel of the program; `period` in milliseconds, 0 for the
    // page's own clock.
    WebBackend(int screenWidth, int screenHeight, int ratio, double period);
    ~WebBackend() override;
    WebBackend(const WebBackend&) = delete;
    WebBackend& operator=(const WebBackend&) = delete;

    int ScreenWidthPx() const override { return width_; }
    int ScreenHeightPx() const override { return height_; }

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t) override {}
    void FrameStarted() override;
    void DispatchStarting() override;

    // Called at the start of every event dispatch with the frame's number (0 before the
    // first frame).
    std::function<void(int frame)> OnDispatch;

    // Queues input that happens now.
    void Push(InputEvent event);
    bool PollInput(InputEvent& event) override;
    // Where the screen's top left lies in the page's viewport, in CSS pixels.
    void ScreenMoved(int left, int top) {
        screenLeft_ = left;
        screenTop_ = top;
    }
    void ScreenToProgram(double clientX, double clientY, int& x, int& y) const;
    // The user has pressed something: the page may now ask the browser for full screen.
    void UserActed() { acted_ = true; }
    bool Paced() const { return period_ > 0; }
    bool WindowFillsScreen() const;

    void WindowChanged(Form& form) override;
    void Present(const Bitmap& windowImage, const IntRect* regions, int count) override;
    void WindowClosed(Form& form) override;

    // Milliseconds spent showing regions, in all.
    double PresentMs() const { return presentMs_; }

private:
    void PresentRegions(const Bitmap& windowImage, const IntRect* regions, int count);
    void Convert(const Bitmap& image, const IntRect& region);

    int width_, height_, ratio_;
    double period_;
    double start_;
    double now_ = 0;
    int frame_ = 0;
    std::deque<InputEvent> queue_;
    Form* form_ = nullptr;
    IntRect placed_{};
    bool wholeUpload_ = true;
    bool acted_ = false;
    double presentMs_ = 0;
    int screenLeft_ = 0, screenTop_ = 0;
    std::vector<std::uint32_t> rgba_; // the canvas's pixels, RGBA bytes in memory order
    std::vector<int> rects_;          // what one present shows, kept from call to call
};

} // namespace oz
