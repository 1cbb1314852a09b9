#pragma once
// The pixel rules under the drawing calls. Every function clips to the image first:
// nothing is written outside it, and no loop steps over pixels that lie off it.

#include "platform/pixels/Bitmap.h"

#include <cstdint>

namespace oz::raster {

enum class Rop { Copy, Or, And };

// A straight line from (x0, y0) to (x1, y1). A width of 0 or 1 is one pixel wide and
// leaves out the end point; wider lines are stroked with round ends and include it.
void DrawLine(Bitmap& image, int x0, int y0, int x1, int y1, Pixel color, int width,
              bool includeEnd = false);

// The outline of the box (right column and bottom row excluded), `width` pixels thick
// inside the box, and its inside filled when `fill` is set.
void DrawRectangle(Bitmap& image, const IntRect& box, Pixel outline, int width, bool fill,
                   Pixel fillColor);

// The ellipse inscribed in the box (right column and bottom row excluded): a ring of
// `width` pixels in the outline colour and the inside in the fill colour when `fill`.
void DrawEllipse(Bitmap& image, const IntRect& box, Pixel outline, int width, bool fill,
                 Pixel fillColor);

void Blit(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int srcX, int srcY,
          Rop rop);
// Nearest-neighbour scaling of the source rectangle onto the destination rectangle.
void StretchBlit(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int srcX,
                 int srcY, int srcWidth, int srcHeight, Rop rop);

} // namespace oz::raster
