#include "platform/Bitmap.h"

#include <algorithm>

namespace oz {

IntRect IntRect::Intersected(const IntRect& o) const {
    IntRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
              std::min(bottom, o.bottom)};
    if (r.IsEmpty())
        return {};
    return r;
}

Bitmap::Bitmap(int width, int height, Pixel fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Bitmap::Resize(int width, int height, Pixel fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    Bitmap grown(width, height, fill);
    grown.CopyFrom(*this, Bounds(), 0, 0);
    *this = std::move(grown);
}

void Bitmap::Fill(Pixel p) {
    std::fill(pixels_.begin(), pixels_.end(), p);
}

void Bitmap::FillRect(const IntRect& r, Pixel p) {
    IntRect c = r.Intersected(Bounds());
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(Row(y) + c.left, Row(y) + c.right, p);
}

void Bitmap::CopyFrom(const Bitmap& src, const IntRect& srcRect, int dstX, int dstY) {
    IntRect s = srcRect.Intersected(src.Bounds());
    // Shift the destination with whatever the source clip removed.
    dstX += s.left - srcRect.left;
    dstY += s.top - srcRect.top;
    IntRect d = IntRect{dstX, dstY, dstX + s.Width(), dstY + s.Height()}.Intersected(Bounds());
    if (d.IsEmpty())
        return;
    int sx = s.left + (d.left - dstX), sy = s.top + (d.top - dstY);
    for (int y = 0; y < d.Height(); ++y)
        std::copy_n(src.Row(sy + y) + sx, d.Width(), Row(d.top + y) + d.left);
}

} // namespace oz
