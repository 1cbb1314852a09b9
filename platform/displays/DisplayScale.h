#pragma once
// Window mode on a high-density display: the program lays itself out in logical pixels and
// the display shows each of them as a square of scale × scale physical pixels.

#include "platform/pixels/Bitmap.h"

#include <string>

namespace oz {

// The integer scale of a desktop: OZMIR_SCALE when it holds a whole number from 1 to 8,
// otherwise the display's dots per inch over 96 (2 from about 180 dpi on), and never so large
// that a window of fitWidth × fitHeight logical pixels no longer fits on the display. Any
// other value of OZMIR_SCALE is ignored, and `warning` (when given) gets one line saying so.
int DesktopScale(const char* scaleEnv, float dpi, int displayWidth, int displayHeight, int fitWidth,
                 int fitHeight, std::string* warning = nullptr);

// Where a window of logical rect `logical` lies on the display at `scale`: scaled about the
// display's centre, so a centred window stays centred and a move of one logical pixel moves
// it by `scale` physical pixels.
IntRect PhysicalWindowRect(const IntRect& logical, int displayWidth, int displayHeight, int scale);

// Copies `region` of `image` into `target` enlarged `scale` times: logical pixel (x, y)
// becomes the square at (x × scale, y × scale). Returns the physical rectangle written,
// clipped to both images.
IntRect ScaleRegion(const Bitmap& image, const IntRect& region, int scale, Bitmap& target);

} // namespace oz
