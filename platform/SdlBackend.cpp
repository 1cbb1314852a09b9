#include "platform/SdlBackend.h"

#include "platform/Form.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>

namespace oz {

namespace {

std::int16_t ButtonBit(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return vbLeftButton;
    case SDL_BUTTON_RIGHT:
        return vbRightButton;
    case SDL_BUTTON_MIDDLE:
        return vbMiddleButton;
    default:
        return 0;
    }
}

std::int16_t ButtonBits(Uint32 state) {
    std::int16_t bits = 0;
    if (state & SDL_BUTTON_LMASK)
        bits |= vbLeftButton;
    if (state & SDL_BUTTON_RMASK)
        bits |= vbRightButton;
    if (state & SDL_BUTTON_MMASK)
        bits |= vbMiddleButton;
    return bits;
}

std::int16_t ShiftBits(Uint16 mod) {
    std::int16_t bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= vbShiftMask;
    if (mod & KMOD_CTRL)
        bits |= vbCtrlMask;
    if (mod & KMOD_ALT)
        bits |= vbAltMask;
    return bits;
}

// SDL's key symbols as the virtual-key codes the program reads.
std::int16_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<std::int16_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<std::int16_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<std::int16_t>(112 + (key - SDLK_F1));
    switch (key) {
    case SDLK_LEFT:
        return 37;
    case SDLK_UP:
        return 38;
    case SDLK_RIGHT:
        return 39;
    case SDLK_DOWN:
        return 40;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_SPACE:
        return 32;
    case SDLK_TAB:
        return 9;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    default:
        return 0;
    }
}

} // namespace

std::unique_ptr<SdlBackend> SdlBackend::Create(std::string& error) {
    auto set = [](const char* name) {
        const char* v = SDL_getenv(name);
        return v && *v;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) {
        error = "no X11 or Wayland desktop found (DISPLAY and WAYLAND_DISPLAY are not set)";
        return nullptr;
    }
    if (!set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The program draws every pixel itself: they go to the window as they are (shared
    // memory on X11), without an OpenGL context that SDL would load, and unload, for it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A display that is still starting up refuses the first connection: try a few times.
    int attempts = 0;
    while (SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (++attempts == 5) {
            error = SDL_GetError();
            return nullptr;
        }
        SDL_Delay(200);
    }
    // SDL falls back on drivers that show nothing (offscreen, dummy) when no desktop is
    // there; unless the user asked for one by name, that is no display at all.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    bool real = driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0 ||
                           std::strcmp(driver, "kmsdrm") == 0);
    if (!real && !(asked && *asked)) {
        error = "no X11 or Wayland desktop found (is DISPLAY set?)";
        SDL_Quit();
        return nullptr;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        error = SDL_GetError();
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<SdlBackend>(new SdlBackend(mode.w, mode.h));
}

SdlBackend::SdlBackend(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

SdlBackend::~SdlBackend() {
    if (window_)
        SDL_DestroyWindow(window_);
    SDL_Quit();
}

std::uint32_t SdlBackend::TickCount() {
    return SDL_GetTicks();
}

void SdlBackend::Sleep(std::uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}

bool SdlBackend::PollInput(InputEvent& event) {
    SDL_Event e;
    while (watch_.Gone() || SDL_PollEvent(&e)) {
        IntRect at = form_ ? form_->PixelRect() : IntRect{};
        event = InputEvent{};
        // A window destroyed by someone else closes the program, once.
        if (watch_.Gone() || watch_.Notice(e)) {
            if (closeReported_)
                return false;
            closeReported_ = true;
            event.type = InputEvent::Type::Close;
            return true;
        }
        switch (e.type) {
        case SDL_QUIT:
            event.type = InputEvent::Type::Close;
            return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                event.type = InputEvent::Type::Close;
                return true;
            }
            if (form_ && (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
                form_->InvalidateAll();
            }
            continue;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown
                                                       : InputEvent::Type::MouseUp;
            event.x = at.left + e.button.x;
            event.y = at.top + e.button.y;
            event.button = ButtonBit(e.button.button);
            event.time = e.button.timestamp;
            lastX_ = event.x;
            lastY_ = event.y;
            held_ = e.type == SDL_MOUSEBUTTONDOWN
                        ? static_cast<std::int16_t>(held_ | event.button)
                        : static_cast<std::int16_t>(held_ & ~event.button);
            event.shift = ShiftBits(static_cast<Uint16>(SDL_GetModState()));
            if (event.button == 0)
                continue;
            return true;
        case SDL_MOUSEMOTION:
            event.type = InputEvent::Type::MouseMove;
            event.x = at.left + e.motion.x;
            event.y = at.top + e.motion.y;
            event.buttons = ButtonBits(e.motion.state);
            event.shift = ShiftBits(static_cast<Uint16>(SDL_GetModState()));
            lastX_ = event.x;
            lastY_ = event.y;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            event.type =
                e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
            event.keyCode = VirtualKey(e.key.keysym.sym);
            event.shift = ShiftBits(e.key.keysym.mod);
            if (event.keyCode == 0)
                continue;
            return true;
        default:
            continue;
        }
    }
    // SDL reports motion relative to the window and drops a move that leaves that
    // position unchanged, which is just what happens while the window is dragged along
    // with the pointer. While a button is held, ask where the pointer is on the screen.
    int gx, gy;
    if (held_ != 0 && PointerOnScreen(gx, gy) && (gx != lastX_ || gy != lastY_)) {
        event = InputEvent{};
        event.type = InputEvent::Type::MouseMove;
        event.x = lastX_ = gx;
        event.y = lastY_ = gy;
        event.buttons = held_;
        event.shift = ShiftBits(static_cast<Uint16>(SDL_GetModState()));
        return true;
    }
    return false;
}

bool SdlBackend::PointerOnScreen(int& x, int& y) {
    if (!window_)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    // Asks the X server itself: SDL's own global state can lag behind.
    ::Window root, child;
    int wx, wy;
    unsigned mask;
    if (!XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &x, &y, &wx, &wy,
                       &mask))
        return false;
    // Screen coordinates as the window's own geometry places them.
    IntRect at = form_ ? form_->PixelRect() : IntRect{};
    x = at.left + wx;
    y = at.top + wy;
    return true;
}

void SdlBackend::WindowChanged(Form& form) {
    form_ = &form;
    IntRect r = form.PixelRect();
    if (!window_) {
        window_ = SDL_CreateWindow(form.Caption().c_str(), r.left, r.top, r.Width(), r.Height(),
                                   SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
        if (!window_) {
            SDL_Log("ozmir: cannot create the window: %s", SDL_GetError());
            return;
        }
        watch_.Watch(window_);
    }
    const Bitmap& icon = form.Icon();
    if (icon.Width() > 0 && (iconShown_ != &icon || iconWidth_ != icon.Width())) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<Pixel*>(icon.Data()), icon.Width(), icon.Height(), 32, icon.Width() * 4,
            SDL_PIXELFORMAT_RGB888);
        if (s) {
            SDL_SetWindowIcon(window_, s);
            SDL_FreeSurface(s);
        }
        iconShown_ = &icon;
        iconWidth_ = icon.Width();
    }
    // Covering the whole display is the desktop's full-screen state, so that the window
    // lies above its panels; anything else is a plain borderless window.
    bool cover =
        r.left == 0 && r.top == 0 && r.Width() == screenWidth_ && r.Height() == screenHeight_;
    if (cover != fullscreen_) {
        if (!cover)
            SDL_SetWindowFullscreen(window_, 0);
        fullscreen_ = cover;
    }
    if (!cover) {
        SDL_SetWindowSize(window_, r.Width(), r.Height());
        SDL_SetWindowPosition(window_, r.left, r.top);
    } else {
        SDL_SetWindowPosition(window_, 0, 0);
        SDL_SetWindowSize(window_, r.Width(), r.Height());
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (form.Shown()) {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
    }
    form.InvalidateAll();
}

void SdlBackend::Present(const Bitmap& image, const IntRect* regions, int count) {
    if (!window_ || watch_.Gone())
        return;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface)
        return;
    SDL_Rect rects[32];
    int n = 0;
    IntRect bounds = IntRect{0, 0, surface->w, surface->h}.Intersected(image.Bounds());
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    for (int i = 0; i < count && n < 32; ++i) {
        IntRect r = regions[i].Intersected(bounds);
        if (r.IsEmpty())
            continue;
        auto* dst = static_cast<unsigned char*>(surface->pixels) + r.top * surface->pitch +
                    r.left * surface->format->BytesPerPixel;
        SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_RGB888, image.Row(r.top) + r.left,
                          image.Width() * 4, surface->format->format, dst, surface->pitch);
        rects[n++] = SDL_Rect{r.left, r.top, r.Width(), r.Height()};
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (n > 0)
        SDL_UpdateWindowSurfaceRects(window_, rects, n);
}

void SdlBackend::WindowClosed(Form& form) {
    if (form_ != &form)
        return;
    if (window_) {
        SDL_DestroyWindow(window_);
        watch_.Settle();
        window_ = nullptr;
    }
    form_ = nullptr;
}

} // namespace oz
