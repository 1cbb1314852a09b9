#include "platform/Font.h"

#include "platform/GlyphImage.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

namespace oz {

namespace {

// Used when fontconfig offers nothing at all.
constexpr const char* kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";

constexpr int kFirstByte = 32;
constexpr int kByteCount = 256 - kFirstByte;

// Windows-1252 in 0x80..0x9F; 0 where the code page leaves a hole.
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

FT_ULong CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[byte - 0x80];
    return byte;
}

// The Windows names the program's forms ask for, and what stands in for them here.
struct KnownFamily {
    const char* name;
    const char* lookup; // family asked of fontconfig first (sans-serif follows)
    bool heaviest;      // ask for the heaviest weight whatever the bold flag says
    bool condensed;     // ask for a condensed width
};

constexpr std::array<KnownFamily, 4> kKnownFamilies = {{
    {"Arial", "Arial", false, false},
    {"Arial Black", "Arial Black", true, false},
    {"Arial Narrow", "Arial Narrow", false, true},
    {"MS Sans Serif", "sans-serif", false, false},
}};

// Family names compare as fontconfig compares them: ignoring case and blanks.
bool SameFamily(std::string_view a, std::string_view b) {
    auto next = [](std::string_view s, size_t& i) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        return i < s.size() ? std::tolower(static_cast<unsigned char>(s[i++])) : -1;
    };
    size_t i = 0, j = 0;
    for (;;) {
        int ca = next(a, i), cb = next(b, j);
        if (ca != cb)
            return false;
        if (ca < 0)
            return true;
    }
}

const KnownFamily* FindKnown(const std::string& family) {
    for (const KnownFamily& k : kKnownFamilies)
        if (SameFamily(k.name, family))
            return &k;
    return nullptr;
}

// One line per family for the life of the program.
void WarnOnce(const std::string& family, const std::string& message) {
    static std::set<std::string> warned;
    if (warned.insert(family).second)
        std::fprintf(stderr, "ozmir: font \"%s\" %s\n", family.c_str(), message.c_str());
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            lib = nullptr;
        return lib;
    }();
    return library;
}

std::string PatternString(FcPattern* p, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    return {};
}

int PatternInt(FcPattern* p, const char* object, int fallback) {
    int value = 0;
    return FcPatternGetInteger(p, object, 0, &value) == FcResultMatch ? value : fallback;
}

bool HasFamily(FcPattern* p, const std::string& family) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        if (SameFamily(reinterpret_cast<const char*>(value), family))
            return true;
    return false;
}

// What fontconfig chose, reduced to what the font needs.
struct Resolved {
    std::string file;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    std::string name;   // for the warning
    bool exact = false; // the machine has the family asked for
    bool good = false;  // a stand-in that does what the known name is meant to
};

bool Resolve(const FontSpec& request, const KnownFamily* known, int weight, Resolved& out) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    const char* first = known ? known->lookup : request.family.c_str();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(first));
    // Ahead of fontconfig's own weak guesses, so that the stand-ins come from the
    // machine's preferred sans serif (a condensed or heavy face of it where there is one).
    // Other families are left to fontconfig's aliases.
    if (known)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH,
                        known && known->condensed ? FC_WIDTH_CONDENSED : FC_WIDTH_NORMAL);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    out.file = PatternString(match, FC_FILE);
    out.index = PatternInt(match, FC_INDEX, 0);
    out.weight = PatternInt(match, FC_WEIGHT, FC_WEIGHT_REGULAR);
    out.name = PatternString(match, FC_FULLNAME);
    if (out.name.empty())
        out.name = PatternString(match, FC_FAMILY) + " " + PatternString(match, FC_STYLE);
    out.exact = HasFamily(match, request.family);
    if (known) {
        out.good = true;
        if (known->heaviest && out.weight < FC_WEIGHT_BOLD)
            out.good = false;
        if (known->condensed &&
            PatternInt(match, FC_WIDTH, FC_WIDTH_NORMAL) > FC_WIDTH_SEMICONDENSED)
            out.good = false;
    }
    FcPatternDestroy(match);
    return !out.file.empty();
}

FT_Face OpenFace(const std::string& file, int index) {
    FT_Library lib = Library();
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, file.c_str(), index, &face) != 0)
        return nullptr;
    return face;
}

using Glyph = GlyphImage;

} // namespace

struct Font::Impl final : GlyphSource {
    FontSpec request;
    int pixelSize = 0;
    int ascent = 0;
    int lineHeight = 0;
    FT_Face face = nullptr;
    bool embolden = false;
    bool oblique = false;
    std::array<Glyph, kByteCount> glyphs;

    const Glyph* GlyphFor(unsigned char byte) override;
    void Render(Glyph& g, unsigned char byte);
    int FallbackAdvance(unsigned char byte) const {
        return byte < kFirstByte ? 0 : std::max(1, (pixelSize * 3 + 4) / 5);
    }
};

const Glyph* Font::Impl::GlyphFor(unsigned char byte) {
    if (byte < kFirstByte || !face)
        return nullptr;
    Glyph& g = glyphs[byte - kFirstByte];
    if (!g.ready)
        Render(g, byte);
    return &g;
}

void Font::Impl::Render(Glyph& g, unsigned char byte) {
    g.ready = true;
    FT_ULong code = CodePointOf(byte);
    FT_UInt index = code ? FT_Get_Char_Index(face, code) : 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0)
        return;
    FT_GlyphSlot slot = face->glyph;
    if (embolden)
        FT_GlyphSlot_Embolden(slot);
    if (oblique)
        FT_GlyphSlot_Oblique(slot);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        std::uint8_t* dst = g.coverage.data() + static_cast<size_t>(y) * g.width;
        for (int x = 0; x < g.width; ++x) {
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = static_cast<std::uint8_t>(
                    bm.num_grays == 256 ? src[x] : src[x] * 255 / (bm.num_grays - 1));
        }
    }
}

namespace {

std::unique_ptr<Font::Impl> MakeImpl(const FontSpec& request) {
    auto impl = std::make_unique<Font::Impl>();
    impl->request = request;
    impl->pixelSize = std::max(1, static_cast<int>(std::lround(request.points * 96.0 / 72.0)));

    const KnownFamily* known = FindKnown(request.family);
    bool heavy = request.bold || (known && known->heaviest);
    int weight = known && known->heaviest ? FC_WEIGHT_BLACK
                 : request.bold           ? FC_WEIGHT_BOLD
                                          : FC_WEIGHT_REGULAR;

    Resolved r;
    FT_Face face = nullptr;
    if (Resolve(request, known, weight, r)) {
        face = OpenFace(r.file, r.index);
        if (face && !r.exact && !(known && r.good))
            WarnOnce(request.family, "not found, using " + r.name);
    }
    if (!face) {
        // fontconfig found nothing usable: try DejaVu where Debian puts it.
        const char* names[] = {
            heavy ? (request.italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf")
                  : (request.italic ? "DejaVuSans-Oblique.ttf" : "DejaVuSans.ttf"),
            heavy ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf", "DejaVuSans.ttf"};
        for (const char* name : names) {
            std::string path = std::string(kDejaVuDir) + name;
            if ((face = OpenFace(path, 0))) {
                r = Resolved{};
                r.weight =
                    (face->style_flags & FT_STYLE_FLAG_BOLD) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
                WarnOnce(request.family, "not found, using " + path);
                break;
            }
        }
    }
    if (face && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(impl->pixelSize)) != 0) {
        FT_Done_Face(face);
        face = nullptr;
    }

    if (!face) {
        WarnOnce(request.family, "not found and no font to stand in: its text is not drawn");
        impl->ascent = (impl->pixelSize * 9 + 9) / 10;
        impl->lineHeight = impl->ascent + (impl->pixelSize + 3) / 4;
        return impl;
    }

    impl->face = face;
    impl->embolden = heavy && r.weight < FC_WEIGHT_DEMIBOLD;
    // Not fontconfig's slant: its configuration reports a synthetic oblique as the real thing.
    impl->oblique = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    const FT_Size_Metrics& m = face->size->metrics;
    impl->ascent = static_cast<int>((m.ascender + 63) >> 6);
    int descent = static_cast<int>((-m.descender + 63) >> 6);
    impl->lineHeight = std::max(impl->ascent + descent, impl->pixelSize);
    return impl;
}

} // namespace

const Font& Font::Get(const FontSpec& request) {
    // Fonts live as long as the program; there are only a handful, so a list will do.
    static std::vector<std::unique_ptr<Font>> fonts;
    for (const auto& f : fonts)
        if (f->Request() == request)
            return *f;
    fonts.push_back(std::make_unique<Font>(MakeImpl(request)));
    return *fonts.back();
}

Font::Font(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Font::~Font() {
    if (impl_ && impl_->face)
        FT_Done_Face(impl_->face);
}

const FontSpec& Font::Request() const {
    return impl_->request;
}
int Font::PixelSize() const {
    return impl_->pixelSize;
}
int Font::Ascent() const {
    return impl_->ascent;
}
int Font::LineHeight() const {
    return impl_->lineHeight;
}

int Font::MeasureWidth(std::string_view text) const {
    int width = 0;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (!impl_->face) {
            width += impl_->FallbackAdvance(byte);
        } else if (const Glyph* g = impl_->GlyphFor(byte)) {
            width += g->advance;
        }
    }
    return width;
}

void Font::DrawLine(Bitmap& image, std::string_view text, int x, int top, Pixel color,
                    const IntRect& clip) const {
    IntRect area = clip.Intersected(image.Bounds());
    if (area.IsEmpty() || !impl_->face)
        return;
    DrawGlyphLine(image, *impl_, text, x, top + impl_->ascent, color, area);
}

} // namespace oz
