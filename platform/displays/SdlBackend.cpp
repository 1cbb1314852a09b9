#include "platform/displays/SdlBackend.h"

#include "platform/displays/DisplayScale.h"
#include "platform/displays/InterruptibleWait.h"
#include "platform/displays/Termination.h"
#include "platform/displays/X11ShmPresent.h"
#include "platform/displays/XDisplayLoss.h"
#include "platform/forms/Form.h"
#include "platform/forms/Printable.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

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

// Window mode's size in logical pixels, which a scaled window must still fit on the display.
constexpr int kWindowModeWidth = 800;
constexpr int kWindowModeHeight = 600;

// Asked whether a window exists, the X server answers with an error when it does not: an
// answer, not a failure that should end the program.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// An environment variable's value as a message shows it.
std::string ShownEnv(const char* name) {
    const char* value = SDL_getenv(name);
    return std::string(name) + " '" + Printable(value ? value : "", kLongestShownValue) + "'";
}

// Xft.dpi from the X resources, 0 when it is not set.
float DesktopDpi() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0)
        return 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    float dpi = 0;
    if (const char* resources = XResourceManagerString(display)) {
        const char* at = std::strstr(resources, "Xft.dpi:");
        if (at && (at == resources || at[-1] == '\n'))
            dpi = std::strtof(at + 8, nullptr);
    }
    XCloseDisplay(display);
    return dpi;
}

} // namespace

std::unique_ptr<SdlBackend> SdlBackend::Create(std::string& error, const SdlDisplayRequest& request,
                                               SdlStartProblem* problem) {
    SdlStartProblem why = SdlStartProblem::NoDisplay;
    if (problem)
        *problem = why;
    auto set = [](const char* name) {
        const char* v = SDL_getenv(name);
        return v && *v;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) {
        error = "cannot open a display: no X11 or Wayland desktop found (DISPLAY and "
                "WAYLAND_DISPLAY are not set)";
        return nullptr;
    }
    // A Wayland session gets a native Wayland window; the screensaver modes draw into X11
    // windows, which XWayland still offers there.
    const bool screensaver = request.root || request.window != 0;
    if (screensaver && !set("DISPLAY") && !set("SDL_VIDEODRIVER")) {
        error = "screensaver mode needs an X11 display, and this Wayland session has none "
                "(DISPLAY is not set)";
        if (problem)
            *problem = SdlStartProblem::Refused;
        return nullptr;
    }
    const bool x11Only = (screensaver || !set("WAYLAND_DISPLAY")) && !set("SDL_VIDEODRIVER");
    if (!set("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, x11Only ? "x11" : "wayland,x11");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A display that is still starting up refuses the first connection: try a few times.
    int attempts = 0;
    while (SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (++attempts == 5) {
            if (x11Only)
                error = "cannot open the X display (" + ShownEnv("DISPLAY") + ")";
            else
                error = "cannot open a display (" + ShownEnv("WAYLAND_DISPLAY") + ", " +
                        ShownEnv("DISPLAY") + ", " + ShownEnv("SDL_VIDEODRIVER") +
                        "): " + Printable(SDL_GetError(), kLongestShownValue);
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
        error = "cannot open a display: no X11 or Wayland desktop found (is DISPLAY set?)";
        SDL_Quit();
        return nullptr;
    }
    // A display that goes away ends a screensaver quietly: its host chose to go.
    if (driver && std::strcmp(driver, "x11") == 0)
        EndWhenXDisplayIsLost(screensaver ? 0 : 1);
    // The image is drawn on the CPU: on X11 the window's shared-memory image is the cheapest
    // way to the screen, where a texture on software OpenGL costs tens of ms a frame. Only a
    // default, which SDL_FRAMEBUFFER_ACCELERATION in the environment overrides, and only
    // where the driver has a framebuffer of its own: on Wayland the program shows its own
    // shared-memory buffers, and SDL's way is left for when it cannot.
    if (driver && std::strcmp(driver, "x11") == 0)
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    std::unique_ptr<SdlBackend> backend(new SdlBackend(0, 0));
    const bool ready = screensaver ? backend->AdoptWindow(request, error, why)
                                   : backend->ChooseDisplay(request.display, error, why);
    if (problem)
        *problem = ready ? SdlStartProblem::NoProblem : why;
    if (!ready)
        return nullptr;
    return backend;
}

bool SdlBackend::ChooseDisplay(int requested, std::string& error, SdlStartProblem& problem) {
    const int count = SDL_GetNumVideoDisplays();
    int index = 0;
    if (requested >= 0) {
        if (requested >= count) {
            error = "--display " + std::to_string(requested) + ": there is no such display (" +
                    std::to_string(count) + " found, numbered from 0)";
            problem = SdlStartProblem::Refused;
            return false;
        }
        index = requested;
    } else {
        // The display under the pointer.
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        const SDL_Point pointer{x, y};
        for (int i = 0; i < count; ++i) {
            SDL_Rect bounds;
            if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&pointer, &bounds)) {
                index = i;
                break;
            }
        }
    }
    SDL_DisplayMode mode;
    SDL_Rect bounds;
    if (SDL_GetDesktopDisplayMode(index, &mode) != 0 || SDL_GetDisplayBounds(index, &bounds) != 0) {
        error = "cannot open a display: " + Printable(SDL_GetError(), kLongestShownValue);
        return false;
    }
    display_ = index;
    screenWidth_ = mode.w;
    screenHeight_ = mode.h;
    originX_ = bounds.x;
    originY_ = bounds.y;
    // On X11 the desktop's own setting first (Xft.dpi, which desktops raise when they
    // scale), then what the display says of itself. Elsewhere the compositor scales
    // windows itself.
    float dpi = DesktopDpi();
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool x11 = driver && std::strcmp(driver, "x11") == 0;
    if (x11 && dpi <= 0 && SDL_GetDisplayDPI(index, &dpi, nullptr, nullptr) != 0)
        dpi = 0;
    std::string warning;
    scale_ = DesktopScale(SDL_getenv("OZMIR_SCALE"), dpi, mode.w, mode.h, kWindowModeWidth,
                          kWindowModeHeight, &warning);
    if (!warning.empty())
        std::fprintf(stderr, "ozmir: %s\n", warning.c_str());
    // A Wayland compositor places and scales windows itself; the buffers follow its scale.
    if (driver && std::strcmp(driver, "wayland") == 0)
        scale_ = 1;
    return true;
}

bool SdlBackend::AdoptWindow(const SdlDisplayRequest& request, std::string& error,
                             SdlStartProblem& problem) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) {
        error = "drawing into another window needs an X11 display";
        problem = SdlStartProblem::Refused;
        return false;
    }
    // Ask the X server about the window on a connection of our own, before SDL touches it.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (" + ShownEnv("DISPLAY") + ")";
        return false;
    }
    const unsigned long id = request.root ? DefaultRootWindow(display) : request.window;
    XErrorHandler before = XSetErrorHandler(IgnoreXError);
    XWindowAttributes attributes;
    const bool exists = XGetWindowAttributes(display, id, &attributes) != 0;
    XCloseDisplay(display);
    XSetErrorHandler(before);
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", id);
    const std::string named =
        std::string(request.windowFromHost ? "XSCREENSAVER_WINDOW " : "--window-id ") + hex;
    // The screensaver's own window may go away before the program gets to it: its host is
    // done with it, and there is nothing to report. A window the user named must be there.
    auto lost = [&] {
        if (request.windowFromHost) {
            error.clear();
            problem = SdlStartProblem::HostWindowGone;
        } else {
            error = named + ": there is no such window";
            problem = SdlStartProblem::Refused;
        }
        return false;
    };
    if (!exists)
        return lost();
    if (attributes.c_class == InputOnly) {
        error = named + ": the window is InputOnly and cannot be drawn into";
        problem = SdlStartProblem::Refused;
        return false;
    }

    // From here on an error about the window means it went away meanwhile.
    watch_.Expect(id);
    window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id)));
    if (!window_) {
        if (watch_.Gone())
            return lost();
        error = std::string("cannot draw into window ") + hex + ": " +
                Printable(SDL_GetError(), kLongestShownValue);
        return false;
    }
    adopted_ = id;
    adoptedRoot_ = request.root;
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    FollowAdoptedSize(width, height);
    // Hear when the window changes size or goes away; its owner keeps its input.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
        XWindowAttributes own;
        if (XGetWindowAttributes(info.info.x11.display, id, &own))
            XSelectInput(info.info.x11.display, id, own.your_event_mask | StructureNotifyMask);
        XSync(info.info.x11.display, False);
    }
    // Its owner may destroy it or unmap it at any moment.
    watch_.Watch(window_, attributes.map_state != IsUnmapped);
    if (watch_.Gone())
        return lost();
    return true;
}

void SdlBackend::FollowAdoptedSize(int width, int height) {
    screenWidth_ = std::clamp(width, 1, kLargestAdoptedSide);
    screenHeight_ = std::clamp(height, 1, kLargestAdoptedSide);
}

int SdlBackend::Logical(int physical) const {
    const int scale = fullscreen_ || adopted_ != 0 ? 1 : scale_;
    return physical >= 0 ? physical / scale : -((-physical + scale - 1) / scale);
}

SdlBackend::SdlBackend(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

SdlBackend::~SdlBackend() {
    wayland_.reset();
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

// The monotonic clock that clock_nanosleep sleeps on, so that a frame wakes when it is due.
std::uint64_t SdlBackend::TickMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

// Finer than SDL_Delay's milliseconds; a request to stop cuts the sleep short.
void SdlBackend::SleepUntilMicroseconds(std::uint64_t due) {
    const timespec at{static_cast<time_t>(due / 1000000), static_cast<long>(due % 1000000) * 1000};
    while (!TerminationRequested() &&
           clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

bool SdlBackend::Showing() {
    if (!window_)
        return true;
    // SDL follows its own window's state; the map state of another program's window
    // comes from the watch.
    const Uint32 hidden = SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED;
    if (adopted_ != 0 ? watch_.Unmapped() : (SDL_GetWindowFlags(window_) & hidden) != 0)
        return false;
    // A Wayland compositor tells no window that nobody sees it, but stops drawing it.
    if (wayland_ && wayland_->Unseen(SDL_GetTicks()))
        return false;
    // DPMS sends no events: ask twice a second while the monitors are on, and at every
    // wake-up while they sleep.
    const std::uint32_t now = SDL_GetTicks();
    if (asleep_ || now - powerAskedAt_ >= 500) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        asleep_ = SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11 &&
                  power_.Asleep(info.info.x11.display);
        powerAskedAt_ = now;
    }
    return !asleep_;
}

// On X11 the wait is on the display's connection, which SIGTERM cuts short; SDL's own wait
// would sleep through it.
void SdlBackend::WaitForInput(std::uint32_t milliseconds) {
    if (TerminationRequested() || watch_.Gone())
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window_ || !SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) {
        SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
        return;
    }
    // The dispatch before emptied the connection into SDL's queue; only what Xlib read while
    // waiting for a reply since (asking about DPMS) may still lie in Xlib's queue.
    Display* display = info.info.x11.display;
    XFlush(display);
    if (!SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) && XEventsQueued(display, QueuedAlready) == 0)
        WaitReadableOrTerminated(ConnectionNumber(display), milliseconds);
}

int SdlBackend::RefreshRate() {
    const int index = window_ ? SDL_GetWindowDisplayIndex(window_) : display_;
    SDL_DisplayMode mode;
    if (index < 0 || SDL_GetCurrentDisplayMode(index, &mode) != 0)
        return 0;
    return mode.refresh_rate;
}

bool SdlBackend::PollInput(InputEvent& event) {
    if (adopted_ != 0)
        return PollAdoptedWindow(event);
    if ((TerminationRequested() || !failure_.empty()) && !closeReported_) {
        closeReported_ = true;
        event = InputEvent{};
        event.type = InputEvent::Type::Close;
        return true;
    }
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
            if (wayland_ && wayland_->Lost())
                Fail("the connection to the Wayland compositor was lost");
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
            event.x = at.left + Logical(e.button.x);
            event.y = at.top + Logical(e.button.y);
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
            event.x = at.left + Logical(e.motion.x);
            event.y = at.top + Logical(e.motion.y);
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

// Another program's window takes no input from us: only its changes of size, its end, and
// a request to terminate reach the program.
bool SdlBackend::PollAdoptedWindow(InputEvent& event) {
    SDL_Event e;
    bool quit = false;
    while (!quit && !watch_.Gone() && SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) {
            quit = true;
        } else if (watch_.Notice(e)) {
            break;
        } else if (e.type == SDL_WINDOWEVENT) {
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                FollowAdoptedSize(e.window.data1, e.window.data2);
            if (form_)
                form_->InvalidateAll();
        }
    }
    if (closeReported_ || (!quit && !watch_.Gone() && !TerminationRequested()))
        return false;
    closeReported_ = true;
    event = InputEvent{};
    event.type = InputEvent::Type::Close;
    return true;
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
    x = at.left + Logical(wx);
    y = at.top + Logical(wy);
    return true;
}

void SdlBackend::WindowChanged(Form& form) {
    form_ = &form;
    if (adopted_ != 0) {
        // The window is its owner's: the program only follows its size, and shows nothing
        // until it covers all of it.
        const IntRect r = form.PixelRect();
        fullscreen_ =
            r.left == 0 && r.top == 0 && r.Width() == screenWidth_ && r.Height() == screenHeight_;
        form.InvalidateAll();
        return;
    }
    IntRect r = form.PixelRect();
    // Covering the whole display is the desktop's full-screen state, so that the window
    // lies above its panels; anything else is a plain borderless window.
    bool cover =
        r.left == 0 && r.top == 0 && r.Width() == screenWidth_ && r.Height() == screenHeight_;
    // Window mode on a scaled display: the window's place and size there, and the image
    // it shows.
    const IntRect shown = cover ? r : PhysicalWindowRect(r, screenWidth_, screenHeight_, scale_);
    if (scale_ > 1 && !cover &&
        (scaled_.Width() != shown.Width() || scaled_.Height() != shown.Height()))
        scaled_.Resize(shown.Width(), shown.Height());
    if (!window_) {
        // Made on the chosen display, then placed below.
        // On Wayland the window's buffers have the output's own pixels (ALLOW_HIGHDPI);
        // elsewhere the flag changes nothing.
        window_ = SDL_CreateWindow(
            form.Caption().c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(display_),
            SDL_WINDOWPOS_CENTERED_DISPLAY(display_), shown.Width(), shown.Height(),
            SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) {
            Fail("cannot create the window: " + Printable(SDL_GetError(), kLongestShownValue));
            return;
        }
        watch_.Watch(window_);
        StartWayland();
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
    if (cover != fullscreen_) {
        if (!cover)
            SDL_SetWindowFullscreen(window_, 0);
        fullscreen_ = cover;
    }
    if (!cover) {
        SDL_SetWindowSize(window_, shown.Width(), shown.Height());
        SDL_SetWindowPosition(window_, originX_ + shown.left, originY_ + shown.top);
    } else {
        SDL_SetWindowPosition(window_, originX_, originY_);
        SDL_SetWindowSize(window_, r.Width(), r.Height());
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (form.Shown()) {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
    }
    form.InvalidateAll();
}

namespace {

// Copies the given regions of `image` into SDL's window surface and shows them, as many
// rectangles to one request as SDL takes. False when the window has no surface.
bool ShowOnSurface(SDL_Window* window, const Bitmap& image, const IntRect* regions, int count) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface)
        return false;
    SDL_Rect rects[1024];
    int n = 0;
    IntRect bounds = IntRect{0, 0, surface->w, surface->h}.Intersected(image.Bounds());
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    for (int i = 0; i < count; ++i) {
        if (n == 1024) { // more regions than one update takes: show these first
            SDL_UpdateWindowSurfaceRects(window, rects, n);
            n = 0;
        }
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
        SDL_UpdateWindowSurfaceRects(window, rects, n);
    return true;
}

// A press on the window's grey background moves the window: on Wayland only the
// compositor can move it, and SDL hands it the move for the areas named draggable.
SDL_HitTestResult BackgroundMoves(SDL_Window* window, const SDL_Point* at, void* data) {
    const Form* form = *static_cast<Form**>(data);
    const bool fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    return form && !fullscreen && form->BackgroundAt(at->x, at->y) ? SDL_HITTEST_DRAGGABLE
                                                                   : SDL_HITTEST_NORMAL;
}

} // namespace

void SdlBackend::Present(const Bitmap& image, const IntRect* regions, int count) {
    if (!window_ || watch_.Gone() || !failure_.empty())
        return;
    if (adopted_ != 0 && !fullscreen_)
        return;
    if (wayland_)
        PresentOnWayland(image, regions, count);
    else if (scale_ > 1 && !fullscreen_)
        PresentScaled(image, regions, count);
    else if (!ShowRegions(image, regions, count))
        Fail(std::string("cannot show the window: ") + SDL_GetError());
}

bool SdlBackend::ShowRegions(const Bitmap& image, const IntRect* regions, int count) {
    if (!x11Asked_) {
        x11Asked_ = true;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        // SDL_FRAMEBUFFER_ACCELERATION=1 in the environment still asks for SDL's OpenGL.
        const char* accelerated = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
        if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11 &&
            (!accelerated || std::strcmp(accelerated, "0") == 0))
            x11_ = X11ShmPresent::Create(info.info.x11.display, info.info.x11.window);
    }
    if (x11_) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        std::string error;
        if (x11_->Show(image, regions, count, w, h, error))
            return true;
        // SDL's own way to the window still works, at its cost.
        SDL_Log("ozmir: %s; showing the window through SDL instead", error.c_str());
        x11_.reset();
    }
    return ShowOnSurface(window_, image, regions, count);
}

void SdlBackend::Fail(const std::string& cause) {
    if (failure_.empty())
        failure_ = cause;
}

void SdlBackend::StartWayland() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
        return;
    std::string error;
    wayland_ = WaylandPresent::Create(info.info.wl.display, info.info.wl.surface, error);
    if (!wayland_) // SDL's own way to the screen still works, at its cost
        SDL_Log("ozmir: %s; showing the window through SDL instead", error.c_str());
    SDL_SetWindowHitTest(window_, BackgroundMoves, &form_);
}

// The window's image in buffers at the output's scale: each region enlarged, then shown.
// Only a shown window has a surface the compositor takes buffers for.
void SdlBackend::PresentOnWayland(const Bitmap& image, const IntRect* regions, int count) {
    if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) == 0)
        return;
    int w, h, pw, ph;
    SDL_GetWindowSize(window_, &w, &h);
    SDL_GetWindowSizeInPixels(window_, &pw, &ph);
    const int scale = w > 0 && pw >= 2 * w ? pw / w : 1;
    std::string error;
    if (scale == 1) {
        if (!wayland_->Show(image, regions, count, 1, error))
            Fail(error);
        return;
    }
    // At a new scale the enlarged image is made anew, all of it.
    const IntRect whole = image.Bounds();
    if (scaled_.Width() != image.Width() * scale || scaled_.Height() != image.Height() * scale) {
        scaled_.Resize(image.Width() * scale, image.Height() * scale);
        regions = &whole;
        count = 1;
    }
    for (int i = 0; i < count;) {
        int n = 0;
        for (; i < count && n < kBufferRects; ++i)
            bufferRects_[n++] = ScaleRegion(image, regions[i], scale, scaled_);
        if (!wayland_->Show(scaled_, bufferRects_, n, scale, error)) {
            Fail(error);
            return;
        }
    }
}

// Window mode on a scaled display: each region enlarged into the scaled image, then shown.
void SdlBackend::PresentScaled(const Bitmap& image, const IntRect* regions, int count) {
    IntRect scaled[256];
    for (int i = 0; i < count;) {
        int n = 0;
        for (; i < count && n < 256; ++i)
            scaled[n++] = ScaleRegion(image, regions[i], scale_, scaled_);
        if (!ShowRegions(scaled_, scaled, n)) {
            Fail(std::string("cannot show the window: ") + SDL_GetError());
            return;
        }
    }
}

void SdlBackend::ClearRootWindow() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    XClearWindow(info.info.x11.display, adopted_);
    XSync(info.info.x11.display, False);
}

void SdlBackend::WindowClosed(Form& form) {
    if (form_ != &form)
        return;
    if (window_ && adoptedRoot_)
        ClearRootWindow();
    if (window_) {
        wayland_.reset();
        x11_.reset();
        x11Asked_ = false;
        SDL_DestroyWindow(window_);
        watch_.Settle();
        window_ = nullptr;
    }
    form_ = nullptr;
}

} // namespace oz
