#pragma once
// A display in a web page: the window is a canvas placed on the page where the window
// stands on the screen (the page), drawn through ImageData from the composed image's
// changed regions; input comes from the page, time from its clock. The browser's
// animation frames run the frames, so Sleep waits for nothing.
//
// Paced, the clock is virtual instead (frame n reads n periods), the page's own input is
// not listened to, and the page's script feeds input through Push: a recorder in a page.

#include "platform/forms/Backend.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <iterator>
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

    // The benchmark's steps of a frame, as ozmir-bench names them: clear, stars, steering,
    // overlays, compose (the frame's own composition, up to its present), present (into the
    // canvas's pixels in memory, as ozmir-bench presents into a framebuffer), and the page's
    // own: upload (the browser copying them into the canvas, putImageData). Milliseconds,
    // summed over the frames while timing.
    static constexpr int kSteps = 7;
    void TimeSteps(bool on) { timing_ = on; }
    void ResetSteps() {
        std::fill(std::begin(stepMs_), std::end(stepMs_), 0.0);
        puts_ = putPixels_ = 0;
    }
    const double* StepMs() const { return stepMs_; }
    // The rectangles handed to putImageData, and their pixels, while timing.
    double Puts() const { return puts_; }
    double PutPixels() const { return putPixels_; }
    void PhaseDone(FramePhase phase) override;

private:
    // Converts the regions into staging_ and lists in rects_ the rectangles to upload.
    void PresentRegions(const Bitmap& windowImage, const IntRect* regions, int count);
    // A region of the window into the staging image, its top left at (atX, atY).
    void Convert(const Bitmap& image, const IntRect& region, int atX, int atY);
    // Hands the listed rectangles to the page.
    void Upload();

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
    bool timing_ = false, awaitingRefresh_ = false;
    double mark_ = 0;
    double stepMs_[kSteps] = {};
    double puts_ = 0, putPixels_ = 0;
    void Lap(int step);
    int screenLeft_ = 0, screenTop_ = 0;
    // The regions of a present, packed, as the canvas wants them (RGBA bytes in memory
    // order): as large as the canvas, which the first present after a resize fills.
    std::vector<std::uint32_t> staging_;
    std::vector<int> rects_; // what one upload shows (PagePut), kept from call to call
};

} // namespace oz
