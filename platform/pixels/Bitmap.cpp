#include "platform/pixels/Bitmap.h"

#include <algorithm>
#include <utility>

#include <sys/mman.h>

namespace oz {

void AdviseHugePages(void* p, size_t bytes) {
    madvise(p, bytes, MADV_HUGEPAGE); // only advice: without it, small pages
}

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
      tileColors_(tileFlags_.size(), fill), changed_(tileFlags_.size()),
      changedCount_(static_cast<int>(tileFlags_.size())), written_(tileFlags_.size()),
      filled_(true), fillColor_(fill), blocks_(tileFlags_.size()),
      previousRuns_(static_cast<size_t>(tilesAcross_)), currentRuns_(previousRuns_.size()) {
    // A new image is all new.
    for (int t = 0; t < changedCount_; ++t)
        changed_[static_cast<size_t>(t)] = t;
}

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
    for (int ty = c.top >> kTileShift; ty <= (c.bottom - 1) >> kTileShift; ++ty)
        for (int tx = c.left >> kTileShift; tx <= (c.right - 1) >> kTileShift; ++tx)
            Written(static_cast<size_t>(ty) * tilesAcross_ + tx);
}

void Bitmap::Fill(Pixel p) {
    FillRect(Bounds(), p);
}

void Bitmap::FillRect(const IntRect& r, Pixel p) {
    const IntRect c = r.Intersected(Bounds());
    if (c.IsEmpty())
        return;
    const bool whole = c.left == 0 && c.top == 0 && c.right == width_ && c.bottom == height_;
    if (whole && filled_ && fillColor_ == p && shortcuts_) {
        // Only the tiles written since the image was last filled with p can hold anything
        // else.
        for (int i = 0; i < writtenCount_; ++i) {
            const size_t t = static_cast<size_t>(written_[static_cast<size_t>(i)]);
            tileFlags_[t] &= static_cast<std::uint8_t>(~kListed);
            if (Holds(t, p))
                continue;
            const int tx = static_cast<int>(t % static_cast<size_t>(tilesAcross_));
            const int ty = static_cast<int>(t / static_cast<size_t>(tilesAcross_));
            const int x0 = tx << kTileShift, x1 = std::min(width_, (tx + 1) << kTileShift);
            const int y1 = std::min(height_, (ty + 1) << kTileShift);
            for (int y = ty << kTileShift; y < y1; ++y)
                std::fill(WritableRow(y) + x0, WritableRow(y) + x1, p);
            tileFlags_[t] |= kUniform;
            tileColors_[t] = p;
            Changed(t);
        }
        writtenCount_ = 0;
        return;
    }
    FillTiles(c, p);
    if (whole) { // every tile holds p now
        for (int i = 0; i < writtenCount_; ++i)
            tileFlags_[static_cast<size_t>(written_[static_cast<size_t>(i)])] &=
                static_cast<std::uint8_t>(~kListed);
        writtenCount_ = 0;
        filled_ = true;
        fillColor_ = p;
    }
}

// Fills the rectangle (on the image) tile by tile, leaving out tiles that hold p already.
void Bitmap::FillTiles(const IntRect& c, Pixel p) {
    const int firstTile = c.left >> kTileShift, lastTile = (c.right - 1) >> kTileShift;
    // The first and last tile of each row of tiles are whole when the edges meet theirs.
    const bool leftWhole = (c.left & (kTileSize - 1)) == 0;
    const bool rightWhole = c.right == width_ || (c.right & (kTileSize - 1)) == 0;
    for (int ty = c.top >> kTileShift; ty <= (c.bottom - 1) >> kTileShift; ++ty) {
        const int top = std::max(c.top, ty << kTileShift);
        const int bottom = std::min(c.bottom, (ty + 1) << kTileShift);
        const bool wholeRows =
            top == ty << kTileShift && bottom == std::min(height_, (ty + 1) << kTileShift);
        const size_t rowTiles = static_cast<size_t>(ty) * tilesAcross_;
        auto holds = [&](int tx) { return Holds(rowTiles + tx, p); };
        // Runs of tiles that do not hold the colour yet, filled row by row.
        int tx = firstTile;
        while (tx <= lastTile) {
            if (holds(tx)) {
                ++tx;
                continue;
            }
            const int runStart = tx;
            for (; tx <= lastTile && !holds(tx); ++tx) {
                const size_t t = rowTiles + tx;
                const bool whole =
                    wholeRows && (tx != firstTile || leftWhole) && (tx != lastTile || rightWhole);
                Written(t);
                if (whole) {
                    tileFlags_[t] |= kUniform;
                    tileColors_[t] = p;
                }
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
        if (!Holds(t, p)) {
            Written(t);
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
    for (int i = 0; i < changedCount_; ++i)
        tileFlags_[static_cast<size_t>(changed_[static_cast<size_t>(i)])] &=
            static_cast<std::uint8_t>(~kChanged);
    changedCount_ = 0;
}

int Bitmap::TakeDamage(IntRect* out, int maxRects) {
    if (changedCount_ == 0)
        return 0;
    std::sort(changed_.begin(), changed_.begin() + changedCount_);
    int n = MergeChanged(out, maxRects);
    if (n < 0) {
        // Too many: blocks of 2 x 2 tiles, changed when any of their four is, and so on.
        std::fill(blocks_.begin(), blocks_.end(), 0);
        for (int i = 0; i < changedCount_; ++i)
            blocks_[static_cast<size_t>(changed_[static_cast<size_t>(i)])] = 1;
        int across = tilesAcross_, down = tilesDown_, shift = kTileShift;
        do {
            // Written in place, each block before any of its four is read again.
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
            n = MergeRuns(across, down, shift, out, maxRects);
        } while (n < 0 && !(across == 1 && down == 1));
    }
    ForgetDamage();
    return std::max(n, 0);
}

// The rectangles of the changed tiles, from their sorted list, or -1 when they are more than
// maxRects.
int Bitmap::MergeChanged(IntRect* out, int maxRects) {
    int n = 0, previous = 0, current = 0, row = -2, p = 0;
    for (int i = 0; i < changedCount_;) {
        const int t = changed_[static_cast<size_t>(i)];
        const int ty = t / tilesAcross_, start = t % tilesAcross_;
        if (ty != row) {
            if (ty == row + 1) {
                std::swap(previousRuns_, currentRuns_);
                previous = current;
            } else {
                previous = 0;
            }
            current = 0;
            p = 0;
            row = ty;
        }
        // A run: the next tiles of the same row.
        int end = start + 1;
        for (++i; i < changedCount_ && end < tilesAcross_ &&
                  changed_[static_cast<size_t>(i)] == ty * tilesAcross_ + end;
             ++i)
            ++end;
        const IntRect run{start << kTileShift, ty << kTileShift,
                          std::min(width_, end << kTileShift),
                          std::min(height_, (ty + 1) << kTileShift)};
        if (!AddRun(run, previous, p, current, out, n, maxRects))
            return -1;
    }
    return n;
}

// Adds one run of a row as a rectangle, or grows the rectangle over the same columns on
// the row above down to it instead. False when that would make more than maxRects.
bool Bitmap::AddRun(const IntRect& run, int previous, int& p, int& current, IntRect* out, int& n,
                    int maxRects) {
    while (p < previous && out[previousRuns_[p]].left < run.left)
        ++p;
    if (p < previous && out[previousRuns_[p]].left == run.left &&
        out[previousRuns_[p]].right == run.right) {
        out[previousRuns_[p]].bottom = run.bottom;
        currentRuns_[current++] = previousRuns_[p++];
        return true;
    }
    if (n == maxRects)
        return false;
    out[n] = run;
    currentRuns_[current++] = n++;
    return true;
}

// The rectangles of one level of blocks (1 << shift pixels across), or -1 when they are more
// than maxRects.
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
            const IntRect run{start << shift, top, std::min(width_, bx << shift), bottom};
            if (!AddRun(run, previous, p, current, out, n, maxRects))
                return -1;
        }
        std::swap(previousRuns_, currentRuns_);
        previous = current;
    }
    return n;
}

} // namespace oz
