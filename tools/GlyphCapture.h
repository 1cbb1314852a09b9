#pragma once
// Reads a font's glyphs back from what it draws: each glyph alone, white on black, where
// the blend of white over black at coverage a leaves exactly a in every channel. The web
// build carries glyphs captured this way, so its text has the native pixels.

#include "platform/pixels/Font.h"
#include "platform/pixels/GlyphImage.h"

#include <algorithm>
#include <array>

namespace oz {

constexpr int kFirstCapturedByte = 32; // the printable ASCII bytes, 32 to 126
constexpr int kCapturedBytes = 95;

class CapturedGlyphs final : public GlyphSource {
public:
    explicit CapturedGlyphs(const Font& font) {
        const int margin = 2 * font.PixelSize() + 8;
        const int side = 2 * margin;
        for (int i = 0; i < kCapturedBytes; ++i) {
            const char text[2] = {static_cast<char>(kFirstCapturedByte + i), 0};
            Bitmap image(side, side, 0);
            font.DrawLine(image, text, margin, margin, 0xFFFFFF, image.Bounds());
            IntRect ink{side, side, -1, -1};
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    if (image.Get(x, y) != 0)
                        ink = {std::min(ink.left, x), std::min(ink.top, y),
                               std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
            GlyphImage& g = glyphs_[i];
            g.ready = true;
            g.advance = font.MeasureWidth(text);
            if (ink.IsEmpty())
                continue;
            g.left = ink.left - margin;
            g.top = margin + font.Ascent() - ink.top;
            g.width = ink.Width();
            g.height = ink.Height();
            for (int y = ink.top; y < ink.bottom; ++y)
                for (int x = ink.left; x < ink.right; ++x)
                    g.coverage.push_back(static_cast<std::uint8_t>(image.Get(x, y) & 0xFF));
        }
    }

    const GlyphImage* GlyphFor(unsigned char byte) override {
        const int i = byte - kFirstCapturedByte;
        return i >= 0 && i < kCapturedBytes ? &glyphs_[i] : nullptr;
    }
    const GlyphImage& operator[](int i) const { return glyphs_[i]; }

private:
    std::array<GlyphImage, kCapturedBytes> glyphs_;
};

} // namespace oz
