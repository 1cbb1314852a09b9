#include "platform/displays/XDisplayLoss.h"

#include "platform/forms/Printable.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace oz {

namespace {

int statusOnLoss = 1;

// Xlib ends the program itself when this returns: it does not return. Nothing may talk to
// the server any more, so the program ends here, without the clean-up that would.
int OnLostConnection(Display* display) {
    const char* name = display ? DisplayString(display) : nullptr;
    const std::string shown = Printable(name ? name : "", kLongestShownValue);
    std::fprintf(stderr, "ozmir: lost the connection to the X display '%s'\n", shown.c_str());
    std::fflush(stderr);
    _exit(statusOnLoss);
}

} // namespace

void EndWhenXDisplayIsLost(int exitStatus) {
    statusOnLoss = exitStatus;
    XSetIOErrorHandler(OnLostConnection);
}

} // namespace oz
