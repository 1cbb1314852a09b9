#include "platform/Bitmap.h"

#include <algorithm>
#include <utility>

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
      pixels_(static_cast<size_t>(width_) * height_, fill),
      tilesAcross_((width_ + kTileSize - 1) >> kTileShift),
      tilesDown_((height_ + kTileSize - 1) >> kTileShift),
      tileFlags_(static_cast<size_t>(tilesAcross_) * tilesDown_, kChanged | kUniform),
      tileColors_(tileFlags_.size(), fill), blocks_(tileFlags_.size()),
      previousRuns_(static_cast<size_t>(tilesAcross_)), currentRuns_(previousRuns_.size()) {}

void Bitmap::Resize(int width, int height, Pixel fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    Bitmap grown(width, height, fill);
    grown.CopyFrom(*this, Bounds(), 0, 0);
    *this = std::move(grown);
}

Pixel* Bitmap::Row(int y) {
    Touch({0, y, width_, y + 1});
    return WritableRow(y);
}

Pixel* Bitmap::Data() {
    Touch(Bounds());
    return pixels_.data();
}

void Bitmap::Touch(const IntRect& r) {
    const IntRect c = r.Intersected(Bounds());
    if (c.IsEmpty())
        return;
    for (int ty = c.top >> kTileShift; ty <= (c.bottom - 1) >> kTileShift; ++ty) {
        std::uint8_t* flags = tileFlags_.data() + static_cast<size_t>(ty) * tilesAcross_;
        std::fill(flags + (c.left >> kTileShift), flags + ((c.right - 1) >> kTileShift) + 1,
                  kChanged);
    }
}

void Bitmap::Fill(Pixel p) {
    FillRect(Bounds(), p);
}

void Bitmap::FillRect(const IntRect& r, Pixel p) {
    const IntRect c = r.Intersected(Bounds());
    if (c.IsEmpty())
        return;
    const int firstTile = c.left >> kTileShift, lastTile = (c.right - 1) >> kTileShift;
    // The first and last tile of each row of tiles are whole when the edges meet theirs.
    const bool leftWhole = (c.left & (kTileSize - 1)) == 0;
    const bool rightWhole = c.right == width_ || (c.right & (kTileSize - 1)) == 0;
    for (int ty = c.top >> kTileShift; ty <= (c.bottom - 1) >> kTileShift; ++ty) {
        const int top = std::max(c.top, ty << kTileShift);
        const int bottom = std::min(c.bottom, (ty + 1) << kTileShift);
        const bool wholeRows =
            top == ty << kTileShift && bottom == std::min(height_, (ty + 1) << kTileShift);
        std::uint8_t* flags = tileFlags_.data() + static_cast<size_t>(ty) * tilesAcross_;
        Pixel* colors = tileColors_.data() + static_cast<size_t>(ty) * tilesAcross_;
        auto holds = [&](int tx) { return (flags[tx] & kUniform) && colors[tx] == p; };
        // Runs of tiles that do not hold the colour yet, filled row by row.
        int tx = firstTile;
        while (tx <= lastTile) {
            if (holds(tx)) {
                ++tx;
                continue;
            }
            const int runStart = tx;
            for (; tx <= lastTile && !holds(tx); ++tx) {
                const bool whole =
                    wholeRows && (tx != firstTile || leftWhole) && (tx != lastTile || rightWhole);
                flags[tx] = whole ? (kChanged | kUniform) : kChanged;
                colors[tx] = p;
            }
            const int x0 = std::max(c.left, runStart << kTileShift);
            const int x1 = std::min(c.right, tx << kTileShift);
            for (int y = top; y < bottom; ++y)
                std::fill(WritableRow(y) + x0, WritableRow(y) + x1, p);
        }
    }
}

void Bitmap::FillSpan(int y, int x0, int x1, Pixel p) {
    if (y < 0 || y >= height_)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_);
    Pixel* row = WritableRow(y);
    const size_t rowTiles = static_cast<size_t>(y >> kTileShift) * tilesAcross_;
    while (x0 < x1) {
        const int end = std::min(x1, ((x0 >> kTileShift) + 1) << kTileShift);
        const size_t t = rowTiles + (x0 >> kTileShift);
        if (!(tileFlags_[t] & kUniform) || tileColors_[t] != p) {
            tileFlags_[t] = kChanged;
            std::fill(row + x0, row + end, p);
        }
        x0 = end;
    }
}

void Bitmap::CopyFrom(const Bitmap& src, const IntRect& srcRect, int dstX, int dstY) {
    IntRect s = srcRect.Intersected(src.Bounds());
    // Shift the destination with whatever the source clip removed.
    dstX += s.left - srcRect.left;
    dstY += s.top - srcRect.top;
    IntRect d = IntRect{dstX, dstY, dstX + s.Width(), dstY + s.Height()}.Intersected(Bounds());
    if (d.IsEmpty())
        return;
    Touch(d);
    int sx = s.left + (d.left - dstX), sy = s.top + (d.top - dstY);
    for (int y = 0; y < d.Height(); ++y)
        std::copy_n(src.Row(sy + y) + sx, d.Width(), WritableRow(d.top + y) + d.left);
}

// ---- Damage ----

void Bitmap::ForgetDamage() {
    for (std::uint8_t& f : tileFlags_)
        f &= static_cast<std::uint8_t>(~kChanged);
}

int Bitmap::TakeDamage(IntRect* out, int maxRects) {
    int across = tilesAcross_, down = tilesDown_;
    for (size_t t = 0; t < tileFlags_.size(); ++t) {
        blocks_[t] = static_cast<std::uint8_t>(tileFlags_[t] & kChanged);
        tileFlags_[t] &= static_cast<std::uint8_t>(~kChanged);
    }
    int shift = kTileShift;
    while (true) {
        const int n = MergeRuns(across, down, shift, out, maxRects);
        if (n >= 0 || (across == 1 && down == 1))
            return std::max(n, 0);
        // Too many: blocks of 2 x 2, changed when any of their four is. Written in place,
        // each block before any of its four is read again.
        const int a = (across + 1) / 2, d = (down + 1) / 2;
        for (int by = 0; by < d; ++by) {
            for (int bx = 0; bx < a; ++bx) {
                std::uint8_t any = 0;
                for (int y = 2 * by; y < std::min(2 * by + 2, down); ++y)
                    for (int x = 2 * bx; x < std::min(2 * bx + 2, across); ++x)
                        any |= blocks_[static_cast<size_t>(y) * across + x];
                blocks_[static_cast<size_t>(by) * a + bx] = any;
            }
        }
        across = a;
        down = d;
        ++shift;
    }
}

// The rectangles of one level (blocks of 1 << shift pixels), or -1 when they are more than
// maxRects.
int Bitmap::MergeRuns(int across, int down, int shift, IntRect* out, int maxRects) {
    int n = 0, previous = 0;
    for (int by = 0; by < down; ++by) {
        const std::uint8_t* row = blocks_.data() + static_cast<size_t>(by) * across;
        const int top = by << shift, bottom = std::min(height_, (by + 1) << shift);
        int current = 0, p = 0;
        for (int bx = 0; bx < across;) {
            bx = static_cast<int>(std::find(row + bx, row + across, 1) - row);
            if (bx == across)
                break;
            const int start = bx;
            while (bx < across && row[bx])
                ++bx;
            const int left = start << shift, right = std::min(width_, bx << shift);
            // The rectangle over the same columns on the row above grows down instead.
            while (p < previous && out[previousRuns_[p]].left < left)
                ++p;
            if (p < previous && out[previousRuns_[p]].left == left &&
                out[previousRuns_[p]].right == right) {
                out[previousRuns_[p]].bottom = bottom;
                currentRuns_[current++] = previousRuns_[p++];
                continue;
            }
            if (n == maxRects)
                return -1;
            out[n] = {left, top, right, bottom};
            currentRuns_[current++] = n++;
        }
        std::swap(previousRuns_, currentRuns_);
        previous = current;
    }
    return n;
}

} // namespace oz
