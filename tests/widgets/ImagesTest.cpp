// The sprite sheet's table and its copies onto other surfaces: masked pictures keep what
// lies under their transparent parts, unmasked ones cover their whole rectangle, and
// stretching scales the mask with the picture.

#include "widgets/Images.h"

#include "platform/Assets.h"
#include "platform/Form.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

namespace oz {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;

struct Registration {
    std::int32_t x, y, width, height;
    bool hasMask;
};

// The twelve pictures as the main window registers them.
constexpr std::array<Registration, 12> kWindowImages{{
    {0, 0, 73, 73, true},
    {73, 0, 37, 37, true},
    {0, 146, 73, 26, true},
    {73, 159, 11, 11, true},
    {73, 74, 16, 20, true},
    {89, 74, 16, 20, true},
    {73, 114, 16, 20, true},
    {89, 114, 16, 20, true},
    {98, 155, 1, 21, false},
    {84, 159, 4, 17, true},
    {88, 159, 4, 17, true},
    {98, 176, 1, 17, false},
}};

// A background in which neighbouring pixels differ in every channel, so that any pixel
// a draw changes shows.
Pixel Noise(int x, int y) {
    const std::uint32_t h =
        (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
    return (h * 2654435761u >> 8) & 0xFFFFFF;
}

void PaintNoise(Bitmap& image) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            image.Set(x, y, Noise(x, y));
}

class ImagesTest : public ::testing::Test {
protected:
    void SetUp() override { SetBackend(&screen); }
    void TearDown() override { SetBackend(nullptr); }

    PictureBox& Surface(const std::string& name, int width, int height) {
        PictureBox& surface = form.AddPicture(name);
        surface.Move(0, 0, width * kTwipsPerPixel, height * kTwipsPerPixel);
        return surface;
    }

    // The committed sheet, bound and registered as the main window does it.
    const Bitmap& BindWindowSheet() {
        PictureBox& sheet = Surface("picImages", 110, 270);
        Bitmap picture;
        EXPECT_TRUE(LoadPng(std::string(OZMIR_SOURCE_DIR) + "/assets/sprites.png", picture));
        sheet.Image().CopyFrom(picture, picture.Bounds(), 0, 0);
        images.SetPictureObject(&sheet);
        images.SetImageCount(12);
        for (const Registration& r : kWindowImages)
            images.AddImage(r.x, r.y, r.width, r.height, r.hasMask);
        return sheet.Image();
    }

    // A 6 x 2 sheet of single-colour pictures: index i of RegisterColours is the pixel
    // (i, 0), whose colour is Colour(i).
    PictureBox& ColourSheet() {
        PictureBox& sheet = Surface("colours", 6, 2);
        for (int x = 0; x < 6; ++x) {
            sheet.Image().Set(x, 0, Colour(x));
            sheet.Image().Set(x, 1, 0x000000);
        }
        return sheet;
    }
    static Pixel Colour(int i) { return 0x102030u * static_cast<Pixel>(i + 1); }
    void RegisterColours(int first, int count) {
        for (int i = first; i < first + count; ++i)
            images.AddImage(i, 0, 1, 1, false);
    }
    // The colour a draw of `index` leaves at the corner of a fresh surface.
    Pixel Drawn(std::int16_t index) {
        target.Image().Fill(0x808080);
        images.DrawImage(target.hDC(), index, 0, 0);
        return target.Image().Get(0, 0);
    }

    HeadlessBackend screen{1024, 768};
    Form form{"test"};
    PictureBox& target = Surface("target", 160, 160);
    Images images;
};

TEST_F(ImagesTest, MaskedPicturesKeepTheBackgroundUnderBlackMaskAndShowThemselvesUnderWhite) {
    const Bitmap& sheet = BindWindowSheet();
    for (std::int16_t index = 0; index < 12; ++index) {
        const Registration& r = kWindowImages[static_cast<size_t>(index)];
        if (!r.hasMask)
            continue;
        PaintNoise(target.Image());
        images.DrawImage(target.hDC(), index, 7, 5);
        for (int y = 0; y < target.Image().Height(); ++y)
            for (int x = 0; x < target.Image().Width(); ++x) {
                const int sx = x - 7, sy = y - 5;
                Pixel expected = Noise(x, y);
                if (sx >= 0 && sy >= 0 && sx < r.width && sy < r.height &&
                    sheet.Get(r.x + sx, r.y + r.height + sy) == kWhite)
                    expected = sheet.Get(r.x + sx, r.y + sy);
                ASSERT_EQ(target.Image().Get(x, y), expected)
                    << "image " << index << " at " << x << "," << y;
            }
    }
}

TEST_F(ImagesTest, PictureWithoutMaskOverwritesItsWholeRectangleWhiteIncluded) {
    PictureBox& sheet = Surface("sheet", 3, 3);
    const Pixel picture[2][3] = {{kWhite, 0x000000, 0x123456}, {0x00FF00, kWhite, kWhite}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            sheet.Image().Set(x, y, picture[y][x]);
    sheet.Image().FillRect({0, 2, 3, 3}, 0x000000); // would hide everything as a mask
    images.SetPictureObject(&sheet);
    images.SetImageCount(1);
    images.AddImage(0, 0, 3, 2, false);

    PaintNoise(target.Image());
    images.DrawImage(target.hDC(), 0, 4, 9);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 9 && y < 11;
            EXPECT_EQ(target.Image().Get(x, y), inside ? picture[y - 9][x - 4] : Noise(x, y))
                << x << "," << y;
        }
}

TEST_F(ImagesTest, StretchedMaskedPicturesKeepTheirTransparency) {
    const Bitmap& sheet = BindWindowSheet();
    struct Stretch {
        std::int16_t index;
        int width, height;
    };
    // Whole multiples, so that each destination pixel has one obvious source pixel.
    for (const Stretch& s : {Stretch{1, 74, 111}, Stretch{4, 48, 40}, Stretch{9, 12, 17}}) {
        const Registration& r = kWindowImages[static_cast<size_t>(s.index)];
        PaintNoise(target.Image());
        images.DrawStretchImage(target.hDC(), s.index, 3, 2, s.width, s.height);
        const int kx = s.width / r.width, ky = s.height / r.height;
        int kept = 0, shown = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const int sx = x / kx, sy = y / ky;
                const bool opaque = sheet.Get(r.x + sx, r.y + r.height + sy) == kWhite;
                const Pixel expected = opaque ? sheet.Get(r.x + sx, r.y + sy) : Noise(x + 3, y + 2);
                ASSERT_EQ(target.Image().Get(x + 3, y + 2), expected)
                    << "image " << s.index << " at " << x << "," << y;
                ++(opaque ? shown : kept);
            }
        EXPECT_GT(kept, 0) << "image " << s.index;
        EXPECT_GT(shown, 0) << "image " << s.index;
        EXPECT_EQ(target.Image().Get(3 + s.width, 2), Noise(3 + s.width, 2));
        EXPECT_EQ(target.Image().Get(3, 2 + s.height), Noise(3, 2 + s.height));
    }
}

TEST_F(ImagesTest, StretchedColumnsFillTheirWidth) {
    const Bitmap& sheet = BindWindowSheet();
    PaintNoise(target.Image());
    images.DrawStretchImage(target.hDC(), 8, 16, 0, 50, 21); // a slider's track
    images.DrawStretchImage(target.hDC(), 11, 30, 2, 7, 17); // a thumb's middle
    for (int y = 0; y < 21; ++y)
        for (int x = 16; x < 66; ++x) {
            const bool thumb = x >= 30 && x < 37 && y >= 2 && y < 19;
            const Pixel expected = thumb ? sheet.Get(98, 176 + y - 2) : sheet.Get(98, 155 + y);
            ASSERT_EQ(target.Image().Get(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(target.Image().Get(15, 0), Noise(15, 0));
    EXPECT_EQ(target.Image().Get(66, 0), Noise(66, 0));
}

TEST_F(ImagesTest, BindingSwitchesToPixelsAndRestartsRegistrationButKeepsTheTable) {
    PictureBox& sheet = ColourSheet();
    sheet.SetScaleMode(1);
    images.SetPictureObject(&sheet);
    EXPECT_EQ(images.PictureObject(), &sheet);
    EXPECT_EQ(sheet.ScaleMode(), vbPixels);

    images.SetImageCount(3);
    EXPECT_EQ(images.AddImage(0, 0, 1, 1, false), 0);
    EXPECT_EQ(images.AddImage(1, 0, 1, 1, false), 1);
    EXPECT_EQ(images.AddImage(2, 0, 1, 1, false), 2);
    EXPECT_EQ(images.AddedCount(), 3);

    images.SetPictureObject(&sheet);
    EXPECT_EQ(images.AddedCount(), 0);
    EXPECT_EQ(images.ImageCount(), 3);
    EXPECT_EQ(images.AddImage(5, 0, 1, 1, false), 0);
    EXPECT_EQ(Drawn(0), Colour(5));
    EXPECT_EQ(Drawn(1), Colour(1)); // not yet overwritten
    EXPECT_EQ(Drawn(2), Colour(2));
}

TEST_F(ImagesTest, SetImageCountKeepsTheRecordsThatFitAndTheRegistrationCount) {
    images.SetPictureObject(&ColourSheet());
    images.SetImageCount(3);
    RegisterColours(0, 3);

    images.SetImageCount(5);
    EXPECT_EQ(images.AddedCount(), 3);
    for (std::int16_t i = 0; i < 3; ++i)
        EXPECT_EQ(Drawn(i), Colour(i));
    EXPECT_EQ(images.AddImage(4, 0, 1, 1, false), 3);

    images.SetImageCount(2);
    EXPECT_EQ(images.ImageCount(), 2);
    EXPECT_EQ(Drawn(0), Colour(0));
    EXPECT_EQ(Drawn(1), Colour(1));
    EXPECT_THROW(Drawn(2), std::out_of_range);
}

// Past the end of the table there is no record to write or read: the call fails
// loudly instead of touching memory that is not the table's.
TEST_F(ImagesTest, RegisteringOrDrawingBeyondTheTableThrowsAndChangesNothing) {
    images.SetPictureObject(&ColourSheet());
    images.SetImageCount(2);
    RegisterColours(0, 2);
    EXPECT_THROW(images.AddImage(3, 0, 1, 1, false), std::out_of_range);
    EXPECT_EQ(images.AddedCount(), 2);
    EXPECT_EQ(Drawn(1), Colour(1));

    PaintNoise(target.Image());
    EXPECT_THROW(images.DrawImage(target.hDC(), -1, 0, 0), std::out_of_range);
    EXPECT_THROW(images.DrawStretchImage(target.hDC(), 2, 0, 0, 4, 4), std::out_of_range);
    EXPECT_EQ(target.Image().Get(0, 0), Noise(0, 0));
}

} // namespace
} // namespace oz
