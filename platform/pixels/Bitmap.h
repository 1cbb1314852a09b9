#pragma once
// A surface's persistent image: a plain grid of 0x00RRGGBB pixels, cut into tiles that
// remember what changed.
//
// Every write marks the tiles it touches as changed, until TakeDamage hands them out as a
// few rectangles; that is how a window composes and shows only what was drawn. A tile also
// remembers when it is known to hold one colour, so that filling it with that colour again
// (clearing an already black view) writes nothing and changes nothing. The changed tiles,
// and the tiles written since the whole image was last filled with one colour, are also
// kept in lists, so that clearing a whole frame and collecting its damage cost what was
// drawn, not the size of the image. Writers that go through the raw rows say what they
// touch first (Touch, then WritableRow); the plain mutable Row and Data count their whole
// rows, or the whole image, as changed.

#include "platform/pixels/Color.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
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
    bool operator==(const IntRect&) const = default;
};

void AdviseHugePages(void* p, size_t bytes);

// Large images live on huge pages where the system offers them: a frame's damage is
// spread over many rows, and on small pages every row of it costs a page-table walk.
template <class T> struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U> PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(size_t n);
    void deallocate(T* p, size_t) { std::free(p); }
    bool operator==(const PixelAllocator&) const { return true; }
};

class Bitmap {
public:
    static constexpr int kTileShift = 3;
    static constexpr int kTileSize = 1 << kTileShift; // pixels across and down a tile

    Bitmap() = default;
    Bitmap(int width, int height, Pixel fill = 0);

    // On (the default), writes that would change no pixel are left out, and filling the
    // whole image visits only the tiles written since it was last filled. Off, every write
    // is carried out in full, for tests that compare both ways.
    static void SetShortcuts(bool on) { shortcuts_ = on; }

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
        if (Holds(t, p))
            return; // already that colour
        Written(t);
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
    // kChanged: in changed_; kListed: in written_; kUniform: holds tileColors_ only.
    enum : std::uint8_t { kChanged = 1, kUniform = 2, kListed = 4 };

    static inline bool shortcuts_ = true;

    // Whether the tile is known to hold only p (and shortcuts may rely on it).
    bool Holds(size_t t, Pixel p) const {
        return shortcuts_ && (tileFlags_[t] & kUniform) && tileColors_[t] == p;
    }
    size_t TileOf(int x, int y) const {
        return static_cast<size_t>(y >> kTileShift) * tilesAcross_ + (x >> kTileShift);
    }
    void Changed(size_t t) {
        if (!(tileFlags_[t] & kChanged)) {
            tileFlags_[t] |= kChanged;
            changed_[changedCount_++] = static_cast<int>(t);
        }
    }
    void Listed(size_t t) {
        if (!(tileFlags_[t] & kListed)) {
            tileFlags_[t] |= kListed;
            written_[writtenCount_++] = static_cast<int>(t);
        }
    }
    // The tile was written with colours of no one kind.
    void Written(size_t t) {
        Changed(t);
        Listed(t);
        tileFlags_[t] &= static_cast<std::uint8_t>(~kUniform);
    }
    void FillTiles(const IntRect& c, Pixel p);
    int MergeChanged(IntRect* out, int maxRects);
    int MergeRuns(int across, int down, int shift, IntRect* out, int maxRects);
    bool AddRun(const IntRect& run, int previous, int& p, int& current, IntRect* out, int& n,
                int maxRects);

    int width_ = 0, height_ = 0;
    std::vector<Pixel, PixelAllocator<Pixel>> pixels_;
    int tilesAcross_ = 0, tilesDown_ = 0;
    std::vector<std::uint8_t> tileFlags_;
    std::vector<Pixel> tileColors_; // the colour of a kUniform tile
    // The tiles changed since the damage was last taken, in no order.
    std::vector<int> changed_;
    int changedCount_ = 0;
    // While `filled_`, every tile not in written_ holds `fillColor_`: the whole image was
    // filled with it, and only the listed tiles were written since.
    std::vector<int> written_;
    int writtenCount_ = 0;
    bool filled_ = false;
    Pixel fillColor_ = 0;
    // Scratch for TakeDamage: blocks of changed tiles, and the rectangles that end on the
    // previous and the current row of blocks.
    std::vector<std::uint8_t> blocks_;
    std::vector<int> previousRuns_, currentRuns_;
};

template <class T> T* PixelAllocator<T>::allocate(size_t n) {
    constexpr size_t kHuge = size_t{2} << 20;
    const size_t bytes = n * sizeof(T);
    void* p = nullptr;
    if (bytes >= kHuge) {
        p = std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge);
        if (p)
            AdviseHugePages(p, (bytes + kHuge - 1) / kHuge * kHuge);
    } else {
        p = std::malloc(bytes ? bytes : 1);
    }
    if (!p)
        throw std::bad_alloc();
    return static_cast<T*>(p);
}

} // namespace oz
