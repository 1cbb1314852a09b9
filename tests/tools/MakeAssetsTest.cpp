// The committed pictures are exactly what make-assets draws, so the sheet can be changed
// only through its code.

#include "platform/Assets.h"
#include "tools/IconArt.h"
#include "tools/SpriteSheetArt.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace oz {
namespace {

Bitmap LoadAsset(const std::string& name) {
    Bitmap image;
    EXPECT_TRUE(LoadPng(std::string(OZMIR_SOURCE_DIR) + "/assets/" + name, image)) << name;
    return image;
}

// Compares pixel by pixel and reports the first difference.
void ExpectSamePixels(const Bitmap& drawn, const Bitmap& committed) {
    ASSERT_EQ(drawn.Width(), committed.Width());
    ASSERT_EQ(drawn.Height(), committed.Height());
    for (int y = 0; y < drawn.Height(); ++y)
        for (int x = 0; x < drawn.Width(); ++x)
            ASSERT_EQ(drawn.Get(x, y), committed.Get(x, y))
                << "at " << x << "," << y << ": run make-assets and commit its output";
}

TEST(MakeAssets, DrawsTheCommittedSpriteSheet) {
    ExpectSamePixels(art::DrawSpriteSheet(), LoadAsset("sprites.png"));
}

TEST(MakeAssets, DrawsTheCommittedIcon) {
    ExpectSamePixels(art::DrawIcon(), LoadAsset("icon.png"));
}

// A star burst on deep blue: dark blue towards the corners, bright in the middle.
TEST(MakeAssets, IconIsABrightBurstOnDarkBlue) {
    const Bitmap icon = LoadAsset("icon.png");
    ASSERT_EQ(icon.Width(), 32);
    ASSERT_EQ(icon.Height(), 32);
    for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 1}}) {
        const Pixel p = icon.Get(x, y);
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(b > r && b > g && b < 120) << x << "," << y;
    }
    const Pixel middle = icon.Get(16, 16);
    EXPECT_GT(middle & 0xFF, 220u);
    EXPECT_GT((middle >> 16) & 0xFF, 220u);
}

} // namespace
} // namespace oz
