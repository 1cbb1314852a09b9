#pragma once
// Text through FreeType, from the declared font set (platform/pixels/FontSet.h), with
// fontconfig for other families. Sizes are in points at 96 dots per inch: 9.75 points is
// 13 pixels.

#include "platform/pixels/Bitmap.h"
#include "platform/pixels/FontSet.h"

#include <memory>
#include <span>
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

// The file a font's glyphs come from.
struct FontFile {
    std::string path; // empty: no face at all
    int index = 0;
    bool bold = false;     // the face is bold or heavier (a bold request is not emboldened)
    bool declared = false; // from the declared set
    std::string name;      // how warnings call it

    bool operator==(const FontFile&) const = default;
};

// Where the text of `request` is drawn from: its file in the declared set; for other
// families, and where a declared file is missing, the closest face fontconfig offers
// ("Arial Black" the heaviest sans serif, "Arial Narrow" a condensed one where there is
// one). One line on stderr, once, for each missing declared file (naming its package) and
// for each other family the machine lacks. The program's fonts come from here; so may
// tools that draw its glyphs elsewhere.
FontFile ResolveFontFile(const FontSpec& request);
FontFile ResolveFontFile(const FontSpec& request, std::span<const DeclaredFamily> set);

class Font {
public:
    // Fonts are made once and live as long as the program; asking again for the same
    // description returns the same font. See ResolveFontFile for where its face comes from.
    static const Font& Get(const FontSpec& font);

    const FontSpec& Request() const;
    const FontFile& File() const; // the face opened; path empty when none could be
    int PixelSize() const;        // the em size in pixels
    int Ascent() const;           // pixels from a line's top to its baseline
    int LineHeight() const;       // pixels from one line's top to the next
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
