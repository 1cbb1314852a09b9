// The pixel rules under the drawing calls: ellipses, rectangles, lines and block
// transfers, each checked on exact pixel sets, plus clipping of far-off coordinates.

#include "platform/Raster.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace oz {
namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kBlue = 0x0000FF;
constexpr Pixel kGrey = 0x808080;

// The image as rows of characters: '.' for `background`, '#' for `ink`, '?' for anything else.
std::vector<std::string> Picture(const Bitmap& image, Pixel ink = kWhite,
                                 Pixel background = kBlack) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.Height(); ++y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) {
            Pixel p = image.Get(x, y);
            row += p == ink ? '#' : p == background ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// Pixels different from `background`.
int CountNot(const Bitmap& image, Pixel background) {
    int n = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            n += image.Get(x, y) != background;
    return n;
}

bool SameImage(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Get(x, y) != b.Get(x, y))
                return false;
    return true;
}

// Runs `body` and fails when it takes longer than a generous bound: far-off coordinates
// must be clipped before any stepping, so these calls take microseconds.
template <class F> void Quickly(F body) {
    auto start = std::chrono::steady_clock::now();
    body();
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
}

// ---- Ellipse ----

// A filled disc of diameter n drawn at (2, 2) on an (n + 4)-square image; the expected
// picture is the box's rows, the two-pixel border around it must stay black.
void ExpectDisc(int n, const std::vector<std::string>& box) {
    Bitmap image(n + 4, n + 4, kBlack);
    raster::DrawEllipse(image, IntRect{2, 2, 2 + n, 2 + n}, kWhite, 0, true, kWhite);
    std::vector<std::string> expected;
    std::string blank(n + 4, '.');
    expected.push_back(blank);
    expected.push_back(blank);
    for (const std::string& row : box)
        expected.push_back(".." + row + "..");
    expected.push_back(blank);
    expected.push_back(blank);
    EXPECT_EQ(Picture(image), expected) << "disc of diameter " << n;
}

TEST(RasterEllipse, SmallDiscsHaveThePlatformShapes) {
    ExpectDisc(2, {"##", "##"});
    ExpectDisc(3, {".#.", "###", ".#."});
    ExpectDisc(4, {".##.", "####", "####", ".##."});
    ExpectDisc(5, {".###.", "#####", "#####", "#####", ".###."});
    ExpectDisc(6, {"..##..", ".####.", "######", "######", ".####.", "..##.."});
    ExpectDisc(7, {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."});
    ExpectDisc(8, {"..####..", ".######.", "########", "########", "########", "########",
                   ".######.", "..####.."});
    ExpectDisc(9, {"...###...", ".#######.", ".#######.", "#########", "#########", "#########",
                   ".#######.", ".#######.", "...###..."});
    ExpectDisc(10, {"...####...", "..######..", ".########.", "##########", "##########",
                    "##########", "##########", ".########.", "..######..", "...####..."});
}

TEST(RasterEllipse, OnePixelBoxIsOnePixel) {
    Bitmap image(5, 5, kBlack);
    raster::DrawEllipse(image, IntRect{2, 2, 3, 3}, kWhite, 0, true, kWhite);
    EXPECT_EQ(CountNot(image, kBlack), 1);
    EXPECT_EQ(image.Get(2, 2), kWhite);
}

TEST(RasterEllipse, EmptyOrInvertedBoxDrawsNothing) {
    Bitmap image(10, 10, kBlack);
    raster::DrawEllipse(image, IntRect{3, 3, 3, 8}, kWhite, 0, true, kWhite);
    raster::DrawEllipse(image, IntRect{3, 3, 8, 3}, kWhite, 0, true, kWhite);
    raster::DrawEllipse(image, IntRect{8, 8, 3, 3}, kWhite, 0, true, kWhite);
    EXPECT_EQ(CountNot(image, kBlack), 0);
}

TEST(RasterEllipse, DiscsAreSymmetricConvexAndFillTheirBox) {
    for (int n = 1; n <= 64; ++n) {
        Bitmap image(n, n, kBlack);
        raster::DrawEllipse(image, IntRect{0, 0, n, n}, kWhite, 0, true, kWhite);
        auto pic = Picture(image);
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                ASSERT_EQ(pic[y][x], pic[y][n - 1 - x]) << n << ": mirror left-right " << x;
                ASSERT_EQ(pic[y][x], pic[n - 1 - y][x]) << n << ": mirror top-bottom " << y;
                ASSERT_EQ(pic[y][x], pic[x][y]) << n << ": quarter turn " << x << "," << y;
            }
            // One run per row, widening towards the middle.
            auto first = pic[y].find('#'), last = pic[y].rfind('#');
            ASSERT_NE(first, std::string::npos) << n << ": empty row " << y;
            ASSERT_EQ(pic[y].substr(first, last - first + 1), std::string(last - first + 1, '#'));
            if (y > 0 && y <= (n - 1) / 2) {
                ASSERT_LE(first, pic[y - 1].find('#')) << n << ": row " << y;
            }
        }
        // Touches all four sides: the middle row spans the whole width.
        EXPECT_EQ(pic[n / 2], std::string(n, '#')) << n;
    }
}

TEST(RasterEllipse, LargeDiscIsRound) {
    // Every pixel whose centre is well inside the circle is lit, every one well outside is
    // not (a pixel of slack for the rounding at the rim).
    const int n = 201;
    Bitmap image(n, n, kBlack);
    raster::DrawEllipse(image, IntRect{0, 0, n, n}, kWhite, 0, true, kWhite);
    const double c = (n - 1) / 2.0, r = (n - 1) / 2.0;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double d = std::hypot(x - c, y - c);
            if (d < r - 1) {
                ASSERT_EQ(image.Get(x, y), kWhite) << x << "," << y;
            }
            if (d > r + 1) {
                ASSERT_EQ(image.Get(x, y), kBlack) << x << "," << y;
            }
        }
    }
}

TEST(RasterEllipse, OutlineAndFillColours) {
    Bitmap image(7, 7, kGrey);
    raster::DrawEllipse(image, IntRect{0, 0, 7, 7}, kWhite, 1, true, kBlack);
    EXPECT_EQ(Picture(image, kWhite, kBlack), (std::vector<std::string>{
                                                  "??###??",
                                                  "?#...#?",
                                                  "#.....#",
                                                  "#.....#",
                                                  "#.....#",
                                                  "?#...#?",
                                                  "??###??",
                                              }));
}

TEST(RasterEllipse, HollowLeavesTheInside) {
    Bitmap image(7, 7, kGrey);
    raster::DrawEllipse(image, IntRect{0, 0, 7, 7}, kWhite, 0, false, kBlack);
    EXPECT_EQ(Picture(image, kWhite, kGrey), (std::vector<std::string>{
                                                 "..###..",
                                                 ".#...#.",
                                                 "#.....#",
                                                 "#.....#",
                                                 "#.....#",
                                                 ".#...#.",
                                                 "..###..",
                                             }));
}

TEST(RasterEllipse, WiderPenRingStaysInsideTheBox) {
    Bitmap image(14, 14, kGrey);
    raster::DrawEllipse(image, IntRect{2, 2, 12, 12}, kWhite, 2, true, kBlack);
    auto pic = Picture(image, kWhite, kBlack);
    // Outside the box: untouched.
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(pic[0][i], '?');
        EXPECT_EQ(pic[1][i], '?');
        EXPECT_EQ(pic[i][12], '?');
        EXPECT_EQ(pic[i][13], '?');
    }
    // Along the middle row: two ring pixels on each side, then the inside.
    EXPECT_EQ(pic[7].substr(2, 10), "##......##");
    EXPECT_EQ(pic[2].substr(2, 10), "???####???");
    EXPECT_EQ(pic[3].substr(2, 10), "??######??");
    EXPECT_EQ(pic[4].substr(2, 10), "?##....##?");
}

TEST(RasterEllipse, FarOffBoxesClipWithoutStepping) {
    Bitmap image(100, 80, kBlack);
    Quickly([&] {
        // The middle of a huge disc covers the whole image.
        raster::DrawEllipse(image, IntRect{-2000000000, -2000000000, 2000000000, 2000000000},
                            kWhite, 0, true, kWhite);
    });
    EXPECT_EQ(CountNot(image, kWhite), 0);

    image.Fill(kBlack);
    Quickly([&] {
        // Hollow: its ring lies far away, nothing lands on the image.
        raster::DrawEllipse(image, IntRect{-2000000000, -2000000000, 2000000000, 2000000000},
                            kWhite, 0, false, kWhite);
        // Wholly off the image.
        raster::DrawEllipse(image, IntRect{-2000000000, -2000000000, -1000000000, 2000000000},
                            kWhite, 0, true, kWhite);
        raster::DrawEllipse(image, IntRect{1000, 1000, 2000000000, 2000000000}, kWhite, 0, true,
                            kWhite);
    });
    EXPECT_EQ(CountNot(image, kBlack), 0);

    Quickly([&] {
        // Only the top of a huge disc reaches the image, from row 10 down; so flat a curve
        // covers the image's width in its first row already.
        raster::DrawEllipse(image, IntRect{-2000000000, 10, 2000000001, 2000000000}, kWhite, 0,
                            true, kWhite);
    });
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(image.Get(x, y), y < 10 ? kBlack : kWhite) << x << "," << y;
}

TEST(RasterEllipse, ClippingNeverChangesThePixels) {
    // Ellipses that only partly lie on a small image match the same ellipses drawn whole on
    // a large one.
    const int ox = 400, oy = 300;
    const IntRect boxes[] = {{-300, -200, 500, 380}, {-50, 60, 90, 700},  {70, -10, 130, 30},
                             {-37, -41, 13, 9},      {95, 75, 1100, 780}, {-399, 20, 499, 61}};
    for (const IntRect& box : boxes) {
        for (int width : {1, 2, 3}) {
            Bitmap large(1300, 1000, kBlack), small(100, 80, kBlack);
            raster::DrawEllipse(large, box.Translated(ox, oy), kWhite, width, true, kRed);
            raster::DrawEllipse(small, box, kWhite, width, true, kRed);
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 100; ++x)
                    ASSERT_EQ(small.Get(x, y), large.Get(x + ox, y + oy))
                        << "box " << box.left << "," << box.top << "," << box.right << ","
                        << box.bottom << " pen " << width << " at " << x << "," << y;
        }
    }
}

// ---- Rectangle ----

TEST(RasterRectangle, WidthTwoOutlineInsideTheBox) {
    Bitmap image(1024, 768, kBlack);
    raster::DrawRectangle(image, IntRect{297, 697, 728, 724}, kWhite, 2, false, kRed);
    // Columns 297, 298 and 726, 727; rows 697, 698 and 722, 723; nothing else.
    for (int y = 690; y < 730; ++y) {
        for (int x = 290; x < 735; ++x) {
            bool inBox = x >= 297 && x < 728 && y >= 697 && y < 724;
            bool frame = inBox && (x <= 298 || x >= 726 || y <= 698 || y >= 722);
            ASSERT_EQ(image.Get(x, y), frame ? kWhite : kBlack) << x << "," << y;
        }
    }
    EXPECT_EQ(CountNot(image, kBlack), 2 * 431 * 2 + 2 * 23 * 2);
}

TEST(RasterRectangle, OnePixelOutlineAndFill) {
    Bitmap image(8, 6, kGrey);
    raster::DrawRectangle(image, IntRect{1, 1, 7, 5}, kWhite, 0, true, kBlack);
    EXPECT_EQ(Picture(image, kWhite, kBlack), (std::vector<std::string>{
                                                  "????????",
                                                  "?######?",
                                                  "?#....#?",
                                                  "?#....#?",
                                                  "?######?",
                                                  "????????",
                                              }));
}

TEST(RasterRectangle, ClipsAtTheImageEdges) {
    Bitmap image(10, 10, kBlack);
    Quickly([&] {
        raster::DrawRectangle(image, IntRect{-2000000000, -2000000000, 2000000000, 5}, kWhite, 2,
                              true, kRed);
    });
    // Only the bottom two rows of the frame (rows 3 and 4) and the inside above them.
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(image.Get(x, 0), kRed);
        EXPECT_EQ(image.Get(x, 2), kRed);
        EXPECT_EQ(image.Get(x, 3), kWhite);
        EXPECT_EQ(image.Get(x, 4), kWhite);
        EXPECT_EQ(image.Get(x, 5), kBlack);
    }
}

// ---- Lines ----

// An independent step-by-step model of the platform's thin line: the error-term
// Bresenham loop, ties broken towards the minor step except in octants 3, 5, 6 and 8.
std::vector<std::pair<int, int>> ModelLine(int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> points;
    int dx = x1 - x0, dy = y1 - y0;
    int octant = dy > 0 ? (dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3))
                        : (dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7));
    int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    dx = std::abs(dx);
    dy = std::abs(dy);
    int x = x0, y = y0;
    if (dx > dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            points.push_back({x, y});
            if (err + bias > 0) {
                y += sy;
                err += 2 * dy - 2 * dx;
            } else {
                err += 2 * dy;
            }
            x += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            points.push_back({x, y});
            if (err + bias > 0) {
                x += sx;
                err += 2 * dx - 2 * dy;
            } else {
                err += 2 * dx;
            }
            y += sy;
        }
    }
    return points;
}

TEST(RasterLine, HorizontalLeavesOutTheEndPoint) {
    Bitmap image(12, 3, kBlack);
    raster::DrawLine(image, 2, 1, 9, 1, kWhite, 0);
    EXPECT_EQ(Picture(image),
              (std::vector<std::string>{"............", "..#######...", "............"}));
    image.Fill(kBlack);
    raster::DrawLine(image, 9, 1, 2, 1, kWhite, 1); // right to left: (2, 1) left out
    EXPECT_EQ(Picture(image)[1], "...#######..");
}

TEST(RasterLine, IncludeEndDrawsTheEndPoint) {
    Bitmap image(12, 3, kBlack);
    raster::DrawLine(image, 2, 1, 9, 1, kWhite, 1, true);
    EXPECT_EQ(Picture(image)[1], "..########..");
}

TEST(RasterLine, VerticalAndDiagonal) {
    Bitmap image(6, 6, kBlack);
    raster::DrawLine(image, 1, 0, 1, 5, kWhite, 0);
    raster::DrawLine(image, 5, 5, 2, 2, kWhite, 0);
    EXPECT_EQ(Picture(image), (std::vector<std::string>{
                                  ".#....",
                                  ".#....",
                                  ".#....",
                                  ".#.#..",
                                  ".#..#.",
                                  ".....#",
                              }));
}

TEST(RasterLine, ZeroLengthDrawsNothing) {
    Bitmap image(4, 4, kBlack);
    raster::DrawLine(image, 1, 1, 1, 1, kWhite, 0);
    EXPECT_EQ(CountNot(image, kBlack), 0);
}

TEST(RasterLine, EveryOctantMatchesTheStepModel) {
    for (int dx = -9; dx <= 9; ++dx) {
        for (int dy = -9; dy <= 9; ++dy) {
            Bitmap image(21, 21, kBlack);
            raster::DrawLine(image, 10, 10, 10 + dx, 10 + dy, kWhite, 0);
            Bitmap expected(21, 21, kBlack);
            for (auto [x, y] : ModelLine(10, 10, 10 + dx, 10 + dy))
                expected.Set(x, y, kWhite);
            ASSERT_TRUE(SameImage(image, expected)) << "to (" << dx << ", " << dy << ")";
        }
    }
}

TEST(RasterLine, TiesFollowTheOctantRule) {
    // A 2:1 slope meets exact ties; octant 1 rounds them one way and octant 5 (the same
    // segment backwards) the other, so both directions light the same pixels in between.
    Bitmap image(8, 4, kBlack);
    raster::DrawLine(image, 0, 0, 4, 2, kWhite, 0); // octant 1
    EXPECT_EQ(Picture(image), (std::vector<std::string>{
                                  "##......",
                                  "..##....",
                                  "........",
                                  "........",
                              }));
    image.Fill(kBlack);
    raster::DrawLine(image, 4, 2, 0, 0, kWhite, 0); // octant 5
    EXPECT_EQ(Picture(image), (std::vector<std::string>{
                                  ".#......",
                                  "..##....",
                                  "....#...",
                                  "........",
                              }));
}

TEST(RasterLine, ClippingNeverChangesThePixels) {
    // The same lines on a large image and on a small window into it must agree pixel for
    // pixel wherever the window lies.
    const int ox = 700, oy = 500;
    const int ends[][4] = {{-650, -480, 900, 410}, {30, -490, 60, 700},     {-690, 77, 1200, 60},
                           {250, 199, -300, -5},   {1500, -400, -500, 640}, {120, 90, 123, 95},
                           {-3, 5, 7, 300},        {299, 0, 0, 199}};
    for (auto& e : ends) {
        Bitmap large(2400, 1400, kBlack), small(300, 200, kBlack);
        raster::DrawLine(large, e[0] + ox, e[1] + oy, e[2] + ox, e[3] + oy, kWhite, 0);
        raster::DrawLine(small, e[0], e[1], e[2], e[3], kWhite, 0);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                ASSERT_EQ(small.Get(x, y), large.Get(x + ox, y + oy))
                    << "line " << e[0] << "," << e[1] << " to " << e[2] << "," << e[3] << " at "
                    << x << "," << y;
    }
}

TEST(RasterLine, FarOffEndsClipWithoutStepping) {
    Bitmap image(100, 80, kBlack);
    Quickly([&] {
        raster::DrawLine(image, -2000000000, -2000000000, 2000000000, 2000000000, kWhite, 0);
    });
    // The exact diagonal: (i, i) for every row of the image.
    EXPECT_EQ(CountNot(image, kBlack), 80);
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(image.Get(i, i), kWhite);

    image.Fill(kBlack);
    Quickly([&] {
        raster::DrawLine(image, 2000000000, 7, -2000000000, 7, kWhite, 0);
        raster::DrawLine(image, 13, -2000000000, 13, 2000000000, kWhite, 0);
        // Wholly off the image, also along its major axis.
        raster::DrawLine(image, -2000000000, -5, 2000000000, -3, kWhite, 0);
        raster::DrawLine(image, -2000000000, 2000000000, 2000000000, 2000000000, kWhite, 0);
    });
    EXPECT_EQ(CountNot(image, kBlack), 100 + 80 - 1);
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(image.Get(x, 7), kWhite);
    for (int y = 0; y < 80; ++y)
        EXPECT_EQ(image.Get(13, y), kWhite);

    // A shallow line from far away enters at the exact rows Bresenham gives it.
    image.Fill(kBlack);
    Quickly([&] { raster::DrawLine(image, -1999999990, 0, 110, 40, kWhite, 0); });
    for (int x = 0; x < 100; ++x) {
        int lit = 0;
        for (int y = 0; y < 80; ++y)
            lit += image.Get(x, y) == kWhite;
        EXPECT_EQ(lit, 1) << x;
    }
}

TEST(RasterLine, WideHorizontalAndVerticalIncludeRoundEnds) {
    Bitmap image(30, 20, kBlack);
    raster::DrawLine(image, 10, 10, 20, 10, kWhite, 2);
    // Two rows (9, 10), columns 9 to 20: the ends' caps reach one pixel past each end.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(image.Get(x, y), (y == 9 || y == 10) && x >= 9 && x <= 20 ? kWhite : kBlack)
                << x << "," << y;

    image.Fill(kBlack);
    raster::DrawLine(image, 15, 18, 15, 2, kWhite, 2);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(image.Get(x, y), (x == 14 || x == 15) && y >= 1 && y <= 18 ? kWhite : kBlack)
                << x << "," << y;
}

TEST(RasterLine, WideOddWidthIsCentred) {
    Bitmap image(20, 10, kBlack);
    raster::DrawLine(image, 5, 5, 12, 5, kWhite, 3);
    EXPECT_EQ(Picture(image), (std::vector<std::string>{
                                  "....................",
                                  "....................",
                                  "....................",
                                  "....................",
                                  ".....########.......",
                                  "....##########......",
                                  ".....########.......",
                                  "....................",
                                  "....................",
                                  "....................",
                              }));
}

TEST(RasterLine, WideZeroLengthIsADot) {
    Bitmap image(6, 6, kBlack);
    raster::DrawLine(image, 3, 3, 3, 3, kWhite, 2);
    EXPECT_EQ(Picture(image), (std::vector<std::string>{
                                  "......",
                                  "......",
                                  "..##..",
                                  "..##..",
                                  "......",
                                  "......",
                              }));
}

TEST(RasterLine, WideDiagonalCoversTheThinLineAndIsSymmetric) {
    Bitmap thin(40, 40, kBlack), wide(40, 40, kBlack);
    raster::DrawLine(thin, 10, 10, 30, 30, kWhite, 1, true);
    raster::DrawLine(wide, 10, 10, 30, 30, kWhite, 2);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (thin.Get(x, y) == kWhite) {
                ASSERT_EQ(wide.Get(x, y), kWhite) << x << "," << y;
            }
            // Mirror about the line's own axis (x <-> y) and about its middle.
            ASSERT_EQ(wide.Get(x, y), wide.Get(y, x)) << x << "," << y;
            ASSERT_EQ(wide.Get(x, y), wide.Get(39 - x, 39 - y)) << x << "," << y;
        }
    }
    // Thicker than the thin line, but not by much: about 2.8 pixels across per row.
    EXPECT_GT(CountNot(wide, kBlack), CountNot(thin, kBlack) * 2);
    EXPECT_LT(CountNot(wide, kBlack), CountNot(thin, kBlack) * 4);
}

TEST(RasterLine, WideFarOffClipsWithoutStepping) {
    Bitmap image(100, 80, kBlack);
    Quickly([&] {
        raster::DrawLine(image, -2000000000, 50, 2000000000, 50, kWhite, 2);
        raster::DrawLine(image, -2000000000, -2000000000, 2000000000, -1999999000, kWhite, 2);
        raster::DrawLine(image, 5, -2000000000, 5, 2000000000, kWhite, 4);
    });
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(image.Get(x, 49), kWhite);
        EXPECT_EQ(image.Get(x, 50), kWhite);
    }
    for (int y = 0; y < 80; ++y)
        for (int x = 3; x <= 6; ++x)
            EXPECT_EQ(image.Get(x, y), kWhite);
    EXPECT_EQ(CountNot(image, kBlack), 2 * 100 + 4 * 80 - 2 * 4);
}

// ---- Block transfers ----

Bitmap Strip(std::vector<Pixel> pixels) {
    Bitmap b(static_cast<int>(pixels.size()), 1);
    for (int x = 0; x < b.Width(); ++x)
        b.Set(x, 0, pixels[x]);
    return b;
}

TEST(RasterBlit, RasterOperationsOnEachChannel) {
    Bitmap src = Strip({0x123456, 0xF0F0F0, 0x0F0F0F, 0xFFFFFF, 0x000000});
    Bitmap copy = Strip({0xAAAAAA, 0xAAAAAA, 0xAAAAAA, 0xAAAAAA, 0xAAAAAA});
    Bitmap orred = copy, anded = copy;
    raster::Blit(copy, 0, 0, 5, 1, src, 0, 0, raster::Rop::Copy);
    raster::Blit(orred, 0, 0, 5, 1, src, 0, 0, raster::Rop::Or);
    raster::Blit(anded, 0, 0, 5, 1, src, 0, 0, raster::Rop::And);
    EXPECT_TRUE(SameImage(copy, src));
    EXPECT_TRUE(SameImage(orred, Strip({0xBABEFE, 0xFAFAFA, 0xAFAFAF, 0xFFFFFF, 0xAAAAAA})));
    EXPECT_TRUE(SameImage(anded, Strip({0x022002, 0xA0A0A0, 0x0A0A0A, 0xAAAAAA, 0x000000})));
}

TEST(RasterBlit, ClipsAgainstDestinationAndSource) {
    Bitmap src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.Set(x, y, static_cast<Pixel>(0x10 * y + x + 1));
    Bitmap dst(5, 5, kGrey);
    // Destination off its left and top edges: the source shifts with it.
    raster::Blit(dst, -1, -2, 4, 4, src, 0, 0, raster::Rop::Copy);
    EXPECT_EQ(dst.Get(0, 0), 0x22u);
    EXPECT_EQ(dst.Get(2, 1), 0x34u);
    EXPECT_EQ(dst.Get(3, 0), kGrey);
    EXPECT_EQ(dst.Get(0, 2), kGrey);

    // Source off its own image: those destination pixels are left alone.
    dst.Fill(kGrey);
    raster::Blit(dst, 1, 1, 4, 4, src, 2, -1, raster::Rop::Copy);
    EXPECT_EQ(dst.Get(1, 1), kGrey);        // source row -1
    EXPECT_EQ(dst.Get(1, 2), 0x03u);        // source (2, 0)
    EXPECT_EQ(dst.Get(2, 4), 0x24u);        // source (3, 2)
    EXPECT_EQ(dst.Get(3, 2), kGrey);        // source column 4
    EXPECT_EQ(CountNot(dst, kGrey), 2 * 3); // columns 2..3 of rows 0..2

    // Far away and zero or negative sizes: nothing.
    dst.Fill(kGrey);
    Quickly([&] {
        raster::Blit(dst, -2000000000, -2000000000, 2000000000, 2000000000, src, 0, 0,
                     raster::Rop::Copy);
        raster::Blit(dst, 0, 0, 0, 3, src, 0, 0, raster::Rop::Copy);
        raster::Blit(dst, 0, 0, 3, -1, src, 0, 0, raster::Rop::Copy);
        raster::Blit(dst, 0, 0, 3, 3, src, 2000000000, 0, raster::Rop::Copy);
    });
    EXPECT_EQ(CountNot(dst, kGrey), 0);
}

TEST(RasterBlit, OverlappingCopyWithinOneImage) {
    Bitmap image = Strip({1, 2, 3, 4, 5, 6});
    raster::Blit(image, 1, 0, 5, 1, image, 0, 0, raster::Rop::Copy);
    EXPECT_TRUE(SameImage(image, Strip({1, 1, 2, 3, 4, 5})));
}

TEST(RasterStretch, NearestNeighbour) {
    Bitmap src = Strip({1, 2, 3, 4});
    Bitmap dst(8, 1, 0);
    raster::StretchBlit(dst, 0, 0, 8, 1, src, 0, 0, 4, 1, raster::Rop::Copy);
    EXPECT_TRUE(SameImage(dst, Strip({1, 1, 2, 2, 3, 3, 4, 4})));
    Bitmap half(2, 1, 0);
    raster::StretchBlit(half, 0, 0, 2, 1, src, 0, 0, 4, 1, raster::Rop::Copy);
    EXPECT_TRUE(SameImage(half, Strip({2, 4})));
    Bitmap three(3, 1, 0);
    raster::StretchBlit(three, 0, 0, 3, 1, src, 0, 0, 2, 1, raster::Rop::Copy);
    EXPECT_TRUE(SameImage(three, Strip({1, 2, 2})));
}

TEST(RasterStretch, OneColumnStretchedSideways) {
    // The slider track: one column of the sheet stretched over many.
    Bitmap sheet(3, 3, kBlack);
    sheet.Set(1, 0, 0x151515);
    sheet.Set(1, 1, 0x777777);
    sheet.Set(1, 2, 0x545454);
    Bitmap dst(10, 5, kGrey);
    raster::StretchBlit(dst, 2, 1, 6, 3, sheet, 1, 0, 1, 3, raster::Rop::Copy);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            Pixel expected = kGrey;
            if (x >= 2 && x < 8 && y >= 1 && y < 4)
                expected = sheet.Get(1, y - 1);
            ASSERT_EQ(dst.Get(x, y), expected) << x << "," << y;
        }
}

TEST(RasterStretch, StretchedMaskKeepsTransparency) {
    // A 1 x 2 image over its mask (white = opaque): the top pixel opaque red, the bottom
    // transparent (white in the image, black in the mask). Stretched to 5 columns the
    // transparent row leaves the background; the opaque row shows red.
    Bitmap sheet(1, 4);
    sheet.Set(0, 0, kRed);   // image
    sheet.Set(0, 1, kWhite); // image, transparent
    sheet.Set(0, 2, kWhite); // mask: opaque
    sheet.Set(0, 3, kBlack); // mask: transparent
    Bitmap dst(7, 4, kBlue);
    raster::StretchBlit(dst, 1, 1, 5, 2, sheet, 0, 2, 1, 2, raster::Rop::Or);
    raster::StretchBlit(dst, 1, 1, 5, 2, sheet, 0, 0, 1, 2, raster::Rop::And);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            Pixel expected = (y == 1 && x >= 1 && x <= 5) ? kRed : kBlue;
            ASSERT_EQ(dst.Get(x, y), expected) << x << "," << y;
        }
}

TEST(RasterStretch, ClipsAndRefusesEmptySizes) {
    Bitmap src = Strip({1, 2, 3, 4});
    Bitmap dst(4, 1, 0);
    raster::StretchBlit(dst, -4, 0, 8, 1, src, 0, 0, 4, 1, raster::Rop::Copy);
    EXPECT_TRUE(SameImage(dst, Strip({3, 3, 4, 4})));
    dst.Fill(0);
    raster::StretchBlit(dst, 0, 0, 4, 1, src, 2, 0, 4, 1, raster::Rop::Copy); // half off source
    EXPECT_TRUE(SameImage(dst, Strip({3, 4, 0, 0})));
    dst.Fill(0);
    Quickly([&] {
        raster::StretchBlit(dst, 0, 0, 0, 1, src, 0, 0, 4, 1, raster::Rop::Copy);
        raster::StretchBlit(dst, 0, 0, 4, 1, src, 0, 0, -4, 1, raster::Rop::Copy);
        raster::StretchBlit(dst, 0, 0, 4, 1, src, 0, 0, 4, 0, raster::Rop::Copy);
        raster::StretchBlit(dst, -2000000000, 0, 2000000000, 1, src, 0, 0, 4, 1, raster::Rop::Copy);
    });
    EXPECT_EQ(CountNot(dst, 0), 0);
}

} // namespace
} // namespace oz
