#pragma once
// The display for people: an SDL2 window without a frame, placed and sized from the
// window's twips geometry, showing the composed image region by region.

#include "platform/Backend.h"
#include "platform/XWindowWatch.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace oz {

class SdlBackend : public Backend {
public:
    // Opens the video subsystem; null, with the reason in `error`, when there is no
    // display to open.
    static std::unique_ptr<SdlBackend> Create(std::string& error);
    ~SdlBackend() override;

    int ScreenWidthPx() const override { return screenWidth_; }
    int ScreenHeightPx() const override { return screenHeight_; }

    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

    bool PollInput(InputEvent& event) override;

    void WindowChanged(Form& form) override;
    void Present(const Bitmap& windowImage, const IntRect* regions, int count) override;
    void WindowClosed(Form& form) override;

private:
    SdlBackend(int screenWidth, int screenHeight);
    // Where the pointer is now, in screen pixels, asked of the display itself.
    bool PointerOnScreen(int& x, int& y);

    int screenWidth_, screenHeight_;
    SDL_Window* window_ = nullptr;
    Form* form_ = nullptr;
    bool fullscreen_ = false;
    std::int16_t held_ = 0;     // mouse buttons down
    int lastX_ = 0, lastY_ = 0; // last pointer position reported, screen pixels
    XWindowWatch watch_;        // the window destroyed from outside
    bool closeReported_ = false;
    const Bitmap* iconShown_ = nullptr;
    int iconWidth_ = 0;
};

} // namespace oz
