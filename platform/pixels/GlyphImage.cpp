#include "platform/pixels/GlyphImage.h"

namespace oz {

void DrawGlyphLine(Bitmap& image, GlyphSource& glyphs, std::string_view text, int x, int baseline,
                   Pixel color, const IntRect& area) {
    const int cr = static_cast<int>((color >> 16) & 0xFF);
    const int cg = static_cast<int>((color >> 8) & 0xFF);
    const int cb = static_cast<int>(color & 0xFF);
    // out = dst + (color - dst) * coverage / 255, rounded half away from zero.
    auto mix = [](int d, int c, int a) {
        int v = (c - d) * a;
        return d + (v >= 0 ? (v + 127) / 255 : (v - 127) / 255);
    };

    int pen = x;
    for (char ch : text) {
        const GlyphImage* g = glyphs.GlyphFor(static_cast<unsigned char>(ch));
        if (!g)
            continue;
        const int gx = pen + g->left, gy = baseline - g->top;
        pen += g->advance;
        IntRect box = IntRect{gx, gy, gx + g->width, gy + g->height}.Intersected(area);
        image.Touch(box);
        for (int y = box.top; y < box.bottom; ++y) {
            const std::uint8_t* cov = g->coverage.data() + static_cast<size_t>(y - gy) * g->width;
            Pixel* row = image.WritableRow(y);
            for (int px = box.left; px < box.right; ++px) {
                const int a = cov[px - gx];
                if (a == 0)
                    continue;
                const Pixel d = row[px];
                const int r = mix(static_cast<int>((d >> 16) & 0xFF), cr, a);
                const int gg = mix(static_cast<int>((d >> 8) & 0xFF), cg, a);
                const int b = mix(static_cast<int>(d & 0xFF), cb, a);
                row[px] = (static_cast<Pixel>(r) << 16) | (static_cast<Pixel>(gg) << 8) |
                          static_cast<Pixel>(b);
            }
        }
    }
}

} // namespace oz
