#pragma once
// The display for people: an SDL2 window without a frame, placed and sized from the
// window's twips geometry, showing the composed image region by region.

#include "platform/Backend.h"
#include "platform/WaylandPresent.h"
#include "platform/XWindowWatch.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace oz {

// Where to show the program: on a display of the desktop (by default the one under the
// pointer), or inside a window another program owns (the root window, or a window id).
struct SdlDisplayRequest {
    int display = -1;
    bool root = false;
    unsigned long window = 0;
};

class SdlBackend : public Backend {
public:
    // Opens the video subsystem; null, with the reason in `error`, when there is no
    // display to open. `badRequest` tells whether the request itself was at fault (a
    // display or a window that is not there).
    static std::unique_ptr<SdlBackend>
    Create(std::string& error, const SdlDisplayRequest& request = {}, bool* badRequest = nullptr);
    ~SdlBackend() override;

    int ScreenWidthPx() const override { return screenWidth_; }
    int ScreenHeightPx() const override { return screenHeight_; }

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

    bool PollInput(InputEvent& event) override;

    void WindowChanged(Form& form) override;
    void Present(const Bitmap& windowImage, const IntRect* regions, int count) override;
    void WindowClosed(Form& form) override;

    // Why the window could not be shown (no window surface, a lost connection), empty while
    // it can. The first failure ends the flight: PollInput reports a close.
    const std::string& Failure() const { return failure_; }

private:
    SdlBackend(int screenWidth, int screenHeight);
    // Where the pointer is now, in screen pixels, asked of the display itself.
    bool PointerOnScreen(int& x, int& y);
    // The display the program starts on: its place on the desktop, size and scale.
    bool ChooseDisplay(int requested, std::string& error, bool& badRequest);
    // Another program's window as the screen: it keeps its size and place, and owns input.
    bool AdoptWindow(const SdlDisplayRequest& request, std::string& error, bool& badRequest);
    bool PollAdoptedWindow(InputEvent& event);
    void PresentScaled(const Bitmap& windowImage, const IntRect* regions, int count);
    void PresentOnWayland(const Bitmap& windowImage, const IntRect* regions, int count);
    // Native Wayland: our own buffers on SDL's surface, and moves handed to the compositor.
    void StartWayland();
    void Fail(const std::string& cause);
    // Window pixels as the program's logical pixels.
    int Logical(int physical) const;

    int screenWidth_, screenHeight_;
    SDL_Window* window_ = nullptr;
    Form* form_ = nullptr;
    bool fullscreen_ = false;
    std::int16_t held_ = 0;     // mouse buttons down
    int lastX_ = 0, lastY_ = 0; // last pointer position reported, screen pixels
    XWindowWatch watch_;        // the window destroyed from outside
    const Bitmap* iconShown_ = nullptr;
    int iconWidth_ = 0;
    int display_ = 0;
    int originX_ = 0, originY_ = 0; // the display's top left on the desktop
    int scale_ = 1;                 // window mode's scale on this display
    Bitmap scaled_;                 // the window's image at that scale
    unsigned long adopted_ = 0;     // the X window drawn into, 0 for a window of our own
    bool closeReported_ = false;    // the end, once it came, is reported once
    std::string failure_;
    std::unique_ptr<WaylandPresent> wayland_; // null on X11, or where SDL shows the image
    static constexpr int kBufferRects = 1024; // more than a window's present holds
    IntRect bufferRects_[kBufferRects];       // regions at the buffer's scale
};

} // namespace oz
