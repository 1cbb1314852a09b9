// The raster's own invariants, below the drawing calls: the thin line's steps in every
// octant, round and symmetric discs of every size, odd wide lines, clipping that changes
// no pixel, even for coordinates near the ends of the 32-bit range, and the damage an
// image records under the writes. The rules the program sees through the drawing calls are
// checked in GdiTest.

#include "platform/pixels/Raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kRed = 0xFF0000;
constexpr int kFar = 2000000000;

// An independent model of the thin line from (0, 0) to (dx, dy): the error-term Bresenham
// loop, end point left out, ties broken the other way where the minor axis runs negative
// (octants 3, 5, 6 and 8 counted clockwise from +x, y growing downwards).
std::vector<std::pair<int, int>> ModelLine(int dx, int dy) {
    const bool xMajor = std::abs(dx) > std::abs(dy);
    const int bias = (xMajor ? dy : dx) < 0 ? 1 : 0;
    const int major = xMajor ? std::abs(dx) : std::abs(dy);
    const int minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    std::vector<std::pair<int, int>> points;
    int across = 0, err = 2 * minor - major;
    for (int along = 0; along < major; ++along) {
        points.push_back(xMajor ? std::pair{sx * along, sy * across}
                                : std::pair{sx * across, sy * along});
        if (err + bias > 0) {
            ++across;
            err -= 2 * major;
        }
        err += 2 * minor;
    }
    return points;
}

TEST(Raster, ThinLinesFollowTheStepModelInEveryOctant) {
    for (int dx = -9; dx <= 9; ++dx)
        for (int dy = -9; dy <= 9; ++dy) {
            Bitmap image(21, 21, kBlack), expected(21, 21, kBlack);
            raster::DrawLine(image, 10, 10, 10 + dx, 10 + dy, kWhite, 0);
            for (auto [x, y] : ModelLine(dx, dy))
                expected.Set(10 + x, 10 + y, kWhite);
            ASSERT_TRUE(std::equal(image.Data(), image.Data() + 21 * 21, expected.Data()))
                << "to (" << dx << ", " << dy << ")";
        }
}

// Ellipses in every box up to 20 x 20 and in tall narrow ones, against the rule: a pixel
// belongs to the disc when the curve through the outermost pixels' centres, rounded to the
// nearest pixel row by row or column by column (exact ties left out), reaches it; boxes
// two pixels or fewer across either way are filled whole. The pen takes the disc's pixels
// within its width (counted in steps across and down) of the outside, the brush the rest.
TEST(Raster, EllipsesFollowTheRoundingRuleAndThePenOutlinesThemByItsWidth) {
    auto inDisc = [](long w, long h, long x, long y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return false;
        if (w <= 2 || h <= 2)
            return true;
        const long A = w - 1, B = h - 1, X = std::abs(2 * x - A), Y = std::abs(2 * y - B);
        if (X <= 1 || Y == 0)
            return true;
        const long whole = A * A * B * B;
        return (X - 1) * (X - 1) * B * B + Y * Y * A * A < whole ||
               X * X * B * B + (Y - 1) * (Y - 1) * A * A < whole;
    };
    std::vector<std::pair<int, int>> boxes = {{2, 30}, {3, 41},  {41, 3},
                                              {7, 44}, {64, 64}, {201, 201}};
    for (int w = 1; w <= 20; ++w)
        for (int h = 1; h <= 20; ++h)
            boxes.push_back({w, h});
    for (auto [w, h] : boxes)
        for (int pen : {1, 2, 3}) {
            Bitmap image(w + 2, h + 2, kBlack);
            raster::DrawEllipse(image, IntRect{1, 1, 1 + w, 1 + h}, kWhite, pen, true, kRed);
            for (int y = -1; y <= h; ++y)
                for (int x = -1; x <= w; ++x) {
                    const Pixel got = image.Get(x + 1, y + 1);
                    if (!inDisc(w, h, x, y)) {
                        ASSERT_EQ(got, kBlack) << w << "x" << h << " at " << x << "," << y;
                        continue;
                    }
                    bool nearOutside = false; // within `pen` steps of a pixel off the disc
                    for (int dy = -pen; dy <= pen; ++dy)
                        for (int dx = std::abs(dy) - pen; dx <= pen - std::abs(dy); ++dx)
                            nearOutside = nearOutside || !inDisc(w, h, x + dx, y + dy);
                    ASSERT_EQ(got, nearOutside ? kWhite : kRed)
                        << w << "x" << h << ", pen " << pen << " at " << x << "," << y;
                }
        }
}

TEST(Raster, ClippingNeverChangesThePixels) {
    // Each shape drawn on a small image matches the same shape drawn whole on a large one.
    const std::tuple<bool, int, int, int, int, int> cases[] = {
        {false, -650, -480, 900, 410, 0}, {false, 30, -490, 60, 700, 0},
        {false, -690, 77, 1200, 60, 0},   {false, 250, 199, -300, -5, 0},
        {false, -650, -480, 900, 410, 2}, {false, -40, 30, 330, 38, 3},
        {true, -300, -200, 500, 380, 1},  {true, -50, 60, 90, 700, 2},
        {true, -37, -41, 13, 9, 3},       {true, -399, 20, 499, 61, 2},
        {false, 290, -9, 310, 199, 0}}; // steep, out at the right edge
    const int ox = 700, oy = 500;
    for (auto [ellipse, left, top, right, bottom, width] : cases) {
        auto draw = [&](Bitmap& image, int dx, int dy) {
            const IntRect box{left + dx, top + dy, right + dx, bottom + dy};
            if (ellipse)
                raster::DrawEllipse(image, box, kWhite, width, true, kRed);
            else
                raster::DrawLine(image, box.left, box.top, box.right, box.bottom, kWhite, width);
        };
        Bitmap large(2400, 1400, kBlack), small(300, 200, kBlack);
        draw(large, ox, oy);
        draw(small, 0, 0);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                ASSERT_EQ(small.Get(x, y), large.Get(x + ox, y + oy))
                    << left << "," << top << " at " << x << "," << y;
    }
}

TEST(Raster, ShapesLightExactlyTheirPixelsOnTheImageHoweverFarOffTheyReach) {
    // Each primitive clips before it steps: with ends two billion pixels away, a loop over
    // the whole shape would not finish in the test run's time.
    using raster::DrawEllipse, raster::DrawLine, raster::DrawRectangle;
    const std::tuple<const char*, std::function<void(Bitmap&)>, std::function<bool(int, int)>>
        cases[] = {
            {"odd wide line: centred, round ends",
             [](Bitmap& b) { DrawLine(b, 5, 5, 12, 5, kWhite, 3); },
             [](int x, int y) {
                 return (y == 5 && x >= 4 && x <= 13) ||
                        (std::abs(y - 5) == 1 && x >= 5 && x <= 12);
             }},
            {"lines: diagonal; shallow, the nearest row in every column; wide",
             [](Bitmap& b) {
                 DrawLine(b, -kFar, -kFar, kFar, kFar, kWhite, 0);
                 DrawLine(b, -kFar + 10, 0, 110, 40, kWhite, 0);
                 DrawLine(b, -kFar, 70, kFar, 70, kWhite, 2);
                 DrawLine(b, 90, -kFar, 90, kFar, kWhite, 4);
             },
             [](int x, int y) {
                 return x == y || y == std::lround(40.0 * (x + kFar - 10) / (kFar + 100.0)) ||
                        y == 69 || y == 70 || (x >= 88 && x <= 91);
             }},
            {"shapes that miss the image, and empty boxes",
             [](Bitmap& b) {
                 DrawLine(b, -kFar, -5, kFar, -3, kWhite, 0);
                 DrawLine(b, -kFar, kFar, kFar, kFar, kWhite, 0);
                 DrawLine(b, -kFar, -kFar, kFar, -kFar + 1000, kWhite, 2);
                 DrawEllipse(b, {-kFar, -kFar, -1000000000, kFar}, kWhite, 0, true, kWhite);
                 DrawEllipse(b, {1000, 1000, kFar, kFar}, kWhite, 0, true, kWhite);
                 DrawEllipse(b, {-kFar, -kFar, kFar, kFar}, kWhite, 0, false, kWhite); // a ring
                 DrawEllipse(b, {3, 3, 3, 8}, kWhite, 0, true, kWhite);
                 DrawEllipse(b, {3, 3, 8, 3}, kWhite, 0, true, kWhite);
                 DrawLine(b, 1, 1, 1, 1, kWhite, 0);
             },
             [](int, int) { return false; }},
            {"huge disc",
             [](Bitmap& b) {
                 DrawEllipse(b, {-kFar, -kFar, kFar, kFar}, kWhite, 0, true, kWhite);
             },
             [](int, int) { return true; }},
            {"top of a huge flat disc, bottom of a huge rectangle",
             [](Bitmap& b) {
                 DrawEllipse(b, {-kFar, 10, kFar + 1, kFar}, kWhite, 0, true, kWhite);
                 DrawRectangle(b, {-kFar, -kFar, kFar, 5}, kWhite, 2, true, kWhite);
             },
             [](int, int y) { return y >= 10 || y < 5; }}};
    for (auto [what, draw, lit] : cases) {
        Bitmap image(100, 80, kBlack);
        draw(image);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(image.Get(x, y), lit(x, y) ? kWhite : kBlack)
                    << what << " at " << x << "," << y;
    }
}

// What a write leaves as damage, on a 100 x 80 black image whose damage was taken: what
// changed pixels are covered, and writes that change none leave none.
TEST(Raster, DamageCoversTheChangedTilesOnly) {
    using namespace raster;
    // The whole tiles under the pixels [x0, x1) x [y0, y1), cut to the image.
    auto tiles = [](int x0, int y0, int x1, int y1) {
        const int t = Bitmap::kTileSize;
        return IntRect{x0 / t * t, y0 / t * t, std::min(100, (x1 + t - 1) / t * t),
                       std::min(80, (y1 + t - 1) / t * t)};
    };
    const std::pair<std::function<void(Bitmap&)>, IntRect> cases[] = {
        {[](Bitmap& b) { // black over black
             b.FillRect(b.Bounds(), kBlack);
             b.Set(5, 5, kBlack);
             DrawRectangle(b, {1, 1, 9, 9}, kBlack, 1, true, kBlack);
         },
         {}},
        {[](Bitmap& b) { b.Set(40, 20, kRed); }, tiles(40, 20, 41, 21)},
        // A 2-pixel star across a tile edge; rows of tiles over the same columns join; the
        // edge tiles are cut to the image; a blit.
        {[](Bitmap& b) {
             DrawEllipse(b, {47, 20, 49, 22}, kWhite, 1, true, kWhite);
         },
         tiles(47, 20, 49, 22)},
        {[](Bitmap& b) { DrawLine(b, 20, 0, 20, 30, kWhite, 1); }, tiles(20, 0, 21, 30)},
        {[](Bitmap& b) { b.Set(99, 79, kWhite); }, tiles(99, 79, 100, 80)},
        {[](Bitmap& b) { Blit(b, 2, 2, 3, 3, Bitmap(3, 3, kWhite), 0, 0, Rop::Or); },
         tiles(2, 2, 5, 5)}};
    for (const auto& [draw, damage] : cases) {
        Bitmap image(100, 80, kBlack);
        IntRect out[64];
        image.TakeDamage(out, 64);
        draw(image);
        const int n = image.TakeDamage(out, 64);
        EXPECT_EQ(std::pair(n, n > 0 ? out[0] : IntRect{}),
                  std::pair(damage.IsEmpty() ? 0 : 1, damage));
        EXPECT_EQ(image.TakeDamage(out, 64), 0) << "taken once";
    }
}

// Random fills, pixels and clipped copies on images whose tiles do not divide them: the
// pixels equal a plain model's, whether or not the image knows tiles of one colour, and
// every change lies in the damage taken after it, however few rectangles it may use.
TEST(Raster, ImagesMatchAPlainModelAndTheirDamageCoversEveryChange) {
    std::mt19937 random(17);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const Pixel colors[] = {kBlack, kWhite, kRed};
    for (auto [width, height] : {std::pair{100, 80}, std::pair{61, 37}, std::pair{9, 23}}) {
        Bitmap image(width, height, kBlack), other(23, 17, kBlack);
        Bitmap model(width, height, kBlack), shown(width, height, kBlack); // pixel by pixel
        for (int i = 0; i < 23 * 17; ++i) // every pixel of the other image its own colour
            other.Set(i % 23, i / 23, static_cast<Pixel>(i) * 0x010305u);
        for (int step = 0; step < 400; ++step) {
            const Pixel p = colors[below(3)];
            const IntRect r{below(width + 20) - 10, below(height + 20) - 10, below(width + 20),
                            below(height + 20)};
            const int kind = below(4);
            if (kind == 0) { // from another image, clipped at either side
                other.Set(below(23), below(17), p);
                const IntRect from{below(30) - 4, below(22) - 4, below(30), below(22)};
                image.CopyFrom(other, from, r.left, r.top);
                for (int y = std::max(from.top, 0); y < std::min(from.bottom, 17); ++y)
                    for (int x = std::max(from.left, 0); x < std::min(from.right, 23); ++x)
                        if (model.Contains(r.left + x - from.left, r.top + y - from.top))
                            model.Set(r.left + x - from.left, r.top + y - from.top,
                                      other.Get(x, y));
            } else if (kind == 1 && image.Contains(r.left, r.top)) {
                image.Set(r.left, r.top, p);
                model.Set(r.left, r.top, p);
            } else {
                const IntRect fill = kind == 2 ? image.Bounds() : r;
                image.FillRect(fill, p);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x)
                        if (fill.Contains(x, y))
                            model.Set(x, y, p);
            }
            IntRect damage[512];
            const int n =
                below(3) ? -1 : image.TakeDamage(damage, 1 + below(4) * below(4) * below(4));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(image.Get(x, y), model.Get(x, y))
                        << width << "x" << height << ", step " << step << " at " << x << "," << y;
                    ASSERT_TRUE(n < 0 || shown.Get(x, y) == model.Get(x, y) ||
                                std::any_of(damage, damage + n,
                                            [&](const IntRect& d) { return d.Contains(x, y); }))
                        << width << "x" << height << ", step " << step << ": " << x << "," << y
                        << " changed outside the damage";
                }
            if (n >= 0)
                shown.CopyFrom(model, model.Bounds(), 0, 0);
        }
    }
}

} // namespace
} // namespace oz
