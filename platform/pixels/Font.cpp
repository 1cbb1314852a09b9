#include "platform/pixels/Font.h"

#include "platform/pixels/GlyphImage.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
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

// One line per subject (a family, a file) for the life of the program.
void WarnOnce(const std::string& subject, const std::string& line) {
    static std::set<std::string> warned;
    if (warned.insert(subject).second)
        std::fprintf(stderr, "ozmir: %s\n", line.c_str());
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

bool Heavy(const FontSpec& request, const DeclaredFamily* hints) {
    return request.bold || (hints && hints->heaviest);
}

// fontconfig's closest face to the request; `hints` say what a declared family is meant
// to look like. `exact`: the machine has the family asked for.
bool MatchByFontconfig(const FontSpec& request, const DeclaredFamily* hints, FontFile& out,
                       bool& exact) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    const std::string first = hints ? std::string(hints->lookup) : request.family;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(first.c_str()));
    // Ahead of fontconfig's own weak guesses, so that the stand-ins come from the
    // machine's preferred sans serif (a condensed or heavy face of it where there is one).
    // Other families are left to fontconfig's aliases.
    if (hints)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    const int weight = hints && hints->heaviest ? FC_WEIGHT_BLACK
                       : request.bold           ? FC_WEIGHT_BOLD
                                                : FC_WEIGHT_REGULAR;
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH,
                        hints && hints->condensed ? FC_WIDTH_CONDENSED : FC_WIDTH_NORMAL);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    out.path = PatternString(match, FC_FILE);
    out.index = PatternInt(match, FC_INDEX, 0);
    out.bold = PatternInt(match, FC_WEIGHT, FC_WEIGHT_REGULAR) >= FC_WEIGHT_DEMIBOLD;
    out.declared = false;
    out.name = PatternString(match, FC_FULLNAME);
    if (out.name.empty())
        out.name = PatternString(match, FC_FAMILY) + " " + PatternString(match, FC_STYLE);
    exact = HasFamily(match, request.family);
    FcPatternDestroy(match);
    return !out.path.empty();
}

// Used when fontconfig offers nothing at all: DejaVu where Debian puts it.
FontFile DejaVuStandIn(const FontSpec& request, bool heavy) {
    const char* names[] = {
        heavy ? (request.italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf")
              : (request.italic ? "DejaVuSans-Oblique.ttf" : "DejaVuSans.ttf"),
        heavy ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf", "DejaVuSans.ttf"};
    for (const char* name : names) {
        std::string path = std::string(kDejaVuDir) + name;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            bool bold = std::string_view(name).find("Bold") != std::string_view::npos;
            return FontFile{path, 0, bold, false, path};
        }
    }
    return {};
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
    FontFile file;
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

    const bool heavy = Heavy(request, FindDeclaredFamily(DeclaredFamilies(), request.family));
    FontFile file = ResolveFontFile(request);
    FT_Face face = file.path.empty() ? nullptr : OpenFace(file.path, file.index);
    if (!face && !file.path.empty()) {
        FontFile standIn = DejaVuStandIn(request, heavy);
        if (!standIn.path.empty() && (face = OpenFace(standIn.path, 0))) {
            WarnOnce(file.path, "font file " + file.path + " cannot be read: \"" + request.family +
                                    "\" is drawn in " + standIn.path);
            file = standIn;
        }
    }
    if (face && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(impl->pixelSize)) != 0) {
        FT_Done_Face(face);
        face = nullptr;
    }

    if (!face) {
        WarnOnce(request.family, "font \"" + request.family +
                                     "\" not found and no font to stand in: its text is not drawn");
        impl->ascent = (impl->pixelSize * 9 + 9) / 10;
        impl->lineHeight = impl->ascent + (impl->pixelSize + 3) / 4;
        return impl;
    }

    impl->file = file;
    impl->face = face;
    impl->embolden = heavy && !file.bold;
    // Not fontconfig's slant: its configuration reports a synthetic oblique as the real thing.
    impl->oblique = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    const FT_Size_Metrics& m = face->size->metrics;
    impl->ascent = static_cast<int>((m.ascender + 63) >> 6);
    int descent = static_cast<int>((-m.descender + 63) >> 6);
    impl->lineHeight = std::max(impl->ascent + descent, impl->pixelSize);
    return impl;
}

} // namespace

FontFile ResolveFontFile(const FontSpec& request) {
    return ResolveFontFile(request, DeclaredFamilies());
}

FontFile ResolveFontFile(const FontSpec& request, std::span<const DeclaredFamily> set) {
    const DeclaredFamily* declared = FindDeclaredFamily(set, request.family);
    if (declared) {
        const DeclaredFile& wanted = DeclaredFileFor(*declared, request);
        std::string path = LocateDeclaredFile(wanted);
        if (!path.empty())
            return FontFile{path, wanted.index, wanted.bold, true, std::string(wanted.name)};
    }

    FontFile file;
    bool exact = false;
    if (!MatchByFontconfig(request, declared, file, exact)) {
        file = DejaVuStandIn(request, Heavy(request, declared));
        exact = false;
    }
    const std::string standIn = file.path.empty() ? "nothing" : file.name;
    if (declared) {
        const DeclaredFile& wanted = DeclaredFileFor(*declared, request);
        WarnOnce(PathOf(wanted), "font file " + std::string(wanted.name) + " (package " +
                                     std::string(wanted.package) + ") is missing: \"" +
                                     request.family + "\" is drawn in " + standIn);
    } else if (!exact) {
        WarnOnce(request.family, "font \"" + request.family + "\" not found, using " + standIn);
    }
    return file;
}

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
const FontFile& Font::File() const {
    return impl_->file;
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
