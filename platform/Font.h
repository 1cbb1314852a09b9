#pragma once
// Text through FreeType, with faces found by fontconfig.
// Sizes are in points at 96 dots per inch: 9.75 points is 13 pixels.

#include "platform/Bitmap.h"

#include <memory>
#include <string>
#include <string_view>

namespace oz {

struct FontSpec {
    std::string family = "MS Sans Serif";
    float points = 8.25f;
    bool bold = false;
    bool italic = false;

    bool operator==(const FontSpec&) const = default;
};

class Font {
public:
    // Fonts are made once and live as long as the program; asking again for the same
    // description returns the same font. A family the machine lacks resolves to the
    // closest face it has ("Arial Black" to the heaviest sans serif, "Arial Narrow" to
    // a condensed face where one exists) and warns once on stderr.
    static const Font& Get(const FontSpec& font);

    const FontSpec& Request() const;
    int PixelSize() const;  // the em size in pixels
    int Ascent() const;     // pixels from a line's top to its baseline
    int LineHeight() const; // pixels from one line's top to the next
    int MeasureWidth(std::string_view text) const;

    // Draws one line of text whose top-left is at (x, top), anti-aliased glyphs blended
    // over what lies beneath, only inside `clip` (and the image).
    void DrawLine(Bitmap& image, std::string_view text, int x, int top, Pixel color,
                  const IntRect& clip) const;

    struct Impl;
    explicit Font(std::unique_ptr<Impl> impl);
    ~Font();

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace oz
