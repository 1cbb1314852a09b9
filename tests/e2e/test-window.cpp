// test-window: a plain X window for the end-to-end tests, as a screensaver would give one.
//
//   test-window WIDTHxHEIGHT+X+Y [input-only]
//
// Maps an undecorated window of one flat colour, RGB(32, 64, 96), prints its id in decimal
// and waits; ending the process takes the window away. With input-only the window is an
// InputOnly one, which nothing can draw into.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    unsigned width = 0, height = 0;
    int x = 0, y = 0;
    const bool inputOnly = argc == 3 && std::strcmp(argv[2], "input-only") == 0;
    if ((argc != 2 && !inputOnly) ||
        std::sscanf(argv[1], "%ux%u+%d+%d", &width, &height, &x, &y) != 4 || width == 0 ||
        height == 0) {
        std::fprintf(stderr, "usage: test-window WIDTHxHEIGHT+X+Y [input-only]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "test-window: cannot open the display\n");
        return 1;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x204060;
    attributes.override_redirect = True;
    Window window = XCreateWindow(
        display, DefaultRootWindow(display), x, y, width, height, 0, inputOnly ? 0 : CopyFromParent,
        inputOnly ? InputOnly : InputOutput, CopyFromParent,
        inputOnly ? CWOverrideRedirect : CWBackPixel | CWOverrideRedirect, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}
