#include "platform/FontSet.h"

#include "platform/Font.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cctype>
#include <map>

namespace oz {

namespace {

// Debian's paths, spelled out so that the table reads as the files it names.
#define OZ_DEJAVU(name) "/usr/share/fonts/truetype/dejavu/" name
#define OZ_LIBERATION(name) "/usr/share/fonts/truetype/liberation/" name

// Why these files (docs/architecture.md has the measurements): Liberation Sans and
// Liberation Sans Narrow have Arial's and Arial Narrow's widths, so their captions fill the
// labels as designed. Arial Black has no free twin; DejaVu Sans Bold is the widest heavy
// sans Debian has, the one that fills the captions' boxes most like it. MS Sans Serif was a
// compact grotesque, nearer Liberation Sans's widths than DejaVu Sans's.
constexpr DeclaredFile LiberationSans(const char* path, bool bold) {
    return {path, "fonts-liberation", 0, bold};
}

constexpr std::array<DeclaredFamily, 4> kDeclaredFamilies = {{
    {"Arial",
     {{LiberationSans(OZ_LIBERATION("LiberationSans-Regular.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSans-Bold.ttf"), true),
       LiberationSans(OZ_LIBERATION("LiberationSans-Italic.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSans-BoldItalic.ttf"), true)}},
     "Arial",
     false,
     false},
    {"Arial Black",
     {{{OZ_DEJAVU("DejaVuSans-Bold.ttf"), "fonts-dejavu-core", 0, true},
       {OZ_DEJAVU("DejaVuSans-Bold.ttf"), "fonts-dejavu-core", 0, true},
       {OZ_DEJAVU("DejaVuSans-BoldOblique.ttf"), "fonts-dejavu-extra", 0, true},
       {OZ_DEJAVU("DejaVuSans-BoldOblique.ttf"), "fonts-dejavu-extra", 0, true}}},
     "Arial Black",
     true,
     false},
    {"Arial Narrow",
     {{LiberationSans(OZ_LIBERATION("LiberationSansNarrow-Regular.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSansNarrow-Bold.ttf"), true),
       LiberationSans(OZ_LIBERATION("LiberationSansNarrow-Italic.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSansNarrow-BoldItalic.ttf"), true)}},
     "Arial Narrow",
     false,
     true},
    {"MS Sans Serif",
     {{LiberationSans(OZ_LIBERATION("LiberationSans-Regular.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSans-Bold.ttf"), true),
       LiberationSans(OZ_LIBERATION("LiberationSans-Italic.ttf"), false),
       LiberationSans(OZ_LIBERATION("LiberationSans-BoldItalic.ttf"), true)}},
     "sans-serif",
     false,
     false},
}};

#undef OZ_DEJAVU
#undef OZ_LIBERATION

bool IsFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A file of this name anywhere fontconfig looks, the first in its list.
std::string FindByFileName(std::string_view name) {
    std::string found;
    FcPattern* any = FcPatternCreate();
    FcObjectSet* fileOnly = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* list = any && fileOnly ? FcFontList(nullptr, any, fileOnly) : nullptr;
    for (int i = 0; list && i < list->nfont && found.empty(); ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(list->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file)
            continue;
        std::string path = reinterpret_cast<const char*>(file);
        if (FileNameOf(path) == name && IsFile(path))
            found = path;
    }
    if (list)
        FcFontSetDestroy(list);
    if (fileOnly)
        FcObjectSetDestroy(fileOnly);
    if (any)
        FcPatternDestroy(any);
    return found;
}

} // namespace

std::span<const DeclaredFamily> DeclaredFamilies() {
    return kDeclaredFamilies;
}

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

const DeclaredFamily* FindDeclaredFamily(std::span<const DeclaredFamily> set,
                                         std::string_view family) {
    for (const DeclaredFamily& f : set)
        if (SameFamily(f.family, family))
            return &f;
    return nullptr;
}

const DeclaredFile& DeclaredFileFor(const DeclaredFamily& family, const FontSpec& request) {
    return family.files[(request.italic ? 2 : 0) + (request.bold ? 1 : 0)];
}

std::string_view FileNameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string LocateDeclaredFile(const DeclaredFile& file) {
    // Asked once per font made and per shrunk size of a label: remember the answers.
    static std::map<std::string, std::string, std::less<>> located;
    if (auto known = located.find(file.path); known != located.end())
        return known->second;
    std::string path(file.path);
    if (!IsFile(path))
        path = FindByFileName(FileNameOf(file.path));
    located.emplace(std::string(file.path), path);
    return path;
}

} // namespace oz
