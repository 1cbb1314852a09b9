// The read-out's geometry on screens of several sizes, and what it draws.

#include "ui/OnScreenInfo.h"
#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Form.h"
#include "ui/ScreenSize.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

namespace oz {
namespace {

// The speed bar's frame and the dials keep their distance from the bottom right corner
// (on 1024 x 768 there is no offset: the drawing tests below pin those places).
TEST(OnScreenInfo, KeepsItsDistanceFromTheBottomRightCorner) {
    const std::tuple<int, int, std::array<int, 6>> cases[] = {
        {1280, 1024, {428, 956, 852, 976, 1086, 916}}, {800, 600, {76, 532, 500, 552, 606, 492}}};
    for (auto [screenW, screenH, at] : cases) {
        ScreenWidthPx = screenW;
        ScreenHeightPx = screenH;
        OnScreenInfo info;
        const RECT f = info.SpeedFrame();
        EXPECT_EQ((std::array{f.left, f.top, f.right, f.bottom, info.OffsetX() + 830,
                              info.OffsetY() + 660}),
                  at)
            << screenW;
    }
}

class OnScreenInfoDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        form.Move(0, 0, 1024 * 15, 768 * 15);
        view.Move(0, 0, 1024 * 15, 768 * 15);
        view.SetScaleMode(vbPixels);
        view.SetBackColor(0);
        sheet.Move(0, 0, 110 * 15, 270 * 15);
        sheet.SetBackColor(0);
        ScreenWidthPx = 1024;
        ScreenHeightPx = 768;
        info.emplace();
        info->ImgXOff = 72;
        info->ImgYOff = 198;
    }
    void TearDown() override {
        info->ReleaseFrom(view.hDC());
        SetBackend(nullptr);
    }
    // In the read-out's colour: the bar's fill and the needles.
    bool Lit(int x, int y) { return view.Image().Get(x, y) == PixelFromColor(RGB(214, 203, 163)); }
    int FilledInRow(int y) {
        int n = 0;
        for (int x = 0; x < 1024; ++x)
            n += Lit(x, y);
        return n;
    }

    HeadlessBackend screen;
    Form form{"t"};
    PictureBox& view = form.AddPicture("view");
    PictureBox& sheet = form.AddPicture("sheet");
    std::optional<OnScreenInfo> info; // made in SetUp, once the screen is measured
};

TEST_F(OnScreenInfoDrawing, BarFillFollowsPercentInsideAWhiteOutline) {
    // The speed drawn, and the filled pixels in the bar's row 710 and below it, in row 720.
    for (auto [speed, filled, below] :
         {std::tuple{0.0f, 0, 0}, {std::sqrt(0.5f * 5) * 0.2f, 134, 0}, {1.0f, 424, 0}}) {
        info->DisplaySpeed(view.hDC(), speed);
        EXPECT_EQ(std::pair(FilledInRow(710), FilledInRow(720)), std::pair(filled, below)) << speed;
    }
}

TEST_F(OnScreenInfoDrawing, NeedlesPointUpAndRightAtAngleZeroAndRiseLookingUp) {
    info->DisplayView(view.hDC(), sheet.hDC(), 0.0f, 0.0f);
    // Straight up from (866, 696) towards (866, 660), straight right towards (977, 696),
    // and nothing beyond their tips.
    int up = 0, right = 0;
    for (int i = 0; i < 36; ++i) {
        up += Lit(866, 661 + i) || Lit(865, 661 + i);
        right += Lit(941 + i, 696) || Lit(941 + i, 695);
    }
    EXPECT_EQ(std::tuple(up, right, Lit(866, 650), Lit(990, 696)),
              std::tuple(36, 36, false, false));
    info->DisplayView(view.hDC(), sheet.hDC(), 0.0f, 0.5f); // looking up, the needle rises
    EXPECT_EQ(std::pair(Lit(973, 679), Lit(973, 713)), std::pair(true, false));
}

} // namespace
} // namespace oz
