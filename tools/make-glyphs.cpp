// Renders, with the native font code, every glyph of every font the program draws with,
// and decodes its pictures, into a C++ source the web build compiles in place of
// FreeType, fontconfig and libpng.
// Usage: make-glyphs OUTPUT.cpp

#include "platform/displays/HeadlessBackend.h"
#include "platform/pixels/Assets.h"
#include "platform/pixels/Font.h"
#include "tools/GlyphCapture.h"
#include "ui/Form1.h"
#include "web/BakedData.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace oz;

// Every font a control of the main window starts with; a label may also shrink its font
// a quarter point at a time, down to 4 points, to fit its caption.
std::vector<FontSpec> FontsDrawn() {
    HeadlessBackend screen(1024, 768);
    SetBackend(&screen);
    std::vector<FontSpec> fonts{FontSpec{}};
    auto add = [&](const FontSpec& asked) {
        for (const FontSpec& known : fonts)
            if (known == asked)
                return;
        fonts.push_back(asked);
    };
    {
        Form1 program;
        for (Control* c : program.Window().StackingOrder()) {
            if (c->Kind() == ControlKind::Picture) {
                add(static_cast<PictureBox*>(c)->GetFont().Request());
            } else if (c->Kind() == ControlKind::Label) {
                FontSpec asked = static_cast<Label*>(c)->GetFont().Request();
                add(asked);
                while (asked.points > 4) {
                    asked.points -= 0.25f;
                    add(asked);
                }
            }
        }
    }
    SetBackend(nullptr);
    return fonts;
}

struct RenderedFace {
    std::vector<baked::Glyph> glyphs;
    std::vector<std::uint8_t> coverage;
};

RenderedFace Render(const Font& font) {
    static_assert(kFirstCapturedByte == baked::kFirstGlyph && kCapturedBytes == baked::kGlyphCount);
    const CapturedGlyphs captured(font);
    RenderedFace out;
    for (int i = 0; i < kCapturedBytes; ++i) {
        const GlyphImage& c = captured[i];
        baked::Glyph g{};
        g.advance = static_cast<std::int16_t>(c.advance);
        g.left = static_cast<std::int16_t>(c.left);
        g.top = static_cast<std::int16_t>(c.top);
        g.width = static_cast<std::int16_t>(c.width);
        g.height = static_cast<std::int16_t>(c.height);
        g.offset = static_cast<std::uint32_t>(out.coverage.size());
        out.coverage.insert(out.coverage.end(), c.coverage.begin(), c.coverage.end());
        out.glyphs.push_back(g);
    }
    return out;
}

std::string Bytes(const std::uint8_t* data, size_t size) {
    std::string s;
    char buf[8];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, "%u,", data[i]);
        s += buf;
        if (i % 32 == 31)
            s += '\n';
    }
    return s;
}

std::string Text(const std::string& text) {
    std::string s = "\"";
    for (char ch : text)
        s += (ch == '"' || ch == '\\') ? std::string("\\") + ch : std::string(1, ch);
    return s + "\"";
}

// Writes one face's glyph table and coverage, once for every set of identical glyphs.
class SourceWriter {
public:
    void AddFace(const FontSpec& asked) {
        const Font& font = Font::Get(asked);
        RenderedFace face = Render(font);
        std::string key(face.coverage.begin(), face.coverage.end());
        for (const baked::Glyph& g : face.glyphs)
            key += std::to_string(g.advance) + "," + std::to_string(g.left) + "," +
                   std::to_string(g.top) + "," + std::to_string(g.width) + "," +
                   std::to_string(g.height) + ";";
        key += std::to_string(font.Ascent()) + "/" + std::to_string(font.LineHeight());
        auto [it, fresh] = sets_.emplace(key, static_cast<int>(sets_.size()));
        const int set = it->second;
        if (fresh) {
            body_ << "static const std::uint8_t coverage" << set << "[] = {0,\n"
                  << Bytes(face.coverage.data(), face.coverage.size()) << "};\n";
            body_ << "static const Glyph glyphs" << set << "[] = {\n";
            for (const baked::Glyph& g : face.glyphs)
                body_ << "{" << g.advance << "," << g.left << "," << g.top << "," << g.width << ","
                      << g.height << "," << g.offset + 1 << "},\n";
            body_ << "};\n";
        }
        // A face that draws nothing has no ink in any glyph.
        const bool drawn = !face.coverage.empty();
        char points[32];
        std::snprintf(points, sizeof points, "%.2ff", static_cast<double>(asked.points));
        faces_ << "{" << Text(asked.family) << "," << points << "," << asked.bold << ","
               << asked.italic << "," << font.PixelSize() << "," << font.Ascent() << ","
               << font.LineHeight() << "," << drawn << ",glyphs" << set << ",coverage" << set
               << "},\n";
        ++faceCount_;
    }

    void AddPicture(const char* name, std::span<const unsigned char> png) {
        Bitmap image;
        if (!DecodePng(png, image)) {
            std::fprintf(stderr, "make-glyphs: %s is not a PNG\n", name);
            failed_ = true;
            return;
        }
        body_ << "static const unsigned char " << name << "_png_bytes[] = {\n"
              << Bytes(png.data(), png.size()) << "};\n";
        body_ << "static const std::uint32_t " << name << "_pixels[] = {\n";
        char buf[16];
        for (int y = 0; y < image.Height(); ++y) {
            for (int x = 0; x < image.Width(); ++x) {
                std::snprintf(buf, sizeof buf, "0x%06x,", image.Row(y)[x] & 0xFFFFFF);
                body_ << buf;
            }
            body_ << "\n";
        }
        body_ << "};\n";
        pictures_ << "{" << name << "_png_bytes," << png.size() << "," << image.Width() << ","
                  << image.Height() << "," << name << "_pixels},\n";
        assets_ << "std::span<const unsigned char> " << name << "_png() { return baked::" << name
                << "_png_bytes; }\n";
        ++pictureCount_;
    }

    bool Write(const std::string& path) const {
        std::ofstream out(path);
        out << "// Generated at build time by tools/make-glyphs.\n"
            << "#include \"web/BakedData.h\"\n#include <span>\n\nnamespace oz::baked {\n"
            << body_.str() << "const Face kFaces[] = {\n"
            << faces_.str() << "};\nconst int kFaceCount = " << faceCount_ << ";\n"
            << "const Picture kPictures[] = {\n"
            << pictures_.str() << "};\nconst int kPictureCount = " << pictureCount_ << ";\n"
            << "} // namespace oz::baked\n\nnamespace oz::assets {\n"
            << assets_.str() << "} // namespace oz::assets\n";
        out.close();
        return !failed_ && static_cast<bool>(out);
    }

private:
    std::map<std::string, int> sets_;
    std::ostringstream body_, faces_, pictures_, assets_;
    int faceCount_ = 0, pictureCount_ = 0;
    bool failed_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-glyphs OUTPUT.cpp\n");
        return 2;
    }
    SourceWriter writer;
    for (const FontSpec& asked : FontsDrawn())
        writer.AddFace(asked);
    writer.AddPicture("sprites", oz::assets::sprites_png());
    writer.AddPicture("icon", oz::assets::icon_png());
    if (!writer.Write(argv[1])) {
        std::fprintf(stderr, "make-glyphs: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
