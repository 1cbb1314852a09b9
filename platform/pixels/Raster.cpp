#include "platform/pixels/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The pixel rules under the drawing calls.
//
// Everything is computed in 64-bit (and, where products of two 33-bit values meet, 128-bit)
// integers from the caller's 32-bit coordinates, so coordinates far off the image neither
// overflow nor cost time: each primitive first cuts its range down to the image and then
// visits only pixels that lie on it.
//
// Thin lines: Bresenham with the platform's tie rule (octants 3, 5, 6 and 8 of the
// clockwise numbering from +x round their ties the other way), the minor coordinate of
// each step computed in closed form, so a clipped line lights exactly the pixels that the
// same unclipped line lights on the image.
//
// Ellipses: the box (right column and bottom row excluded) holds an ellipse through the
// centres of its outermost pixels. A pixel belongs to the disc when the curve, rounded to
// the nearest pixel row by row or column by column (ties excluded), reaches it. This is the
// filled shape of the platform's midpoint-style ellipse; for circles it equals, pixel for
// pixel, the shape that the incremental midpoint (Zingl) algorithm gives, while each row's
// span comes from a formula. The one-pixel outline is the set of disc pixels with a
// 4-neighbour outside the disc; a wider outline erodes by the pen width.
//
// Wide lines: round caps (the discs that Ellipse draws, `width` across) on both ends and
// the band of pixels within width / 2 of the segment between them, sampled so that a
// horizontal or vertical line is exactly `width` pixels thick; even
// widths put the extra pixel above and to the left of the line, as the platform does.

namespace oz::raster {

namespace {

__extension__ typedef __int128 i128;
__extension__ typedef unsigned __int128 u128;

using i64 = std::int64_t;

// Fills the pixels [x0, x1) of row y, clipped to the image.
void FillSpan(Bitmap& image, i64 y, i64 x0, i64 x1, Pixel color) {
    if (y < 0 || y >= image.Height())
        return;
    x0 = std::max<i64>(x0, 0);
    x1 = std::min<i64>(x1, image.Width());
    if (x0 >= x1)
        return;
    image.FillSpan(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), color);
}

// Fills [left, right) x [top, bottom), clipped to the image.
void FillBox(Bitmap& image, i64 left, i64 top, i64 right, i64 bottom, Pixel color) {
    top = std::max<i64>(top, 0);
    bottom = std::min<i64>(bottom, image.Height());
    for (i64 y = top; y < bottom; ++y)
        FillSpan(image, y, left, right, color);
}

// ---- Thin lines ----

// The platform's octant numbering: 1 to 8 clockwise from the +x axis (y grows downwards).
int OctantNumber(i64 dx, i64 dy) {
    if (dy > 0) {
        if (dx > 0)
            return dx > dy ? 1 : 2;
        return -dx > dy ? 4 : 3;
    }
    if (dx < 0)
        return -dx > -dy ? 5 : 6;
    return dx > -dy ? 8 : 7;
}

void ThinLine(Bitmap& image, i64 x0, i64 y0, i64 x1, i64 y1, Pixel color, bool includeEnd) {
    const i64 dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) {
        if (includeEnd && x0 >= 0 && x0 < image.Width() && y0 >= 0 && y0 < image.Height())
            image.Set(static_cast<int>(x0), static_cast<int>(y0), color);
        return;
    }
    const int octant = OctantNumber(dx, dy);
    const i64 bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    const i64 major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const i64 majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const i64 majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const i64 minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const i64 majorLimit = xMajor ? image.Width() : image.Height();
    const i64 minorLimit = xMajor ? image.Height() : image.Width();

    // Steps k = 0 .. last; step k lies at major coordinate majorStart + majorStep * k.
    const i64 last = includeEnd ? major : major - 1;
    i64 kFirst, kLast;
    if (majorStep > 0) {
        kFirst = std::max<i64>(0, -majorStart);
        kLast = std::min<i64>(last, majorLimit - 1 - majorStart);
    } else {
        kFirst = std::max<i64>(0, majorStart - (majorLimit - 1));
        kLast = std::min<i64>(last, majorStart);
    }
    if (kFirst > kLast)
        return;

    // Minor offset after k steps: floor((2 * minor * k + major + bias - 1) / (2 * major)),
    // the closed form of the error-term recurrence. Start exactly, then step incrementally.
    const i64 den = 2 * major;
    const i128 num = static_cast<i128>(2 * minor) * kFirst + (major + bias - 1);
    i64 offset = static_cast<i64>(num / den);
    i64 rest = static_cast<i64>(num % den);
    for (i64 k = kFirst; k <= kLast; ++k) {
        const i64 m = minorStart + minorStep * offset;
        if (m >= 0 && m < minorLimit) {
            const i64 M = majorStart + majorStep * k;
            if (xMajor)
                image.Set(static_cast<int>(M), static_cast<int>(m), color);
            else
                image.Set(static_cast<int>(m), static_cast<int>(M), color);
        }
        rest += 2 * minor;
        if (rest >= den) {
            rest -= den;
            ++offset;
        }
    }
}

// ---- Ellipses ----

u128 Isqrt(u128 n) {
    if (n == 0)
        return 0;
    u128 q = static_cast<u128>(std::sqrt(static_cast<long double>(n)));
    if (q == 0)
        q = 1;
    while (q > n / q)
        --q;
    while (q + 1 <= n / (q + 1))
        ++q;
    return q;
}

// The largest m >= 0 with m * b < sqrt(s), or -1 when there is none (s == 0).
i64 Below(u128 s, i64 b) {
    if (s == 0)
        return -1;
    u128 q = Isqrt(s);
    u128 l = (q * q == s) ? q - 1 : q; // largest integer strictly below sqrt(s)
    return static_cast<i64>(l / static_cast<u128>(b));
}

// A disc's span in one row of its box: pixel offsets [lo, hi) from the box's left edge.
struct Span {
    i64 lo = 0, hi = 0;
    bool Empty() const { return hi <= lo; }
};

// The ellipse inscribed in a w x h box, row r (0 .. h - 1).
Span EllipseRow(i64 w, i64 h, i64 r) {
    if (r < 0 || r >= h || w <= 0)
        return {};
    if (w <= 2 || h <= 2)
        return {0, w};
    // Doubled coordinates about the centre: pixel x sits at X = 2x - A, row r at Y = 2r - B.
    const i64 A = w - 1, B = h - 1;
    i64 Y = 2 * r - B;
    if (Y < 0)
        Y = -Y;
    const u128 a2 = static_cast<u128>(A) * static_cast<u128>(A);
    const u128 b2 = static_cast<u128>(B) * static_cast<u128>(B);
    // Row rounding: |X| - 1 < A sqrt(1 - Y^2 / B^2).
    const i64 byRow = 1 + Below(a2 * (b2 - static_cast<u128>(Y) * static_cast<u128>(Y)), B);
    // Column rounding: |Y| - 1 < B sqrt(1 - X^2 / A^2).
    i64 byColumn = A;
    if (Y > 0) {
        const u128 y1 = static_cast<u128>(Y - 1);
        byColumn = Below(a2 * (b2 - y1 * y1), B);
    }
    i64 m = std::min(A, std::max(byRow, byColumn));
    if ((m - A) % 2 != 0)
        --m;
    m = std::max<i64>(m, A % 2); // every row of the box keeps its middle pixel(s)
    return {(A - m) / 2, (A + m) / 2 + 1};
}

Span Intersect(Span a, Span b) {
    return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}

// ---- Wide lines ----

// A line `width` pixels wide: a disc `width` across on each end point (the round caps, the
// same discs as Ellipse draws, their boxes starting width / 2 up and left of the point),
// and the band between them: pixels whose sample point, in doubled coordinates
// (2x + o, 2y + o) with o = 1 for even widths, lies within `width` of the doubled segment's
// line and projects onto the segment.
void WideLine(Bitmap& image, i64 x0, i64 y0, i64 x1, i64 y1, Pixel color, i64 width) {
    const i64 half = width / 2;
    const i64 o = (width % 2 == 0) ? 1 : 0;
    const i64 yFirst = std::max<i64>(0, std::min(y0, y1) - half - 1);
    const i64 yLast = std::min<i64>(image.Height() - 1, std::max(y0, y1) + half + 1);
    const bool band = x0 != x1 || y0 != y1;

    const long double ax = 2.0L * x0, ay = 2.0L * y0;
    const long double dx = 2.0L * x1 - ax, dy = 2.0L * y1 - ay;
    const long double R = static_cast<long double>(width);
    const long double len2 = dx * dx + dy * dy;
    const long double len = std::sqrt(len2);

    // Exact membership for the ends of each band span, when the numbers are small enough for
    // 128-bit products (always so for segments that start and end near the image).
    const bool exact =
        std::max({std::abs(x0), std::abs(y0), std::abs(x1), std::abs(y1)}) < (i64{1} << 26) &&
        width < (i64{1} << 20);
    const i64 ex = 2 * (x1 - x0), ey = 2 * (y1 - y0);
    auto inBand = [&](i64 X, i64 Y) {
        const i64 vx = X - 2 * x0, vy = Y - 2 * y0;
        const i128 t = static_cast<i128>(vx) * ex + static_cast<i128>(vy) * ey;
        const i128 l2 = static_cast<i128>(ex) * ex + static_cast<i128>(ey) * ey;
        if (t < 0 || t > l2)
            return false;
        const i128 cross = static_cast<i128>(vx) * ey - static_cast<i128>(vy) * ex;
        return cross * cross <= static_cast<i128>(width) * width * l2;
    };

    for (i64 py = yFirst; py <= yLast; ++py) {
        for (auto [cx, cy] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
            const Span cap = EllipseRow(width, width, py - (cy - half));
            if (!cap.Empty())
                FillSpan(image, py, cx - half + cap.lo, cx - half + cap.hi, color);
        }
        if (!band)
            continue;
        // The band's row: (X - ax) dx + vy dy in [0, len2] and |(X - ax) dy - vy dx| <= R len.
        const long double vy = 2.0L * py + o - ay;
        long double lo = -INFINITY, hi = INFINITY;
        if (dx != 0) {
            long double p = -vy * dy / dx, q = (len2 - vy * dy) / dx;
            if (p > q)
                std::swap(p, q);
            lo = std::max(lo, ax + p);
            hi = std::min(hi, ax + q);
        } else if (vy * dy < 0 || vy * dy > len2) {
            continue;
        }
        if (dy != 0) {
            long double p = (vy * dx - R * len) / dy, q = (vy * dx + R * len) / dy;
            if (p > q)
                std::swap(p, q);
            lo = std::max(lo, ax + p);
            hi = std::min(hi, ax + q);
        } else if (std::fabs(vy * dx) > R * len) {
            continue;
        }
        // Cut to the image before going to integers.
        lo = std::max(lo, -4.0L);
        hi = std::min(hi, 2.0L * image.Width() + 4);
        if (!(lo <= hi))
            continue;
        i64 first = std::max<i64>(static_cast<i64>(std::ceil((lo - o) / 2)), 0);
        i64 last = std::min<i64>(static_cast<i64>(std::floor((hi - o) / 2)), image.Width() - 1);
        if (exact) {
            // Settle the rounding at both ends with the exact test (a step at most).
            const i64 Y = 2 * py + o;
            auto in = [&](i64 px) { return inBand(2 * px + o, Y); };
            while (first <= last && !in(first))
                ++first;
            while (last >= first && !in(last))
                --last;
            if (first <= last) {
                while (first > 0 && in(first - 1))
                    --first;
                while (last + 1 < image.Width() && in(last + 1))
                    ++last;
            }
        }
        FillSpan(image, py, first, last + 1, color);
    }
}

} // namespace

void DrawLine(Bitmap& image, int x0, int y0, int x1, int y1, Pixel color, int width,
              bool includeEnd) {
    if (image.Width() <= 0 || image.Height() <= 0)
        return;
    if (width <= 1)
        ThinLine(image, x0, y0, x1, y1, color, includeEnd);
    else
        WideLine(image, x0, y0, x1, y1, color, width);
}

void DrawRectangle(Bitmap& image, const IntRect& box, Pixel outline, int width, bool fill,
                   Pixel fillColor) {
    const i64 l = box.left, t = box.top, r = box.right, b = box.bottom;
    if (r <= l || b <= t)
        return;
    const i64 w = std::max(width, 1);
    // The frame, `w` pixels thick inside the box.
    FillBox(image, l, t, r, std::min(b, t + w), outline);
    FillBox(image, l, std::max(t, b - w), r, b, outline);
    FillBox(image, l, t + w, std::min(r, l + w), b - w, outline);
    FillBox(image, std::max(l, r - w), t + w, r, b - w, outline);
    if (fill)
        FillBox(image, l + w, t + w, r - w, b - w, fillColor);
}

void DrawEllipse(Bitmap& image, const IntRect& box, Pixel outline, int width, bool fill,
                 Pixel fillColor) {
    const i64 l = box.left, t = box.top;
    const i64 w = static_cast<i64>(box.right) - l, h = static_cast<i64>(box.bottom) - t;
    if (w <= 0 || h <= 0)
        return;
    // Pen thickness: beyond half the box nothing is left inside anyway.
    const i64 k = std::min<i64>(std::max(width, 1), std::max(w, h) / 2 + 1);
    const i64 yFirst = std::max<i64>(t, 0), yEnd = std::min<i64>(t + h, image.Height());
    for (i64 y = yFirst; y < yEnd; ++y) {
        const i64 r = y - t;
        const Span disc = EllipseRow(w, h, r);
        if (disc.Empty())
            continue;
        // The inside: pixels at 4-neighbour distance >= k from everything outside the disc.
        Span inner = {disc.lo + k, disc.hi - k};
        for (i64 d = 1; d <= k && !inner.Empty(); ++d) {
            const i64 shrink = k - d;
            for (i64 rr : {r - d, r + d}) {
                Span s = EllipseRow(w, h, rr);
                inner = Intersect(inner, {s.lo + shrink, s.hi - shrink});
            }
        }
        if (inner.Empty()) {
            FillSpan(image, y, l + disc.lo, l + disc.hi, outline);
            continue;
        }
        FillSpan(image, y, l + disc.lo, l + inner.lo, outline);
        FillSpan(image, y, l + inner.hi, l + disc.hi, outline);
        if (fill)
            FillSpan(image, y, l + inner.lo, l + inner.hi, fillColor);
    }
}

void Blit(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int srcX, int srcY,
          Rop rop) {
    StretchBlit(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

void StretchBlit(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int srcX,
                 int srcY, int srcWidth, int srcHeight, Rop rop) {
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    if (src.Width() <= 0 || src.Height() <= 0)
        return;
    // Destination pixels on the image.
    const i64 dx0 = std::max<i64>(x, 0), dx1 = std::min<i64>(i64{x} + width, dst.Width());
    const i64 dy0 = std::max<i64>(y, 0), dy1 = std::min<i64>(i64{y} + height, dst.Height());
    if (dx0 >= dx1 || dy0 >= dy1)
        return;
    // Nearest neighbour by pixel centres: destination offset i takes source offset
    // floor((2i + 1) * srcSize / (2 * size)). Source pixels off the source image are skipped.
    auto sourceOf = [](i64 i, i64 size, i64 srcSize, i64 srcStart) {
        return srcStart + static_cast<i64>((static_cast<i128>(2 * i + 1) * srcSize) / (2 * size));
    };
    // The source column of every destination column. Kept from call to call (one thread):
    // the read-out's dials are drawn every frame, and a frame allocates nothing.
    static std::vector<int> columns;
    columns.clear();
    for (i64 px = dx0; px < dx1; ++px) {
        const i64 sx = sourceOf(px - x, width, srcWidth, srcX);
        columns.push_back(sx >= 0 && sx < src.Width() ? static_cast<int>(sx) : -1);
    }
    // Drawing from an image onto itself reads a copy, so overlapping areas stay correct.
    Bitmap copy;
    const Bitmap* from = &src;
    if (&src == &dst) {
        copy = src;
        from = &copy;
    }
    dst.Touch({static_cast<int>(dx0), static_cast<int>(dy0), static_cast<int>(dx1),
               static_cast<int>(dy1)});
    for (i64 py = dy0; py < dy1; ++py) {
        const i64 sy = sourceOf(py - y, height, srcHeight, srcY);
        if (sy < 0 || sy >= from->Height())
            continue;
        const Pixel* in = from->Row(static_cast<int>(sy));
        Pixel* out = dst.WritableRow(static_cast<int>(py));
        for (i64 px = dx0; px < dx1; ++px) {
            const int sx = columns[static_cast<size_t>(px - dx0)];
            if (sx < 0)
                continue;
            const Pixel s = in[sx];
            Pixel& d = out[px];
            switch (rop) {
            case Rop::Copy:
                d = s;
                break;
            case Rop::Or:
                d |= s;
                break;
            case Rop::And:
                d &= s;
                break;
            }
        }
    }
}

} // namespace oz::raster
