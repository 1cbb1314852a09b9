#include "platform/displays/XWindowWatch.h"

#include <SDL_syswm.h>

namespace oz {

namespace {

// Xlib calls its error handler from deep inside any call, with no way to pass state: the
// watched window lives here.
SDL_Window* window = nullptr;
::Window watched = 0; // its X window now: SDL may replace the X window of an SDL window
Display* display = nullptr;
bool gone = false;
bool unmapped = false;
XErrorHandler previous = nullptr;

::Window CurrentXWindow() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    display = info.info.x11.display;
    return info.info.x11.window;
}

int OnXError(Display* from, XErrorEvent* error) {
    if (watched != 0 && error->resourceid == watched)
        gone = true;
    if (gone)
        return 0; // requests that still named the lost window: nothing to report
    return previous ? previous(from, error) : 0;
}

void ListenForErrors() {
    XErrorHandler before = XSetErrorHandler(OnXError);
    if (before != OnXError)
        previous = before;
}

} // namespace

void XWindowWatch::Expect(unsigned long id) {
    watched = id;
    gone = false;
    ListenForErrors();
}

void XWindowWatch::Watch(SDL_Window* sdlWindow, bool mapped) {
    window = sdlWindow;
    const ::Window now = CurrentXWindow();
    if (now != watched)
        gone = false;
    watched = now;
    unmapped = !mapped;
    if (watched == 0)
        return;
    ListenForErrors();
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool XWindowWatch::Notice(const SDL_Event& event) {
    if (event.type == SDL_SYSWMEVENT && event.syswm.msg->subsystem == SDL_SYSWM_X11) {
        const XEvent& x = event.syswm.msg->msg.x11.event;
        if (x.type == DestroyNotify) {
            // The window SDL shows now, not one it has replaced.
            watched = CurrentXWindow();
            if (watched != 0 && x.xdestroywindow.window == watched)
                gone = true;
        } else if (x.type == UnmapNotify && x.xunmap.window == watched) {
            unmapped = true;
        } else if (x.type == MapNotify && x.xmap.window == watched) {
            unmapped = false;
        }
    }
    return gone;
}

void XWindowWatch::Settle() {
    if (display != nullptr)
        XSync(display, False);
}

bool XWindowWatch::Gone() const {
    return gone;
}

bool XWindowWatch::Unmapped() const {
    return unmapped;
}

} // namespace oz
