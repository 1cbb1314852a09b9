// The control panel in window mode: the sliders set the flight and their labels, the
// joystick, the wheel and the arrow steer, all through real mouse input.

#include "tests/ui/ProgramHarness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace oz {
namespace {

using test::ProgramHarness;

// The window sits at (112, 84) on a 1024 x 768 screen; surfaces in window pixels.
constexpr int kWinX = 112, kWinY = 84;
constexpr int kSpeedX = 7, kSpeedY = 571, kSpeedW = 208;      // picScr
constexpr int kStarsX = 236, kStarsY = 571, kStarsW = 288;    // picStars
constexpr int kSensX = 383, kSensY = 528, kSensW = 141;       // picSens
constexpr int kBrightX = 236, kBrightY = 528, kBrightW = 139; // picBright

TEST(FormatOneDecimal, HasOneDecimalAndAPoint) {
    EXPECT_EQ(FormatOneDecimal(0.0f), "0.0");
    EXPECT_EQ(FormatOneDecimal(0.0882f), "0.1");
    EXPECT_EQ(FormatOneDecimal(4.9928f), "5.0");
    EXPECT_EQ(FormatOneDecimal(50.0f), "50.0");
    EXPECT_EQ(FormatOneDecimal(3.0f), "3.0");
}

TEST(Panel, EnteringWindowModeSnapsTheSpeedToTheSlider) {
    ProgramHarness h;
    float speedAtDefault = -1, speedWhenStopped = -1;
    std::string labelAtDefault, labelWhenStopped;
    std::int32_t sliderWhenStopped = -1;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3) {
                speedAtDefault = p.Speed;
                labelAtDefault = p.lblSpeed.Caption();
                h.screen.DoubleClick(500, 400); // back to full screen
                h.screen.KeyDown('X');          // stop
                h.screen.DoubleClick(500, 400); // and window mode again
            }
            if (frame == 4) {
                speedWhenStopped = p.Speed;
                labelWhenStopped = p.lblSpeed.Caption();
                sliderWhenStopped = p.SpeedBar->Value();
            }
        },
        4);
    EXPECT_FLOAT_EQ(speedAtDefault, 158.0f * 158.0f / 50000);
    EXPECT_EQ(labelAtDefault, "5.0");
    EXPECT_EQ(speedWhenStopped, 0.0f);
    EXPECT_EQ(labelWhenStopped, "0.0");
    EXPECT_EQ(sliderWhenStopped, 20);
}

struct SliderEnd {
    bool high;               // press beside the thumb towards the high end, else the low
    const char* speed;       // lblSpeed
    const char* stars;       // lblStars
    const char* sensitivity; // lblSens
    const char* brightness;  // lblBright
    float speedValue, sensitivityValue, brightnessValue;
    std::int32_t starCount;
};

class PanelSliderEnds : public ::testing::TestWithParam<SliderEnd> {};

// Forty presses in each track beside the thumb take every slider to one end.
TEST_P(PanelSliderEnds, SetTheFlightAndTheLabels) {
    const SliderEnd& end = GetParam();
    ProgramHarness h;
    std::string speed, stars, sens, bright;
    float speedValue = -1, sensitivity = -1, brightness = -1, arrowSens = -1;
    std::int32_t starCount = -1;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame >= 3 && frame < 43) {
                for (auto [x, y, w] :
                     {std::tuple{kSpeedX, kSpeedY, kSpeedW}, std::tuple{kStarsX, kStarsY, kStarsW},
                      std::tuple{kSensX, kSensY, kSensW},
                      std::tuple{kBrightX, kBrightY, kBrightW}}) {
                    const int px = kWinX + x + (end.high ? w - 18 : 18), py = kWinY + y + 10;
                    h.screen.MouseDown(px, py);
                    h.screen.MouseUp(px, py);
                }
            }
            if (frame == 44) {
                speed = p.lblSpeed.Caption();
                stars = p.lblStars.Caption();
                sens = p.lblSens.Caption();
                bright = p.lblBright.Caption();
                speedValue = p.Speed;
                sensitivity = p.Sensitivity;
                brightness = p.Brightness;
                starCount = p.StarCount;
                arrowSens = p.Arrow->Sens;
            }
        },
        44);
    EXPECT_EQ(speed, end.speed);
    EXPECT_EQ(stars, end.stars);
    EXPECT_EQ(sens, end.sensitivity);
    EXPECT_EQ(bright, end.brightness);
    EXPECT_FLOAT_EQ(speedValue, end.speedValue);
    EXPECT_FLOAT_EQ(sensitivity, end.sensitivityValue);
    EXPECT_FLOAT_EQ(arrowSens, end.sensitivityValue); // the arrow's drag follows the slider
    EXPECT_FLOAT_EQ(brightness, end.brightnessValue);
    EXPECT_EQ(starCount, end.starCount);
}

INSTANTIATE_TEST_SUITE_P(
    Panel, PanelSliderEnds,
    ::testing::Values(SliderEnd{false, "0.0", "0", "0.1", "0.2", 0.0f, 0.1f, 0.2f, 0},
                      SliderEnd{true, "50.0", "2000", "3.0", "3.0", 5.0f, 3.0f, 3.0f, 2000}),
    [](const ::testing::TestParamInfo<SliderEnd>& info) {
        return std::string(info.param.high ? "High" : "Low");
    });

TEST(Panel, OneStepAboveTheSpeedSliderMinimumIsASlowFlight) {
    ProgramHarness h;
    std::string label;
    float speed = -1;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3)
                p.SpeedBar->SetValue(20);
            if (frame == 4) { // the right arrow button: one step up from the minimum
                h.screen.MouseDown(kWinX + kSpeedX + kSpeedW - 5, kWinY + kSpeedY + 10);
                h.screen.MouseUp(kWinX + kSpeedX + kSpeedW - 5, kWinY + kSpeedY + 10);
            }
            if (frame == 5) {
                label = p.lblSpeed.Caption();
                speed = p.Speed;
            }
        },
        5);
    EXPECT_FLOAT_EQ(speed, 21.0f * 21.0f / 50000);
    EXPECT_EQ(label, "0.1");
}

TEST(Panel, JoystickTurnsTheFlightAndTheWheelSpinsIt) {
    ProgramHarness h;
    float zBefore = 0, xAfterTurn = 0, xBefore = 0, yAfterSpin = 0, yBefore = 0;
    int watched = -1;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3) {
                p.Speed = 0; // keep stars still along the line of flight
                // A star straight ahead: turning right makes it drift left (negative X).
                watched = 7;
                p.Field.Stars[watched] = StarRecord{0, 0, 100, 1, 0};
                zBefore = p.Field.Stars[watched].Z;
                xBefore = p.Field.Stars[watched].X;
                // Grab the knob at the centre of picDir (541 + 36, 517 + 36), push it right.
                h.screen.MouseDown(kWinX + 577, kWinY + 553);
                h.screen.MouseMove(kWinX + 577 + 30, kWinY + 553, vbLeftButton);
            }
            if (frame == 6) {
                xAfterTurn = p.Field.Stars[watched].X;
                h.screen.MouseUp(kWinX + 607, kWinY + 553);
            }
            if (frame == 20) {
                p.Field.Stars[watched] = StarRecord{50, 0, 100, 1, 0};
                yBefore = p.Field.Stars[watched].Y;
                // The wheel's ball rests at (36, 9) on picSpin (629, 517): swing it right.
                h.screen.MouseDown(kWinX + 629 + 36, kWinY + 517 + 9);
                h.screen.MouseMove(kWinX + 629 + 36 + 40, kWinY + 517 + 9, vbLeftButton);
            }
            if (frame == 23) {
                yAfterSpin = p.Field.Stars[watched].Y;
                h.screen.MouseUp(kWinX + 629 + 76, kWinY + 526);
            }
        },
        30);
    EXPECT_EQ(zBefore, 100.0f);
    EXPECT_LT(xAfterTurn, xBefore - 1.0f);
    // Spinning clockwise (positive wheel) turns the stars counter-clockwise on the screen:
    // a star to the right moves up.
    EXPECT_GT(yAfterSpin, yBefore + 0.5f);
}

TEST(Panel, DraggingTheArrowSetsTheTargetAndTheLookFollowsItTheShortWay) {
    ProgramHarness h;
    float targetH = 1, lookAfterOne = 1, lookAtEnd = 1;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3) {
                // picArr at (717, 517): drag 10 pixels to the right from its centre.
                h.screen.MouseDown(kWinX + 753, kWinY + 553);
                h.screen.MouseMove(kWinX + 763, kWinY + 553, vbLeftButton);
                h.screen.MouseUp(kWinX + 763, kWinY + 553);
            }
            if (frame == 4) {
                targetH = p.TargetAngleH;
                lookAfterOne = p.LookAngleH;
            }
            if (frame == 200)
                lookAtEnd = p.LookAngleH;
        },
        200);
    EXPECT_FLOAT_EQ(targetH, 0.5f);
    // The first step turns the short way, to the right (dH is about +0.5), by the smallest
    // step: 3% of 0.5 is below 0.015.
    EXPECT_FLOAT_EQ(lookAfterOne, 0.015f);
    EXPECT_EQ(lookAtEnd, 0.5f);
}

TEST(Panel, LookFollowLandsExactlyAndStepsAtMostTheLargestStep) {
    ProgramHarness h;
    std::vector<float> looks;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3) {
                SetLookAngles(p, -3.1f, 0);
                p.TargetAngleH = 3.1f;
                p.TargetAngleV = 0;
            }
            if (frame > 3)
                looks.push_back(p.LookAngleH);
        },
        20);
    ASSERT_GE(looks.size(), 3u);
    // From -3.1 towards 3.1 the short way is down through -pi, 0.083 in all.
    EXPECT_NEAR(looks[0], -3.1f - 0.015f, 1e-5);
    EXPECT_EQ(looks.back(), 3.1f);
}

} // namespace
} // namespace oz
