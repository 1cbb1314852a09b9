#include "platform/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace oz {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;

const Font& StarViewFont() {
    return Font::Get({"Arial Black", 9.75f, false, false});
}

Bitmap Drawn(const Font& font, std::string_view text, Pixel background = 0, Pixel color = kWhite,
             int width = 200, int height = 40) {
    Bitmap image(width, height, background);
    font.DrawLine(image, text, 2, 2, color, image.Bounds());
    return image;
}

long Ink(const Bitmap& image) {
    long sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            Pixel p = image.Get(x, y);
            sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        }
    return sum;
}

// Mean column of the ink in rows [top, bottom).
double InkCentre(const Bitmap& image, int top, int bottom) {
    double weighted = 0, total = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.Width(); ++x) {
            double v = image.Get(x, y) & 0xFF;
            weighted += v * x;
            total += v;
        }
    return total > 0 ? weighted / total : -1;
}

TEST(FontMetrics, PointsAreSizedAt96DotsPerInch) {
    EXPECT_EQ(StarViewFont().PixelSize(), 13);
    EXPECT_EQ(Font::Get({"Arial Black", 9.0f, false, false}).PixelSize(), 12);
    EXPECT_EQ(Font::Get({"Arial Black", 14.25f, false, false}).PixelSize(), 19);
    EXPECT_EQ(Font::Get({"Arial Black", 21.75f, false, true}).PixelSize(), 29);
    EXPECT_EQ(Font::Get({"Arial Narrow", 18.0f, true, true}).PixelSize(), 24);
}

TEST(FontMetrics, AscentFitsInsideTheLine) {
    for (float points : {8.25f, 9.75f, 21.75f}) {
        const Font& font = Font::Get({"Arial Black", points, false, false});
        EXPECT_GT(font.Ascent(), font.PixelSize() / 2) << points;
        EXPECT_LT(font.Ascent(), font.LineHeight()) << points;
        EXPECT_GE(font.LineHeight(), font.PixelSize()) << points;
        EXPECT_LE(font.LineHeight(), 2 * font.PixelSize()) << points;
    }
}

TEST(FontMetrics, WidthAddsUpAdvances) {
    const Font& font = StarViewFont();
    EXPECT_EQ(font.MeasureWidth(""), 0);
    EXPECT_LT(font.MeasureWidth("a"), font.MeasureWidth("ab"));
    EXPECT_LT(font.MeasureWidth("ab"), font.MeasureWidth("abc"));
    EXPECT_EQ(font.MeasureWidth("abc"), font.MeasureWidth("ab") + font.MeasureWidth("c"));
    EXPECT_GT(font.MeasureWidth("WW"), font.MeasureWidth("ii"));
    EXPECT_GT(font.MeasureWidth(" "), 0);
    EXPECT_EQ(font.MeasureWidth("\t\r\n"), 0);
}

TEST(FontMetrics, WidthMatchesTheInkDrawn) {
    const Font& font = StarViewFont();
    Bitmap image = Drawn(font, "WWWWW");
    int rightmost = -1;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Get(x, y) != 0)
                rightmost = std::max(rightmost, x);
    int end = 2 + font.MeasureWidth("WWWWW");
    EXPECT_GT(rightmost, end - font.PixelSize() / 2);
    EXPECT_LE(rightmost, end + 1);
}

TEST(FontCache, SameDescriptionGivesSameFont) {
    FontSpec request{"Arial Black", 9.75f, false, false};
    const Font& first = Font::Get(request);
    EXPECT_EQ(&first, &Font::Get(request));
    EXPECT_EQ(first.Request(), request);
    EXPECT_NE(&first, &Font::Get({"Arial Black", 9.75f, false, true}));
    EXPECT_NE(&first, &Font::Get({"Arial Black", 9.0f, false, false}));
    EXPECT_EQ(&Font::Get(FontSpec{}), &Font::Get({"MS Sans Serif", 8.25f, false, false}));
}

TEST(FontDraw, InkStaysInsideTheClip) {
    const Font& font = StarViewFont();
    Bitmap image(120, 30, 0);
    const IntRect clip{10, 5, 70, 12}; // cuts through the glyphs on every side
    font.DrawLine(image, "Speed 5.0 fps", 2, 2, kWhite, clip);
    int inked = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            Pixel p = image.Get(x, y);
            if (!clip.Contains(x, y)) {
                ASSERT_EQ(p, 0u) << x << "," << y;
                continue;
            }
            // White over black: every channel takes the coverage itself.
            ASSERT_EQ((p >> 16) & 0xFF, p & 0xFF);
            ASSERT_EQ((p >> 8) & 0xFF, p & 0xFF);
            inked += p != 0;
        }
    EXPECT_GT(inked, 20);
}

TEST(FontDraw, TextOffTheImageIsCutNotCrashing) {
    const Font& font = Font::Get({"Arial Black", 21.75f, false, true});
    Bitmap image(30, 20, 0);
    const IntRect beyond{-50, -50, 100, 100};
    font.DrawLine(image, "Ozmir", -12, -9, kWhite, beyond);
    font.DrawLine(image, "Ozmir", 25, 15, kWhite, beyond);
    font.DrawLine(image, "Ozmir", -500, 500, kWhite, beyond);
    EXPECT_GT(Ink(image), 0);
    font.DrawLine(image, "Ozmir", 0, 0, kWhite, IntRect{}); // empty clip: nothing at all
}

TEST(FontDraw, BlendsOverTheBackgroundByCoverage) {
    // Glyphs kept apart, so that every pixel is blended once.
    const Font& font = Font::Get({"Arial Black", 9.0f, false, false});
    const std::string text = "S t a r s :  1 5 0 0";
    const Bitmap mask = Drawn(font, text); // white on black: the coverage per pixel
    const Pixel background = 0x808080, color = 0x1060F0;
    const Bitmap image = Drawn(font, text, background, color);
    EXPECT_EQ(Ink(Drawn(font, text)), Ink(mask)); // drawing again gives the same

    auto channel = [](Pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); };
    int untouched = 0, partial = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const int coverage = channel(mask.Get(x, y), 0);
            const Pixel p = image.Get(x, y);
            if (coverage == 0) {
                ASSERT_EQ(p, background) << x << "," << y;
                ++untouched;
                continue;
            }
            partial += coverage < 255;
            for (int shift : {0, 8, 16}) {
                const int d = channel(background, shift), c = channel(color, shift);
                const double exact = d + (c - d) * coverage / 255.0;
                ASSERT_NEAR(channel(p, shift), exact, 0.5) << x << "," << y;
                ASSERT_GE(channel(p, shift), std::min(d, c));
                ASSERT_LE(channel(p, shift), std::max(d, c));
            }
        }
    EXPECT_GT(untouched, 0);
    EXPECT_GT(partial, 0); // anti-aliased, not a hard mask
}

TEST(FontDraw, Latin1BytesDrawAndControlBytesDoNot) {
    const Font& font = StarViewFont();
    EXPECT_GT(Ink(Drawn(font, "\xe9\xfc\xc5")), 0);
    EXPECT_EQ(Ink(Drawn(font, "\t\x01\x1f")), 0);
    EXPECT_EQ(Ink(Drawn(font, "   ")), 0);
}

TEST(FontResolve, ArialBlackIsHeavierThanArial) {
    const std::string text = "Brightness: 1.5";
    long black = Ink(Drawn(Font::Get({"Arial Black", 9.75f, false, false}), text));
    long arial = Ink(Drawn(Font::Get({"Arial", 9.75f, false, false}), text));
    EXPECT_GT(black, arial + arial / 5);
}

TEST(FontResolve, BoldIsHeavierThanRegular) {
    const std::string text = "Sensitivity: 1.0";
    long bold = Ink(Drawn(Font::Get({"MS Sans Serif", 12.0f, true, false}), text));
    long regular = Ink(Drawn(Font::Get({"MS Sans Serif", 12.0f, false, false}), text));
    EXPECT_GT(bold, regular + regular / 5);
}

TEST(FontResolve, ItalicLeansRight) {
    // A tall upright stroke: italic moves its top to the right of its foot.
    const Font& upright = Font::Get({"Arial Black", 21.75f, false, false});
    const Font& italic = Font::Get({"Arial Black", 21.75f, false, true});
    Bitmap a = Drawn(upright, "l", 0, kWhite, 60, 40);
    Bitmap b = Drawn(italic, "l", 0, kWhite, 60, 40);
    int top = 2 + upright.Ascent() - upright.PixelSize() * 2 / 3, foot = 2 + upright.Ascent();
    EXPECT_NEAR(InkCentre(a, top, top + 4), InkCentre(a, foot - 4, foot), 1.0);
    EXPECT_GT(InkCentre(b, top, top + 4), InkCentre(b, foot - 4, foot) + 2.0);
}

TEST(FontResolve, WindowsNamesMapWithoutWarnings) {
    testing::internal::CaptureStderr();
    Font::Get({"Arial Black", 10.5f, false, false});
    Font::Get({"Arial", 10.5f, false, false});
    Font::Get({"MS Sans Serif", 10.5f, true, false});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(FontResolve, UnknownFamilyWarnsOnceAndStillDraws) {
    const std::string family = "Ozmir Test Family That No Machine Has";
    testing::internal::CaptureStderr();
    const Font& font = Font::Get({family, 9.75f, false, false});
    Font::Get({family, 12.0f, true, false});
    const std::string warnings = testing::internal::GetCapturedStderr();

    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    EXPECT_NE(warnings.find("ozmir: font \"" + family + "\" not found"), std::string::npos)
        << warnings;
    EXPECT_EQ(font.PixelSize(), 13);
    EXPECT_GT(font.MeasureWidth("Unknown"), 0);
    EXPECT_GT(Ink(Drawn(font, "Unknown")), 0);
}

} // namespace
} // namespace oz
