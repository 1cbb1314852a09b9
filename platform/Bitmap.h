#pragma once
// A surface's persistent image: a plain grid of 0x00RRGGBB pixels.

#include "platform/Color.h"

#include <cstddef>
#include <vector>

namespace oz {

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right column and bottom row excluded

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    IntRect Intersected(const IntRect& o) const;
    IntRect Translated(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Pixel fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    IntRect Bounds() const { return {0, 0, width_, height_}; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Keeps the pixels that still fit; new area takes the fill.
    void Resize(int width, int height, Pixel fill = 0);
    void Fill(Pixel p);
    void FillRect(const IntRect& r, Pixel p); // clipped

    Pixel Get(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, Pixel p) { pixels_[static_cast<size_t>(y) * width_ + x] = p; }
    Pixel* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    Pixel* Data() { return pixels_.data(); }
    const Pixel* Data() const { return pixels_.data(); }

    // Copies a region of another image (clipped on both sides).
    void CopyFrom(const Bitmap& src, const IntRect& srcRect, int dstX, int dstY);

private:
    int width_ = 0, height_ = 0;
    std::vector<Pixel> pixels_;
};

} // namespace oz
