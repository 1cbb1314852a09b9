#pragma once
// The window's image shown in an X11 window through a shared-memory image of our own.
//
// SDL's own window surface waits for the X server after every frame (a round trip, one
// more wake-up a frame). Here each frame's last put asks the server for a completion
// event instead, and the image is written again only once the server has read it: by the
// next frame that event has nearly always arrived, so the program waits for nothing.

#include "platform/pixels/Bitmap.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <memory>
#include <string>

namespace oz {

class X11ShmPresent {
public:
    // Null where the server cannot share memory with the program (it runs on another
    // machine) or the window's pixels are not laid out as the program's: 32 bits of
    // 0x00RRGGBB in the machine's byte order, at depth 24.
    static std::unique_ptr<X11ShmPresent> Create(Display* display, ::Window window);
    ~X11ShmPresent();
    X11ShmPresent(const X11ShmPresent&) = delete;
    X11ShmPresent& operator=(const X11ShmPresent&) = delete;

    // Shows the given regions of `image`, as much of them as lies in a window of
    // windowWidth x windowHeight. False, with the reason, when memory cannot be shared.
    bool Show(const Bitmap& image, const IntRect* regions, int count, int windowWidth,
              int windowHeight, std::string& error);

private:
    X11ShmPresent(Display* display, ::Window window, Visual* visual, int depth);
    // The shared image at the given size, made anew when the size changes.
    bool Fit(int width, int height, std::string& error);
    void Release();
    // Returns once the server has read the image put last.
    void WaitUntilRead();

    Display* display_;
    ::Window window_;
    Visual* visual_;
    int depth_;
    GC gc_ = nullptr;
    XShmSegmentInfo segment_{};
    XImage* image_ = nullptr;
    unsigned long lastPut_ = 0; // the request number of the put whose reading is awaited
    bool reading_ = false;      // the server may still be reading the image
};

} // namespace oz
