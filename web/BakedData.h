#pragma once
// What the web build carries instead of FreeType, fontconfig and libpng: the glyphs of
// every font the program draws with and the decoded pixels of its pictures, made at
// build time by tools/make-glyphs with the native code.

#include <cstddef>
#include <cstdint>

namespace oz::baked {

constexpr int kFirstGlyph = 32; // the printable ASCII bytes, 32 to 126
constexpr int kGlyphCount = 95;

struct Glyph {
    std::int16_t advance, left, top, width, height;
    std::uint32_t offset; // into the face's coverage bytes, width * height of them
};

struct Face {
    const char* family;
    float points;
    bool bold, italic;
    std::int16_t pixelSize, ascent, lineHeight;
    bool drawn;          // the machine that built it had a face for the family
    const Glyph* glyphs; // kGlyphCount of them
    const std::uint8_t* coverage;
};

struct Picture {
    const unsigned char* png; // the PNG bytes the native build decodes
    std::size_t pngSize;
    int width, height;
    const std::uint32_t* pixels; // 0xRRGGBB, row by row
};

extern const Face kFaces[];
extern const int kFaceCount;
extern const Picture kPictures[];
extern const int kPictureCount;

} // namespace oz::baked
