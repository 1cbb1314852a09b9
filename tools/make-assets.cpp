// Draws the program's pictures into <directory>/sprites.png, <directory>/icon.png (the
// window's icon) and <directory>/icons/ozmir-<size>.png (the icon theme's sizes).
// Usage: make-assets [directory]   (default: assets, under the current directory)

#include "platform/pixels/Assets.h"
#include "tools/IconArt.h"
#include "tools/SpriteSheetArt.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool Save(const std::string& path, const oz::Bitmap& image) {
    if (oz::SavePng(path, image)) {
        std::printf("wrote %s (%d x %d)\n", path.c_str(), image.Width(), image.Height());
        return true;
    }
    std::fprintf(stderr, "make-assets: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: make-assets [directory]\n");
        return 2;
    }
    const std::string directory = argc == 2 ? argv[1] : "assets";
    bool saved = Save(directory + "/sprites.png", oz::art::DrawSpriteSheet());
    saved = Save(directory + "/icon.png", oz::art::DrawIcon()) && saved;
    std::error_code error;
    std::filesystem::create_directories(directory + "/icons", error);
    for (int size : oz::art::kThemeIconSizes)
        saved = Save(directory + "/icons/ozmir-" + std::to_string(size) + ".png",
                     oz::art::DrawIcon(size)) &&
                saved;
    return saved ? 0 : 1;
}
