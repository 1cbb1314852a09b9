// The committed sprite sheet: where its pictures lie, the mask rules the drawing relies
// on, the shapes of the masks, and the looks the widgets expect.

#include "platform/Assets.h"
#include "platform/Bitmap.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

struct Sprite {
    int x, y, width, height;
    bool hasMask;
};

// The rectangles the main window registers, in index order.
constexpr std::array<Sprite, 12> kSprites{{
    {0, 0, 73, 73, true},
    {73, 0, 37, 37, true},
    {0, 146, 73, 26, true},
    {73, 159, 11, 11, true},
    {73, 74, 16, 20, true},
    {89, 74, 16, 20, true},
    {73, 114, 16, 20, true},
    {89, 114, 16, 20, true},
    {98, 155, 1, 21, false},
    {84, 159, 4, 17, true},
    {88, 159, 4, 17, true},
    {98, 176, 1, 17, false},
}};

// The read-out's dials, used straight from the sheet.
constexpr IntRect kDial{0, 198, 72, 270};
constexpr IntRect kHalfDial{72, 198, 109, 270};

constexpr std::array<int, 20> kLeftButtonRuns{1,  3,  5,  6,  8,  10, 11, 13, 15, 16,
                                              16, 15, 13, 11, 10, 8,  6,  5,  3,  1};

int Red(Pixel p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
int Green(Pixel p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
int Blue(Pixel p) {
    return static_cast<int>(p & 0xFF);
}
bool IsGrey(Pixel p) {
    return Red(p) == Green(p) && Green(p) == Blue(p);
}
double Brightness(Pixel p) {
    return (Red(p) + Green(p) + Blue(p)) / 3.0;
}

class SpriteSheetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadPng(std::string(OZMIR_SOURCE_DIR) + "/assets/sprites.png", sheet));
    }

    static Pixel At(const Sprite& s, int x, int y) { return sheet.Get(s.x + x, s.y + y); }
    static bool Opaque(const Sprite& s, int x, int y) {
        return sheet.Get(s.x + x, s.y + s.height + y) == kWhite;
    }
    static bool Opaque(int index, int x, int y) {
        return Opaque(kSprites[static_cast<size_t>(index)], x, y);
    }

    // The opaque runs of one mask row, as (first column, length).
    static std::vector<std::pair<int, int>> RowRuns(int index, int y) {
        const Sprite& s = kSprites[static_cast<size_t>(index)];
        std::vector<std::pair<int, int>> runs;
        for (int x = 0; x < s.width; ++x) {
            if (!Opaque(s, x, y))
                continue;
            if (runs.empty() || runs.back().first + runs.back().second != x)
                runs.push_back({x, 0});
            ++runs.back().second;
        }
        return runs;
    }

    static inline Bitmap sheet;
};

using RunList = std::vector<std::pair<int, int>>;

TEST_F(SpriteSheetTest, PicturesMasksAndDialsFitTheSheetWithoutOverlapping) {
    ASSERT_EQ(sheet.Width(), 110);
    ASSERT_EQ(sheet.Height(), 270);
    std::vector<IntRect> areas{kDial, kHalfDial};
    for (const Sprite& s : kSprites) {
        areas.push_back({s.x, s.y, s.x + s.width, s.y + s.height});
        if (s.hasMask)
            areas.push_back({s.x, s.y + s.height, s.x + s.width, s.y + 2 * s.height});
    }
    for (size_t i = 0; i < areas.size(); ++i) {
        EXPECT_EQ(areas[i].Intersected(sheet.Bounds()).Width(), areas[i].Width()) << i;
        EXPECT_EQ(areas[i].Intersected(sheet.Bounds()).Height(), areas[i].Height()) << i;
        for (size_t j = i + 1; j < areas.size(); ++j)
            EXPECT_TRUE(areas[i].Intersected(areas[j]).IsEmpty()) << i << " and " << j;
    }
}

TEST_F(SpriteSheetTest, MasksArePureBlackAndWhiteAndPicturesAreWhiteWhereTransparent) {
    for (size_t i = 0; i < kSprites.size(); ++i) {
        const Sprite& s = kSprites[i];
        if (!s.hasMask)
            continue;
        int opaque = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const Pixel mask = sheet.Get(s.x + x, s.y + s.height + y);
                ASSERT_TRUE(mask == kWhite || mask == kBlack)
                    << "image " << i << " " << x << "," << y;
                if (mask == kBlack) {
                    ASSERT_EQ(At(s, x, y), kWhite) << "image " << i << " " << x << "," << y;
                } else {
                    ++opaque;
                }
            }
        EXPECT_GT(opaque, 0) << "image " << i;
    }
}

TEST_F(SpriteSheetTest, WellKnobAndSmallBallMasksAreDiscsFillingTheirSquares) {
    for (int index : {0, 1, 3}) {
        const int n = kSprites[static_cast<size_t>(index)].width;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int dx = 2 * x - (n - 1), dy = 2 * y - (n - 1);
                ASSERT_EQ(Opaque(index, x, y), dx * dx + dy * dy <= n * n)
                    << "image " << index << " " << x << "," << y;
            }
        // The disc touches all four sides at their middles, and no corner.
        EXPECT_TRUE(Opaque(index, n / 2, 0) && Opaque(index, n / 2, n - 1));
        EXPECT_TRUE(Opaque(index, 0, n / 2) && Opaque(index, n - 1, n / 2));
        EXPECT_FALSE(Opaque(index, 0, 0) || Opaque(index, n - 1, n - 1));
    }
}

TEST_F(SpriteSheetTest, ButtonMasksAreTrianglesWithTheListedRuns) {
    for (int y = 0; y < 20; ++y) {
        const int run = kLeftButtonRuns[static_cast<size_t>(y)];
        for (int index : {4, 5})
            EXPECT_EQ(RowRuns(index, y), (RunList{{16 - run, run}}))
                << "image " << index << " row " << y;
        for (int index : {6, 7})
            EXPECT_EQ(RowRuns(index, y), (RunList{{0, run}})) << "image " << index << " row " << y;
    }
}

TEST_F(SpriteSheetTest, ThumbEndsAreOpaqueExceptTheirOuterCorners) {
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool rowEnd = y == 0 || y == 16;
            EXPECT_EQ(Opaque(9, x, y), !(rowEnd && x == 0)) << x << "," << y;
            EXPECT_EQ(Opaque(10, x, y), !(rowEnd && x == 3)) << x << "," << y;
        }
}

TEST_F(SpriteSheetTest, ArchMaskFollowsItsRowRules) {
    // The outer arc: one run per row down to the full-width rows, widening from a
    // 19-pixel crown; rows 14 to 18 opaque across the whole width.
    EXPECT_EQ(RowRuns(2, 0), (RunList{{27, 19}}));
    int previous = 0;
    for (int y = 0; y <= 18; ++y) {
        const RunList runs = RowRuns(2, y);
        ASSERT_EQ(runs.size(), 1u) << "row " << y;
        EXPECT_EQ(runs[0].first, 72 - (runs[0].first + runs[0].second - 1)) << "row " << y;
        EXPECT_GE(runs[0].second, previous) << "row " << y;
        previous = runs[0].second;
        if (y >= 14) {
            EXPECT_EQ(runs, (RunList{{0, 73}})) << "row " << y;
        }
    }
    // Below them the inner arc opens downwards: two runs, the gap between them widening.
    int gap = 0;
    for (int y = 19; y <= 25; ++y) {
        const RunList runs = RowRuns(2, y);
        ASSERT_EQ(runs.size(), 2u) << "row " << y;
        const int gapNow = runs[1].first - (runs[0].first + runs[0].second);
        EXPECT_GT(gapNow, gap) << "row " << y;
        gap = gapNow;
    }
    EXPECT_EQ(RowRuns(2, 25), (RunList{{7, 6}, {60, 6}}));
}

// The spin wheel draws the ball (image 3) with its centre on an arc of radius 55 round
// (36, 64), up to 30 degrees either way, and erases it by drawing the arch again.
TEST_F(SpriteSheetTest, ArchCoversEveryPlaceOfTheSpinWheelBall) {
    const double limit = 3.141593 / 6;
    for (int step = -3000; step <= 3000; ++step) {
        const double angle = limit * step / 3000.0;
        const int ballX = static_cast<int>(std::nearbyint(std::sin(angle) * 55));
        const int ballY = static_cast<int>(std::nearbyint(std::cos(angle) * 55));
        const int left = 36 + ballX - 5, top = 64 - ballY - 5;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 11; ++x)
                if (Opaque(3, x, y)) {
                    ASSERT_TRUE(Opaque(2, left + x, top + y))
                        << "angle step " << step << " ball pixel " << x << "," << y;
                }
    }
}

// The joystick keeps the knob's centre within 13 pixels of the well's and erases it by
// drawing the well again.
TEST_F(SpriteSheetTest, WellCoversEveryPlaceOfTheKnob) {
    for (int ky = -13; ky <= 13; ++ky)
        for (int kx = -13; kx <= 13; ++kx) {
            if (kx * kx + ky * ky > 13 * 13)
                continue;
            for (int y = 0; y < 37; ++y)
                for (int x = 0; x < 37; ++x)
                    if (Opaque(1, x, y)) {
                        ASSERT_TRUE(Opaque(0, 18 + kx + x, 18 - ky + y)) << kx << "," << ky;
                    }
        }
}

TEST_F(SpriteSheetTest, WellIsFlatGreyInsideARimDarkUpperLeftAndLightLowerRight) {
    const Sprite& well = kSprites[0];
    double upperLeft = 0, lowerRight = 0;
    int upperLeftCount = 0, lowerRightCount = 0;
    for (int y = 0; y < 73; ++y)
        for (int x = 0; x < 73; ++x) {
            const int dx = x - 36, dy = y - 36;
            const Pixel p = At(well, x, y);
            if (!Opaque(well, x, y))
                continue;
            EXPECT_TRUE(IsGrey(p)) << x << "," << y;
            if (dx * dx + dy * dy <= 20 * 20) {
                EXPECT_EQ(p, 0x757575u) << x << "," << y; // grey 117
            }
            if (dx * dx + dy * dy >= 30 * 30 && dx + dy < -20) {
                upperLeft += Brightness(p);
                ++upperLeftCount;
            }
            if (dx * dx + dy * dy >= 30 * 30 && dx + dy > 20) {
                lowerRight += Brightness(p);
                ++lowerRightCount;
            }
        }
    EXPECT_LT(upperLeft / upperLeftCount + 30, lowerRight / lowerRightCount);
}

TEST_F(SpriteSheetTest, BallsAreShadedBlue) {
    for (int index : {1, 3}) {
        const Sprite& s = kSprites[static_cast<size_t>(index)];
        double lit = 0, shaded = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                if (!Opaque(s, x, y))
                    continue;
                const Pixel p = At(s, x, y);
                EXPECT_TRUE(Blue(p) > Red(p) && Blue(p) >= Green(p))
                    << index << ": " << x << "," << y;
                (x + y < s.width - 1 ? lit : shaded) += Brightness(p);
            }
        EXPECT_GT(lit, shaded) << "image " << index;
    }
    // The knob stays within its blue-grey range, about (51, 65, 84) to (169, 183, 200).
    const Sprite& knob = kSprites[1];
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 37; ++x)
            if (Opaque(knob, x, y)) {
                const Pixel p = At(knob, x, y);
                EXPECT_TRUE(Red(p) >= 45 && Red(p) <= 175 && Blue(p) >= 78 && Blue(p) <= 206)
                    << x << "," << y;
            }
}

TEST_F(SpriteSheetTest, ArchAndButtonsAreGreyAndLitFromTheUpperLeftUnlessSunken) {
    for (int index : {2, 4, 5, 6, 7}) {
        const Sprite& s = kSprites[static_cast<size_t>(index)];
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                if (Opaque(s, x, y)) {
                    EXPECT_TRUE(IsGrey(At(s, x, y))) << index << ": " << x << "," << y;
                }
    }
    // The slanted edges: the upper one faces the light on a raised button.
    for (int index : {4, 5, 6, 7}) {
        const Sprite& s = kSprites[static_cast<size_t>(index)];
        const bool pointsRight = index >= 6, sunken = index == 5 || index == 7;
        double upper = 0, lower = 0;
        for (int y = 1; y <= 8; ++y) {
            const int run = kLeftButtonRuns[static_cast<size_t>(y)];
            const int tipSide = pointsRight ? run - 1 : 16 - run;
            upper += Brightness(At(s, tipSide, y));
            lower += Brightness(At(s, tipSide, 19 - y));
        }
        if (sunken) {
            EXPECT_LT(upper, lower) << "image " << index;
        } else {
            EXPECT_GT(upper, lower) << "image " << index;
        }
    }
}

TEST_F(SpriteSheetTest, TrackAndThumbColumnsHaveTheirProfiles) {
    const Sprite& track = kSprites[8];
    EXPECT_EQ(At(track, 0, 0), 0x151515u);  // grey 21
    EXPECT_EQ(At(track, 0, 19), 0x828282u); // grey 130
    EXPECT_EQ(At(track, 0, 20), 0x545454u); // grey 84
    for (int y = 0; y < 21; ++y)
        EXPECT_TRUE(IsGrey(At(track, 0, y))) << y;
    for (int y = 4; y <= 12; ++y)
        EXPECT_TRUE(Red(At(track, 0, y)) >= 117 && Red(At(track, 0, y)) <= 121) << y;
    for (int y = 2; y <= 19; ++y)
        EXPECT_GE(Red(At(track, 0, y)), Red(At(track, 0, y - 1))) << y;

    const Sprite& thumb = kSprites[11];
    EXPECT_EQ(At(thumb, 0, 0), 0xA6B2C2u);  // (166, 178, 194)
    EXPECT_EQ(At(thumb, 0, 8), 0x5B7496u);  // (91, 116, 150)
    EXPECT_EQ(At(thumb, 0, 16), 0x324257u); // (50, 66, 87)
    for (int y = 1; y < 17; ++y) {
        const Pixel above = At(thumb, 0, y - 1), here = At(thumb, 0, y);
        EXPECT_TRUE(Red(here) <= Red(above) && Green(here) <= Green(above) &&
                    Blue(here) <= Blue(above))
            << y;
    }
    // The thumb's ends carry the same rows between their outer columns.
    for (int y = 1; y < 16; ++y) {
        EXPECT_EQ(At(kSprites[9], 2, y), At(thumb, 0, y)) << y;
        EXPECT_EQ(At(kSprites[10], 1, y), At(thumb, 0, y)) << y;
    }
}

// White on black: ORed onto the view, the black leaves the stars as they are.
TEST_F(SpriteSheetTest, DialsAreWhiteRingsOnBlack) {
    for (const IntRect& r : {kDial, kHalfDial})
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ASSERT_TRUE(IsGrey(sheet.Get(x, y))) << x << "," << y;
    const auto white = [](int x, int y) { return Brightness(sheet.Get(x, y)) >= 200; };
    const auto black = [](int x, int y) { return sheet.Get(x, y) == kBlack; };
    // Full dial round (36, 36): black in the middle and the corners, a ring on every side.
    EXPECT_TRUE(black(36, 198 + 36) && black(0, 198) && black(71, 269) && black(0, 269));
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        bool ring = false;
        for (int k = 20; k <= 36 && !ring; ++k)
            ring = white(36 + dx * k, 198 + 36 + dy * k);
        EXPECT_TRUE(ring) << dx << "," << dy;
    }
    // The notch hangs down from the top of the ring.
    EXPECT_TRUE(white(36, 198 + 6));
    EXPECT_TRUE(black(36, 198 + 12));
    // Half dial round (1, 36): a line down its left edge, the arc to the right with its
    // notch pointing left at the middle.
    for (int y = 198 + 10; y < 198 + 62; ++y)
        EXPECT_TRUE(white(72, y)) << y;
    EXPECT_TRUE(black(72 + 18, 198 + 36) && black(108, 198) && black(108, 269));
    EXPECT_TRUE(white(72 + 31, 198 + 36));
    EXPECT_TRUE(black(72 + 25, 198 + 36));
    EXPECT_TRUE(white(72 + 1 + 24, 198 + 36 - 24)); // on the arc, up and to the right
}

} // namespace
} // namespace oz
