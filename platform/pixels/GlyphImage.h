#pragma once
// A glyph as text draws it: its coverage image, placed against the pen and the baseline,
// and the pen's advance. The native fonts render them with FreeType when first asked;
// the web build carries them, rendered the same way when it was built.

#include "platform/pixels/Bitmap.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace oz {

struct GlyphImage {
    bool ready = false;
    int advance = 0; // whole pixels
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage; // width * height, 0..255
};

// Where a font's glyphs come from; nullptr for a byte the font draws nothing for.
class GlyphSource {
public:
    virtual const GlyphImage* GlyphFor(unsigned char byte) = 0;

protected:
    ~GlyphSource() = default;
};

// Draws one line of text from its glyphs, with the pen starting at x on the given
// baseline, anti-aliased coverage blended over what lies beneath, only inside `area`
// (already within the image).
void DrawGlyphLine(Bitmap& image, GlyphSource& glyphs, std::string_view text, int x, int baseline,
                   Pixel color, const IntRect& area);

} // namespace oz
