#include "platform/pixels/FontSet.h"

#include "platform/pixels/Font.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cctype>
#include <map>

namespace oz {

namespace {

constexpr std::string_view kDejaVu = "/usr/share/fonts/truetype/dejavu/";
constexpr std::string_view kLiberation = "/usr/share/fonts/truetype/liberation/";

constexpr DeclaredFile Liberation(std::string_view file, bool bold) {
    return {kLiberation, file, "fonts-liberation", 0, bold};
}

constexpr std::array<DeclaredFile, 4> kLiberationSans = {
    Liberation("LiberationSans-Regular.ttf", false), Liberation("LiberationSans-Bold.ttf", true),
    Liberation("LiberationSans-Italic.ttf", false),
    Liberation("LiberationSans-BoldItalic.ttf", true)};

// Why these files (docs/architecture.md has the measurements): Liberation Sans and
// Liberation Sans Narrow have Arial's and Arial Narrow's widths, so their captions fill the
// labels as designed. Arial Black has no free twin; DejaVu Sans Bold is the widest heavy
// sans Debian has, the one that fills the captions' boxes most like it. MS Sans Serif was a
// compact grotesque, nearer Liberation Sans's widths than DejaVu Sans's.
constexpr std::array<DeclaredFamily, 4> kDeclaredFamilies = {{
    {"Arial", kLiberationSans, "Arial", false, false},
    {"Arial Black",
     {{{kDejaVu, "DejaVuSans-Bold.ttf", "fonts-dejavu-core", 0, true},
       {kDejaVu, "DejaVuSans-Bold.ttf", "fonts-dejavu-core", 0, true},
       {kDejaVu, "DejaVuSans-BoldOblique.ttf", "fonts-dejavu-extra", 0, true},
       {kDejaVu, "DejaVuSans-BoldOblique.ttf", "fonts-dejavu-extra", 0, true}}},
     "Arial Black",
     true,
     false},
    {"Arial Narrow",
     {{Liberation("LiberationSansNarrow-Regular.ttf", false),
       Liberation("LiberationSansNarrow-Bold.ttf", true),
       Liberation("LiberationSansNarrow-Italic.ttf", false),
       Liberation("LiberationSansNarrow-BoldItalic.ttf", true)}},
     "Arial Narrow",
     false,
     true},
    {"MS Sans Serif", kLiberationSans, "sans-serif", false, false},
}};

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
        if (path.size() > name.size() && path.ends_with(name) &&
            path[path.size() - name.size() - 1] == '/' && IsFile(path))
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

std::string PathOf(const DeclaredFile& file) {
    return std::string(file.folder) + std::string(file.name);
}

std::string LocateDeclaredFile(const DeclaredFile& file) {
    // Asked once per font made and per shrunk size of a label: remember the answers.
    static std::map<std::string, std::string> located;
    const std::string packaged = PathOf(file);
    if (auto known = located.find(packaged); known != located.end())
        return known->second;
    const std::string path = IsFile(packaged) ? packaged : FindByFileName(file.name);
    located.emplace(packaged, path);
    return path;
}

} // namespace oz
