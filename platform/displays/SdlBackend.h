#pragma once
// The display for people: an SDL2 window without a frame, placed and sized from the
// window's twips geometry, showing the composed image region by region.

#include "platform/displays/DisplayPower.h"
#include "platform/displays/WaylandPresent.h"
#include "platform/displays/XWindowWatch.h"
#include "platform/forms/Backend.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace oz {

class X11ShmPresent;

// Where to show the program: on a display of the desktop (by default the one under the
// pointer), or inside a window another program owns (the root window, or a window id).
struct SdlDisplayRequest {
    int display = -1;
    bool root = false;
    unsigned long window = 0;
    bool windowFromHost = false; // the window came from the screensaver, not from the user
};

// Why there is no display to show the program on.
enum class SdlStartProblem {
    NoProblem,
    NoDisplay,      // no desktop could be opened
    Refused,        // the display or window asked for is not there, or cannot be drawn into
    HostWindowGone, // the screensaver's window went away before the program started
};

// An adopted window is drawn at most this large each way; the rest of it stays as it is.
constexpr int kLargestAdoptedSide = 16384;

class SdlBackend : public Backend {
public:
    // Opens the video subsystem; null, with the reason as one line in `error` (empty when
    // there is nothing to say), when there is no display to show the program on. `problem`
    // tells why.
    static std::unique_ptr<SdlBackend> Create(std::string& error,
                                              const SdlDisplayRequest& request = {},
                                              SdlStartProblem* problem = nullptr);
    ~SdlBackend() override;

    int ScreenWidthPx() const override { return screenWidth_; }
    int ScreenHeightPx() const override { return screenHeight_; }

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t TickMicroseconds() override;
    void SleepUntilMicroseconds(std::uint64_t due) override;
    bool Showing() override;
    void WaitForInput(std::uint32_t milliseconds) override;
    int RefreshRate() override;

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
    bool ChooseDisplay(int requested, std::string& error, SdlStartProblem& problem);
    // Another program's window as the screen: it keeps its size and place, and owns input.
    bool AdoptWindow(const SdlDisplayRequest& request, std::string& error,
                     SdlStartProblem& problem);
    // The adopted window's size, as much of it as the program draws.
    void FollowAdoptedSize(int width, int height);
    // Gives the root window back its own background, without the program's last frame.
    void ClearRootWindow();
    bool PollAdoptedWindow(InputEvent& event);
    void PresentScaled(const Bitmap& windowImage, const IntRect* regions, int count);
    // Shows regions of an image of the window's own pixels: through our shared image on
    // X11, through SDL's window surface elsewhere. False when neither reaches the window.
    bool ShowRegions(const Bitmap& image, const IntRect* regions, int count);
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
    bool adoptedRoot_ = false;      // that window is the real root, cleared at the end
    bool closeReported_ = false;    // the end, once it came, is reported once
    DisplayPower power_;            // whether the monitors sleep, asked now and then
    bool asleep_ = false;
    std::uint32_t powerAskedAt_ = 0;
    std::string failure_;
    std::unique_ptr<WaylandPresent> wayland_; // null on X11, or where SDL shows the image
    std::unique_ptr<X11ShmPresent> x11_;      // null off X11, or where SDL shows the image
    bool x11Asked_ = false;                   // whether x11_ was tried for this window
    static constexpr int kBufferRects = 1024; // more than a window's present holds
    IntRect bufferRects_[kBufferRects];       // regions at the buffer's scale
};

} // namespace oz
