// Text: sizes in points at 96 dots per inch, one font per description, anti-aliased
// glyphs blended only inside their clip, the files each family is drawn from, and
// families and files the machine lacks.

#include "platform/pixels/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <utility>

namespace oz {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;

// One line of text drawn at (2, 2) on a 200 x 40 image.
Bitmap Drawn(const Font& font, std::string_view text, Pixel background = 0, Pixel color = kWhite,
             const IntRect& clip = {0, 0, 200, 40}) {
    Bitmap image(200, 40, background);
    font.DrawLine(image, text, 2, 2, color, clip);
    return image;
}

// The sum of the blue channel: for white text, how much ink was laid.
long Ink(const Bitmap& image) {
    return std::accumulate(image.Data(), image.Data() + image.Width() * image.Height(), 0L,
                           [](long sum, Pixel p) { return sum + (p & 0xFF); });
}

TEST(Font, SizesArePointsAt96DotsPerInch) {
    const std::pair<FontSpec, int> sizes[] = {{{"Arial Black", 9.75f, false, false}, 13},
                                              {{"Arial Black", 21.75f, false, true}, 29},
                                              {{"Arial Narrow", 8.0f, true, true}, 11},
                                              {FontSpec{}, 11}};
    for (const auto& [font, pixels] : sizes)
        EXPECT_EQ(Font::Get(font).PixelSize(), pixels) << font.family << " " << font.points;
}

TEST(Font, GlyphsBlendByCoverageOnlyInsideTheClip) {
    const Font& font = Font::Get({"Arial Black", 9.0f, false, false});
    const std::string text = "S t a r s :  1 5 0 0"; // glyphs apart: each pixel blended once
    const IntRect clip{10, 5, 70, 12};               // cuts through the glyphs on every side
    const Bitmap coverage = Drawn(font, text);       // white on black, unclipped
    const Pixel background = 0x808080, color = 0x1060F0;
    const Bitmap image = Drawn(font, text, background, color, clip);
    int partial = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const int a = clip.Contains(x, y) ? static_cast<int>(coverage.Get(x, y) & 0xFF) : 0;
            partial += a > 0 && a < 255;
            for (int shift : {0, 8, 16}) {
                const int d = (background >> shift) & 0xFF, c = (color >> shift) & 0xFF;
                ASSERT_NEAR((image.Get(x, y) >> shift) & 0xFF, d + (c - d) * a / 255.0, 0.5)
                    << x << "," << y;
            }
        }
    EXPECT_GT(partial, 10); // anti-aliased, not a hard mask
}

// The forms' families come from these files, whatever else the machine has (the install
// step brings the packages).
TEST(Font, EachFamilyTheFormsAskForComesFromItsDeclaredFile) {
    const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";
    const std::string liberation = "/usr/share/fonts/truetype/liberation/";
    const std::pair<FontSpec, std::string> files[] = {
        {{"Arial Black", 9.75f, false, false}, dejavu + "DejaVuSans-Bold.ttf"},
        {{"Arial Black", 9.0f, true, false}, dejavu + "DejaVuSans-Bold.ttf"},
        {{"Arial Black", 21.75f, false, true}, dejavu + "DejaVuSans-BoldOblique.ttf"},
        {{"Arial Narrow", 18.0f, true, true}, liberation + "LiberationSansNarrow-BoldItalic.ttf"},
        {{"Arial Narrow", 8.0f, false, false}, liberation + "LiberationSansNarrow-Regular.ttf"},
        {{"Arial", 8.0f, false, false}, liberation + "LiberationSans-Regular.ttf"},
        {{"arial", 8.0f, true, false}, liberation + "LiberationSans-Bold.ttf"},
        {{"ArialNarrow", 8.0f, false, true}, liberation + "LiberationSansNarrow-Italic.ttf"},
        {FontSpec{}, liberation + "LiberationSans-Regular.ttf"},
        {{"MS Sans Serif", 8.25f, true, true}, liberation + "LiberationSans-BoldItalic.ttf"},
    };
    for (const auto& [asked, path] : files) {
        const Font& font = Font::Get(asked);
        EXPECT_EQ(font.File().path, path) << asked.family << " " << asked.bold << asked.italic;
        EXPECT_TRUE(font.File().declared) << asked.family;
        EXPECT_EQ(ResolveFontFile(asked), font.File()) << asked.family;
    }
    // A family outside the set is fontconfig's business.
    EXPECT_FALSE(ResolveFontFile({"DejaVu Serif", 9.0f, false, false}).declared);
}

// Bold draws heavier letters, except in Arial Black, whose face is already its heaviest: a
// bold request draws the same letters there, not a smeared emboldening of them.
TEST(Font, BoldIsHeavierButArialBlackIsTheSameWhetherBoldIsAskedOrNot) {
    for (const char* family : {"MS Sans Serif", "Arial Black"})
        for (bool italic : {false, true}) {
            const Bitmap regular = Drawn(Font::Get({family, 9.0f, false, italic}), "Speed:");
            const Bitmap bold = Drawn(Font::Get({family, 9.0f, true, italic}), "Speed:");
            EXPECT_GT(Ink(regular), 0);
            EXPECT_TRUE(family[0] == 'A'
                            ? std::equal(regular.Data(), regular.Data() + 200 * 40, bold.Data())
                            : Ink(bold) > Ink(regular) + Ink(regular) / 5)
                << family << ", italic " << italic;
        }
}

// A family the machine lacks is named once and still drawn. A declared file is found by
// its name where fontconfig looks when its package's folder lacks it; a file that is
// nowhere gives one line naming it and its package, and the family is drawn in
// fontconfig's stand-in as before.
TEST(Font, UnknownFamiliesAndMissingFilesAreNamedOnceAndDeclaredFilesElsewhereFound) {
    const std::string family = "Ozmir Test Family That No Machine Has";
    testing::internal::CaptureStderr();
    const Font& font = Font::Get({family, 9.75f, false, false});
    Font::Get({family, 12.0f, true, false});
    const std::string unknown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(unknown.begin(), unknown.end(), '\n'), 1) << unknown;
    EXPECT_NE(unknown.find("font \"" + family + "\" not found"), std::string::npos) << unknown;
    EXPECT_GT(Ink(Drawn(font, "Unknown")), 0);

    const DeclaredFile moved{"/nonexistent/folder/", "DejaVuSans.ttf", "fonts-dejavu-core"};
    EXPECT_EQ(LocateDeclaredFile(moved), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

    const DeclaredFile missing{"/nonexistent/folder/", "OzmirMissingSans.ttf",
                               "fonts-ozmir-missing"};
    EXPECT_EQ(LocateDeclaredFile(missing), "");
    const std::array<DeclaredFamily, 1> set = {
        {{"Ozmir Missing Sans", {{missing, missing, missing, missing}}, "sans-serif"}}};
    testing::internal::CaptureStderr();
    const FontFile standIn = ResolveFontFile({"Ozmir Missing Sans", 9.0f, false, false}, set);
    ResolveFontFile({"ozmir missing sans", 12.0f, true, false}, set);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    EXPECT_NE(warnings.find("OzmirMissingSans.ttf (package fonts-ozmir-missing) is missing"),
              std::string::npos)
        << warnings;
    EXPECT_FALSE(standIn.declared);
    EXPECT_EQ(standIn.path, ResolveFontFile({"sans-serif", 9.0f, false, false}).path);
    EXPECT_NE(warnings.find(standIn.name), std::string::npos) << warnings;
}

} // namespace
} // namespace oz
