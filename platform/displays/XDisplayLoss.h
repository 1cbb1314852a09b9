#pragma once
// The X server going away (it ended, or its connection broke) ends the program with one
// line naming the display, instead of Xlib's report and status 1.

namespace oz {

// From now on a lost X connection prints "ozmir: lost the connection to the X display
// NAME" and ends the program with `exitStatus`. Replaces Xlib's handler (and SDL's).
void EndWhenXDisplayIsLost(int exitStatus);

} // namespace oz
