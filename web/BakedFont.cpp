// Text in the web build: the glyphs the native font code rendered when the page was
// built, drawn the same way the native fonts draw theirs.

#include "platform/pixels/Font.h"
#include "platform/pixels/GlyphImage.h"
#include "web/BakedData.h"

#include <array>
#include <cstdio>
#include <vector>

namespace oz {

struct Font::Impl final : GlyphSource {
    FontSpec request;
    const baked::Face* face = nullptr;
    std::array<GlyphImage, baked::kGlyphCount> glyphs;

    const GlyphImage* GlyphFor(unsigned char byte) override {
        if (byte < baked::kFirstGlyph || byte >= baked::kFirstGlyph + baked::kGlyphCount)
            return nullptr;
        return &glyphs[byte - baked::kFirstGlyph];
    }
};

namespace {

const baked::Face* FindFace(const FontSpec& request) {
    for (int i = 0; i < baked::kFaceCount; ++i) {
        const baked::Face& f = baked::kFaces[i];
        if (request == FontSpec{f.family, f.points, f.bold, f.italic})
            return &f;
    }
    return nullptr;
}

std::unique_ptr<Font::Impl> MakeImpl(const FontSpec& request) {
    auto impl = std::make_unique<Font::Impl>();
    impl->request = request;
    impl->face = FindFace(request);
    if (!impl->face) {
        std::fprintf(stderr,
                     "ozmir: font \"%s\" %g points was not built into the page: its "
                     "text is not drawn\n",
                     request.family.c_str(), static_cast<double>(request.points));
        return impl;
    }
    for (int i = 0; i < baked::kGlyphCount; ++i) {
        const baked::Glyph& b = impl->face->glyphs[i];
        GlyphImage& g = impl->glyphs[i];
        g.ready = true;
        g.advance = b.advance;
        g.left = b.left;
        g.top = b.top;
        g.width = b.width;
        g.height = b.height;
        const std::uint8_t* from = impl->face->coverage + b.offset;
        g.coverage.assign(from, from + static_cast<size_t>(b.width) * b.height);
    }
    return impl;
}

} // namespace

const Font& Font::Get(const FontSpec& request) {
    static std::vector<std::unique_ptr<Font>> fonts;
    for (const auto& f : fonts)
        if (f->Request() == request)
            return *f;
    fonts.push_back(std::make_unique<Font>(MakeImpl(request)));
    return *fonts.back();
}

Font::Font(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Font::~Font() = default;

const FontSpec& Font::Request() const {
    return impl_->request;
}
int Font::PixelSize() const {
    return impl_->face ? impl_->face->pixelSize : 1;
}
int Font::Ascent() const {
    return impl_->face ? impl_->face->ascent : 1;
}
int Font::LineHeight() const {
    return impl_->face ? impl_->face->lineHeight : 1;
}

int Font::MeasureWidth(std::string_view text) const {
    int width = 0;
    for (char c : text)
        if (const GlyphImage* g = impl_->GlyphFor(static_cast<unsigned char>(c)))
            width += g->advance;
    return width;
}

void Font::DrawLine(Bitmap& image, std::string_view text, int x, int top, Pixel color,
                    const IntRect& clip) const {
    IntRect area = clip.Intersected(image.Bounds());
    if (area.IsEmpty() || !impl_->face || !impl_->face->drawn)
        return;
    DrawGlyphLine(image, *impl_, text, x, top + impl_->face->ascent, color, area);
}

} // namespace oz
