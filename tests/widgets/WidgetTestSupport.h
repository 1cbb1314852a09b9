#pragma once
// Shared set-up for widget tests: an 800 x 600 window at the corner of a headless screen
// (so window pixels are screen pixels), the sprite sheet bound and registered exactly as
// the main window's load handler does it, and the shared 40 ms timer. Mouse input is real
// input in screen pixels, delivered by the event dispatch; the timer ticks on the virtual
// clock.

#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Form.h"
#include "platform/pixels/Assets.h"
#include "widgets/Images.h"
#include "widgets/TimerOwner.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace oz::test {

struct SpriteRect {
    int x, y, width, height;
    bool hasMask; // the mask lies directly below the picture
};

// The twelve pictures the main window registers, in index order.
inline constexpr std::array<SpriteRect, 12> kSprites{{
    {0, 0, 73, 73, true},    // 0 joystick well
    {73, 0, 37, 37, true},   // 1 joystick knob
    {0, 146, 73, 26, true},  // 2 spin wheel arch
    {73, 159, 11, 11, true}, // 3 spin wheel ball
    {73, 74, 16, 20, true},  // 4 left button
    {89, 74, 16, 20, true},  // 5 left button, pressed
    {73, 114, 16, 20, true}, // 6 right button
    {89, 114, 16, 20, true}, // 7 right button, pressed
    {98, 155, 1, 21, false}, // 8 track column
    {84, 159, 4, 17, true},  // 9 thumb, left end
    {88, 159, 4, 17, true},  // 10 thumb, right end
    {98, 176, 1, 17, false}, // 11 thumb column
}};

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        TimerOwner = 0;
        form.Move(0, 0, 800 * kTwipsPerPixel, 600 * kTwipsPerPixel);
        picImages.Move(0, 0, 110 * kTwipsPerPixel, 270 * kTwipsPerPixel);
        picImages.SetVisible(false);
        Bitmap bitmap;
        ASSERT_TRUE(DecodePng(assets::sprites_png(), bitmap));
        picImages.Image().CopyFrom(bitmap, bitmap.Bounds(), 0, 0);
        Images& images = SpriteImages();
        images.SetPictureObject(&picImages);
        images.SetImageCount(12);
        for (const SpriteRect& s : kSprites)
            images.AddImage(s.x, s.y, s.width, s.height, s.hasMask);
        Timer1.SetInterval(40);
        form.Show();
    }
    void TearDown() override {
        TimerOwner = 0;
        SetBackend(nullptr);
    }

    // A surface of width x height pixels at window pixel (left, top).
    PictureBox& Surface(const std::string& name, int left, int top, int width, int height) {
        PictureBox& pic = form.AddPicture(name);
        pic.Move(left * kTwipsPerPixel, top * kTwipsPerPixel, width * kTwipsPerPixel,
                 height * kTwipsPerPixel);
        return pic;
    }

    // Mouse input at pixel (x, y) of `pic`, delivered at once. A press comes a moment
    // after the one before it, too late to make a double click with it.
    void Press(const PictureBox& pic, int x, int y, std::int16_t button = vbLeftButton) {
        screen.Advance(Form::kDoubleClickTime + 1);
        screen.MouseDown(pic.PixelRect().left + x, pic.PixelRect().top + y, button);
        DoEvents();
    }
    void Drag(const PictureBox& pic, int x, int y, std::int16_t buttons = vbLeftButton) {
        screen.MouseMove(pic.PixelRect().left + x, pic.PixelRect().top + y, buttons);
        DoEvents();
    }
    void Release(const PictureBox& pic, int x, int y, std::int16_t button = vbLeftButton) {
        screen.MouseUp(pic.PixelRect().left + x, pic.PixelRect().top + y, button);
        DoEvents();
    }
    void DoubleClick(const PictureBox& pic, int x, int y) {
        screen.DoubleClick(pic.PixelRect().left + x, pic.PixelRect().top + y);
        DoEvents();
    }

    // One interval of the timer, and the dispatch that delivers its tick.
    void Tick() {
        screen.Advance(40);
        DoEvents();
    }
    int TicksUntilTimerStops() {
        int ticks = 0;
        for (; Timer1.Enabled() && ticks < 20; ++ticks)
            Tick();
        return ticks;
    }

    Pixel SheetAt(int x, int y) const { return picImages.Image().Get(x, y); }
    static std::vector<Pixel> Pixels(const PictureBox& pic) {
        const Bitmap& image = pic.Image();
        return {image.Data(), image.Data() + image.Width() * image.Height()};
    }

    HeadlessBackend screen{1024, 768};
    Form form{"Form1"};
    PictureBox& picImages = form.AddPicture("picImages");
    Timer& Timer1 = form.AddTimer("Timer1");
};

} // namespace oz::test
