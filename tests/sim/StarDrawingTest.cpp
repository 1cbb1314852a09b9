// How a visible star and the frame-rate figure are drawn: colour scaling, disc sizes and
// the digits of the figure.

#include "sim/FrameLoop.h"
#include "sim/StarPalette.h"

#include <gtest/gtest.h>

#include <string>

namespace oz {
namespace {

TEST(MultiplyColor, RoundsRedToNearestAndCutsTheFractionOfGreenAndBlue) {
    EXPECT_EQ(MultiplyColor(RGB(255, 255, 255), 0.25f), RGB(64, 63, 63));
    EXPECT_EQ(MultiplyColor(kTextColor, 0.5f), RGB(107, 101, 81));
    EXPECT_EQ(kTextColor, RGB(214, 203, 163));
}

TEST(MultiplyColor, KeepsAColourWholeAtRateOneAndRoundsHalvesToEven) {
    EXPECT_EQ(MultiplyColor(RGB(253, 255, 206), 1.0f), RGB(253, 255, 206));
    EXPECT_EQ(MultiplyColor(RGB(5, 0, 0), 0.5f), RGB(2, 0, 0)); // 2.5 -> 2
    EXPECT_EQ(MultiplyColor(RGB(7, 0, 0), 0.5f), RGB(4, 0, 0)); // 3.5 -> 4
    EXPECT_EQ(MultiplyColor(RGB(0, 1, 1), 0.5f), RGB(0, 0, 0)); // 128 -> 0
    // A pixel of size 0.99 keeps about 98 % of its colour.
    EXPECT_EQ(MultiplyColor(RGB(255, 255, 255), 0.99f * 0.99f), RGB(250, 249, 249));
}

TEST(StarDiscBox, DrawsADiscFloorOfTheSizeAcrossAndAtLeastTwo) {
    const RECT one = StarDiscBox(480, 260, 1.0f);
    EXPECT_EQ(one.left, 479);
    EXPECT_EQ(one.top, 259);
    EXPECT_EQ(one.right, 481);
    EXPECT_EQ(one.bottom, 261);

    const RECT almostFour = StarDiscBox(100, 50, 3.9f); // 3 across, one to the left
    EXPECT_EQ(almostFour.left, 99);
    EXPECT_EQ(almostFour.top, 49);
    EXPECT_EQ(almostFour.right, 102);
    EXPECT_EQ(almostFour.bottom, 52);

    const RECT large = StarDiscBox(0, 0, 7.2f); // 7 across, three to the left
    EXPECT_EQ(large.left, -3);
    EXPECT_EQ(large.right, 4);
}

TEST(FormatFps, ShowsTheLastThreeDigitsWithoutLeadingZeros) {
    char text[4] = {0, 0, 0, 0};
    const auto figure = [&](int fps) { return std::string(FormatFps(fps, text)); };
    EXPECT_EQ(figure(0), "0");
    EXPECT_EQ(figure(4), "4");
    EXPECT_EQ(figure(64), "64");
    EXPECT_EQ(figure(100), "100");
    EXPECT_EQ(figure(208), "208");
    EXPECT_EQ(figure(1000), "0");
    EXPECT_EQ(figure(1064), "64");
    EXPECT_EQ(figure(2004), "4");
    EXPECT_EQ(text[3], 0);
}

} // namespace
} // namespace oz
