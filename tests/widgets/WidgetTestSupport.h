#pragma once
// Shared set-up for widget tests: the sprite sheet bound and registered exactly as the
// main window's load handler does it, on a hidden 110 x 270 surface.

#include "platform/Assets.h"
#include "platform/Form.h"
#include "widgets/Images.h"

#include <gtest/gtest.h>

namespace oz::test {

// Makes the hidden surface `picImages` on `form`, copies the embedded sheet into its
// image, binds SpriteImages() to it and registers the twelve pictures in index order.
// Call it in every test: the surface lives only as long as `form`.
inline PictureBox& BindSpriteSheet(Form& form) {
    PictureBox& picImages = form.AddPicture("picImages");
    picImages.Move(0, 0, 110 * kTwipsPerPixel, 270 * kTwipsPerPixel);
    picImages.SetVisible(false);
    Bitmap bitmap;
    EXPECT_TRUE(DecodePng(assets::sprites_png(), bitmap));
    picImages.Image().CopyFrom(bitmap, bitmap.Bounds(), 0, 0);

    Images& images = SpriteImages();
    images.SetPictureObject(&picImages);
    images.SetImageCount(12);
    images.AddImage(0, 0, 73, 73, true);
    images.AddImage(73, 0, 37, 37, true);
    images.AddImage(0, 146, 73, 26, true);
    images.AddImage(73, 159, 11, 11, true);
    images.AddImage(73, 74, 16, 20, true);
    images.AddImage(89, 74, 16, 20, true);
    images.AddImage(73, 114, 16, 20, true);
    images.AddImage(89, 114, 16, 20, true);
    images.AddImage(98, 155, 1, 21, false);
    images.AddImage(84, 159, 4, 17, true);
    images.AddImage(88, 159, 4, 17, true);
    images.AddImage(98, 176, 1, 17, false);
    return picImages;
}

} // namespace oz::test
