// The sprite sheet as the program uses it: the mask rules the drawing relies on, the
// cover the widgets erase with, and the table that copies the pictures onto other surfaces,
// opaque or through their masks, at size or stretched.

#include "widgets/Images.h"

#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

// A background in which neighbouring pixels differ in every channel, so that any pixel
// a draw changes shows.
Pixel Noise(int x, int y) {
    const std::uint32_t h =
        (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
    return (h * 2654435761u >> 8) & 0xFFFFFF;
}

class SpriteSheetTest : public test::WidgetTest {
protected:
    const Bitmap& Sheet() const { return picImages.Image(); }
    static const test::SpriteRect& Sprite(int i) { return test::kSprites[static_cast<size_t>(i)]; }
    Pixel At(int i, int x, int y) const { return Sheet().Get(Sprite(i).x + x, Sprite(i).y + y); }
    Pixel MaskAt(int i, int x, int y) const { return At(i, x, Sprite(i).height + y); }
    bool Opaque(int i, int x, int y) const { return MaskAt(i, x, y) == kWhite; }

    PictureBox& target = Surface("target", 200, 0, 160, 160);
};

// ---- The committed picture ----

// The mask is ORed in first and the picture ANDed over it: only white picture pixels
// leave the background alone.
TEST_F(SpriteSheetTest, MasksAreBlackAndWhitePicturesWhiteWhereTransparentAndDialsOnBlack) {
    for (int i = 0; i < 12; ++i)
        for (int y = 0; Sprite(i).hasMask && y < Sprite(i).height; ++y)
            for (int x = 0; x < Sprite(i).width; ++x) {
                ASSERT_TRUE(Opaque(i, x, y) || (MaskAt(i, x, y) == kBlack && At(i, x, y) == kWhite))
                    << i << ": " << x << "," << y;
            }

    // The read-outs OR the dials onto the view: around their white rings they are black.
    for (auto [x, y] : {std::pair{0, 198}, {36, 234}, {71, 269}, {90, 234}, {108, 198}})
        EXPECT_EQ(Sheet().Get(x, y), kBlack) << x << "," << y;
    EXPECT_EQ(Sheet().Get(36, 198 + 6), kWhite); // the notch atop the ring
}

// The widgets erase the knob and the ball by drawing the well and the arch again: those
// must cover every place the knob (within 13 of the centre) and the ball (on an arc of
// radius 55 round (36, 64), up to 30 degrees either way) can take.
TEST_F(SpriteSheetTest, WellAndArchCoverEveryPlaceOfTheKnobAndTheBall) {
    const auto covered = [this](int cover, int sprite, int left, int top) {
        for (int y = 0; y < Sprite(sprite).height; ++y)
            for (int x = 0; x < Sprite(sprite).width; ++x)
                if (Opaque(sprite, x, y) && !Opaque(cover, left + x, top + y))
                    return false;
        return true;
    };
    for (int ky = -13; ky <= 13; ++ky)
        for (int kx = -13; kx <= 13; ++kx)
            if (kx * kx + ky * ky <= 13 * 13) {
                ASSERT_TRUE(covered(0, 1, 18 + kx, 18 - ky)) << kx << "," << ky;
            }
    for (int step = -600; step <= 600; ++step) {
        const double angle = 3.141593 / 6 * step / 600.0;
        const int ballX = static_cast<int>(std::nearbyint(std::sin(angle) * 55));
        const int ballY = static_cast<int>(std::nearbyint(std::cos(angle) * 55));
        ASSERT_TRUE(covered(2, 3, 36 + ballX - 5, 64 - ballY - 5)) << step;
    }
}

// ---- Drawing through the table ----

// A masked picture shows only under the white of its mask; one without a mask covers
// its whole rectangle. Every picture at size, then three stretched by whole multiples, so
// that each destination pixel has one obvious source pixel.
TEST_F(SpriteSheetTest, DrawsShowThePictureUnderWhiteMaskAndLeaveTheRestAlone) {
    std::vector<std::array<int, 3>> draws = {{1, 2, 3}, {4, 3, 2}, {9, 3, 1}}; // i, times x, y
    for (int i = 0; i < 12; ++i)
        draws.push_back({i, 1, 1});
    for (const auto& [i, kx, ky] : draws) {
        const test::SpriteRect& s = Sprite(i);
        const auto index = static_cast<std::int16_t>(i);
        for (int p = 0; p < 160 * 160; ++p)
            target.Image().Set(p % 160, p / 160, Noise(p % 160, p / 160));
        if (kx * ky == 1)
            SpriteImages().DrawImage(target.hDC(), index, 7, 5);
        else
            SpriteImages().DrawStretchImage(target.hDC(), index, 7, 5, s.width * kx, s.height * ky);
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 160; ++x) {
                const int sx = (x - 7) / kx, sy = (y - 5) / ky;
                const bool shown = x >= 7 && y >= 5 && sx < s.width && sy < s.height &&
                                   (!s.hasMask || Opaque(i, sx, sy));
                ASSERT_EQ(target.Image().Get(x, y), shown ? At(i, sx, sy) : Noise(x, y))
                    << i << " times " << kx << "," << ky << ": " << x << "," << y;
            }
    }
}

// Picture i of a 6 x 1 sheet is its single pixel (i, 0).
TEST_F(SpriteSheetTest, RebindingRestartsRegistrationAndTheTableKeepsTheRecordsThatFit) {
    PictureBox& sheet = Surface("colours", 0, 300, 6, 1);
    for (int x = 0; x < 6; ++x)
        sheet.Image().Set(x, 0, 0x102030u * static_cast<Pixel>(x + 1));
    Images images;
    images.SetPictureObject(&sheet);
    images.SetImageCount(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(images.AddImage(i, 0, 1, 1, false), i);
    EXPECT_THROW(images.AddImage(3, 0, 1, 1, false), std::out_of_range); // beyond the table
    images.SetPictureObject(&sheet);
    EXPECT_EQ(images.AddImage(5, 0, 1, 1, false), 0);
    images.SetImageCount(2);
    EXPECT_EQ(images.AddImage(4, 0, 1, 1, false), 1);
    images.SetImageCount(5); // grown again: the records are kept
    images.DrawImage(target.hDC(), 0, 0, 0);
    images.DrawImage(target.hDC(), 1, 1, 0);
    EXPECT_EQ(std::pair(target.Image().Get(0, 0), target.Image().Get(1, 0)),
              std::pair(sheet.Image().Get(5, 0), sheet.Image().Get(4, 0)));
    EXPECT_THROW(images.DrawStretchImage(target.hDC(), 5, 0, 0, 4, 4), std::out_of_range);
}

} // namespace
} // namespace oz
