// The committed pictures are exactly what make-assets draws, so the sheet and the icons
// can be changed only through its code.

#include "platform/pixels/Assets.h"
#include "tools/IconArt.h"
#include "tools/SpriteSheetArt.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace oz {
namespace {

TEST(MakeAssets, DrawsTheCommittedSpriteSheetAndIcons) {
    std::vector<std::pair<std::string, Bitmap>> assets = {{"sprites.png", art::DrawSpriteSheet()},
                                                          {"icon.png", art::DrawIcon()}};
    for (int size : art::kThemeIconSizes)
        assets.emplace_back("icons/ozmir-" + std::to_string(size) + ".png", art::DrawIcon(size));
    for (const auto& [name, drawn] : assets) {
        Bitmap committed;
        ASSERT_TRUE(LoadPng(std::string(OZMIR_SOURCE_DIR) + "/assets/" + name, committed));
        ASSERT_EQ(drawn.Width(), committed.Width()) << name;
        ASSERT_EQ(drawn.Height(), committed.Height()) << name;
        for (int y = 0; y < drawn.Height(); ++y)
            for (int x = 0; x < drawn.Width(); ++x)
                ASSERT_EQ(drawn.Get(x, y), committed.Get(x, y))
                    << name << " at " << x << "," << y << ": run make-assets and commit its output";
    }
}

} // namespace
} // namespace oz
