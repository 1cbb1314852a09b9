#pragma once
// Whether an X display has put its monitors to sleep (DPMS standby, suspend or off). A
// server without DPMS never sleeps; one with DPMS disabled neither.

#include <X11/Xlib.h>

namespace oz {

class DisplayPower {
public:
    // One round trip to the server for the answer (two the first time on a display).
    bool Asleep(Display* display);

private:
    Display* asked_ = nullptr; // the display whose DPMS support was asked
    bool capable_ = false;
};

} // namespace oz
