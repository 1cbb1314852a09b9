// The glyphs the web build carries: read back from the native fonts, they draw every
// text exactly as the native fonts do.

#include "tools/GlyphCapture.h"
#include "platform/pixels/GlyphImage.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <utility>

namespace oz {
namespace {

TEST(GlyphCapture, CapturedGlyphsDrawTheNativePixels) {
    std::string every(kCapturedBytes, '\0');
    std::iota(every.begin(), every.end(), static_cast<char>(kFirstCapturedByte));
    // Heavy, italic (glyphs reach over their neighbours), emboldened and plain faces.
    const FontSpec fonts[] = {{"Arial Black", 9.75f, false, false},
                              {"Arial Black", 21.75f, false, true},
                              {"Arial Narrow", 18.0f, true, true},
                              {"Arial Narrow", 5.5f, true, true},
                              {FontSpec{}}};
    for (const FontSpec& asked : fonts) {
        const Font& font = Font::Get(asked);
        CapturedGlyphs captured(font);
        int width = 0;
        for (char c : every)
            width += captured.GlyphFor(static_cast<unsigned char>(c))->advance;
        EXPECT_EQ(width, font.MeasureWidth(every)) << asked.family << " " << asked.points;
        EXPECT_TRUE(captured.GlyphFor(31) == nullptr && captured.GlyphFor(127) == nullptr);

        // A striped background and a clip that cuts through the line on every side.
        Bitmap native(width + 20, 3 * font.LineHeight(), 0);
        for (int y = 0; y < native.Height(); ++y)
            for (int x = 0; x < native.Width(); ++x)
                native.Set(x, y, static_cast<Pixel>((x * 7919 + y * 104729) & 0xFFFFFF));
        const Bitmap background = native;
        Bitmap web = native;
        const IntRect clip{5, font.LineHeight() + 3, width - 5, 2 * font.LineHeight() - 2};
        font.DrawLine(native, every, 3, font.LineHeight(), 0xD6CBA3, clip);
        DrawGlyphLine(web, captured, every, 3, font.LineHeight() + font.Ascent(), 0xD6CBA3,
                      clip.Intersected(web.Bounds()));
        int differ = 0, changed = 0;
        for (int i = 0; i < native.Width() * native.Height(); ++i) {
            differ += native.Data()[i] != web.Data()[i];
            changed += native.Data()[i] != background.Data()[i];
        }
        EXPECT_EQ(std::pair(differ, changed > width), std::pair(0, true)) // and text was drawn
            << asked.family << " " << asked.points;
    }
}

} // namespace
} // namespace oz
