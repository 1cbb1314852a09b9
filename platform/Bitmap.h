#pragma once
// A surface's persistent image: a plain grid of 0x00RRGGBB pixels, cut into tiles that
// remember what changed.
//
// Every write marks the tiles it touches as changed, until TakeDamage hands them out as a
// few rectangles; that is how a window composes and shows only what was drawn. A tile also
// remembers when it is known to hold one colour, so that filling it with that colour again
// (clearing an already black view) writes nothing and changes nothing. Writers that go
// through the raw rows say what they touch first (Touch, then WritableRow); the plain
// mutable Row and Data count their whole rows, or the whole image, as changed.

#include "platform/Color.h"

#include <cstddef>
#include <cstdint>
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
    static constexpr int kTileShift = 4;
    static constexpr int kTileSize = 1 << kTileShift; // pixels across and down a tile

    Bitmap() = default;
    Bitmap(int width, int height, Pixel fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    IntRect Bounds() const { return {0, 0, width_, height_}; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Keeps the pixels that still fit; new area takes the fill.
    void Resize(int width, int height, Pixel fill = 0);
    void Fill(Pixel p);
    void FillRect(const IntRect& r, Pixel p);      // clipped
    void FillSpan(int y, int x0, int x1, Pixel p); // pixels [x0, x1) of row y, clipped

    Pixel Get(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, Pixel p) {
        const size_t t = TileOf(x, y);
        if (tileFlags_[t] & kUniform) {
            if (tileColors_[t] == p)
                return; // already that colour
        }
        tileFlags_[t] = kChanged;
        pixels_[static_cast<size_t>(y) * width_ + x] = p;
    }
    Pixel* Row(int y); // counts the row's tiles as changed
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    Pixel* Data(); // counts the whole image as changed
    const Pixel* Data() const { return pixels_.data(); }

    // For writers that have marked what they write with Touch.
    void Touch(const IntRect& r); // clipped; the colours there become unknown
    Pixel* WritableRow(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }

    // Rectangles, at most maxRects of them, that together cover every tile changed since the
    // last call, and forgets those changes. Runs of changed tiles along each row of tiles
    // make the rectangles, runs over the same columns in consecutive rows joining into one;
    // when that takes more than maxRects, the same is done with tiles twice as large, and so
    // on. Returns how many rectangles were written to `out`.
    int TakeDamage(IntRect* out, int maxRects);
    void ForgetDamage();

    // Copies a region of another image (clipped on both sides).
    void CopyFrom(const Bitmap& src, const IntRect& srcRect, int dstX, int dstY);

private:
    enum : std::uint8_t { kChanged = 1, kUniform = 2 };

    size_t TileOf(int x, int y) const {
        return static_cast<size_t>(y >> kTileShift) * tilesAcross_ + (x >> kTileShift);
    }
    int MergeRuns(int across, int down, int shift, IntRect* out, int maxRects);

    int width_ = 0, height_ = 0;
    std::vector<Pixel> pixels_;
    int tilesAcross_ = 0, tilesDown_ = 0;
    std::vector<std::uint8_t> tileFlags_; // kChanged, kUniform
    std::vector<Pixel> tileColors_;       // the colour of a kUniform tile
    // Scratch for TakeDamage: the changed tiles (then blocks of them), and the rectangles
    // that end on the previous and the current row of blocks.
    std::vector<std::uint8_t> blocks_;
    std::vector<int> previousRuns_, currentRuns_;
};

} // namespace oz
