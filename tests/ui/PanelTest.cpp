// The control panel in window mode: the sliders set the flight and their labels, the
// joystick, the wheel and the arrow steer, all through real mouse input.

#include "tests/ui/ProgramHarness.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

using test::ProgramHarness;

// The window sits at (112, 84) on a 1024 x 768 screen; surfaces in window pixels.
constexpr int kWinX = 112, kWinY = 84;

// Entering window mode snaps the speed to the slider: the start's 0.5 to 158, a stop to
// the minimum, 20, where one press of the right arrow button gives a slow flight.
TEST(Panel, EnteringWindowModeSnapsTheSpeedToTheSlider) {
    ProgramHarness h;
    std::vector<std::pair<float, std::string>> seen;
    h.Run(
        [&](int frame, Form1& p) {
            if (frame > 2)
                seen.emplace_back(p.Speed, p.lblSpeed.Caption());
            if (frame == 2)
                h.screen.DoubleClick(500, 400);
            if (frame == 3) {
                h.screen.DoubleClick(500, 400); // back to full screen
                h.screen.KeyDown('X');          // stop
                h.screen.DoubleClick(500, 400); // and window mode again
            }
            if (frame == 4) {
                EXPECT_EQ(p.SpeedBar->Value(), 20);
                h.screen.Click(kWinX + 7 + 208 - 5, kWinY + 571 + 10); // picScr's right end
            }
        },
        5);
    const std::vector<std::pair<float, std::string>> expected = {
        {0.49928f, "5.0"}, {0.0f, "0.0"}, {0.00882f, "0.1"}};
    EXPECT_EQ(seen, expected);
}

// Forty presses in each track beside the thumb take every slider to one end, and the
// flight and the labels with it; the arrow's drag follows the sensitivity slider.
TEST(Panel, SlidersAtTheirEndsSetTheFlightAndTheLabels) {
    // Pressed beside the thumb towards the high end, or the low; the labels of the speed, the
    // stars, the sensitivity and the brightness; Speed, StarCount, Sensitivity, Arrow->Sens
    // and Brightness.
    const std::tuple<bool, std::vector<std::string>, std::vector<float>> cases[] = {
        {false, {"0.0", "0", "0.1", "0.2"}, {0.0f, 0, 0.1f, 0.1f, 0.2f}},
        {true, {"50.0", "2000", "3.0", "3.0"}, {5.0f, 2000, 3.0f, 3.0f, 3.0f}}};
    for (const auto& [high, wantLabels, wantValues] : cases) {
        ProgramHarness h;
        std::vector<std::string> labels;
        std::vector<float> values;
        h.Run(
            [&](int frame, Form1& p) {
                if (frame == 2)
                    h.screen.DoubleClick(500, 400);
                // picScr, picStars, picSens and picBright: left, top and width.
                for (auto [x, y, w] :
                     {std::tuple{7, 571, 208}, {236, 571, 288}, {383, 528, 141}, {236, 528, 139}})
                    if (frame >= 3 && frame < 43)
                        h.screen.Click(kWinX + x + (high ? w - 18 : 18), kWinY + y + 10);
                if (frame == 44) {
                    labels = {p.lblSpeed.Caption(), p.lblStars.Caption(), p.lblSens.Caption(),
                              p.lblBright.Caption()};
                    values = {p.Speed, static_cast<float>(p.StarCount), p.Sensitivity,
                              p.Arrow->Sens, p.Brightness};
                }
            },
            44);
        EXPECT_EQ(labels, wantLabels);
        EXPECT_EQ(values, wantValues);
    }
}

// A star at rest straight ahead drifts left (negative X) while the joystick is pushed
// right; one to the right moves up while the wheel swings right (clockwise: the stars
// turn counter-clockwise on the screen). The knob lies at the centre of picDir (541 + 36,
// 517 + 36), the wheel's ball at (36, 9) on picSpin (629, 517).
TEST(Panel, JoystickTurnsTheFlightAndTheWheelSpinsIt) {
    const std::tuple<int, int, float, std::function<bool(const StarRecord&)>> drags[] = {
        {577, 553, 0, [](const StarRecord& s) { return s.X < -1.0f; }},
        {665, 526, 50, [](const StarRecord& s) { return s.Y > 0.5f; }}};
    for (const auto& [x, y, starX, moved] : drags) {
        ProgramHarness h;
        StarRecord seen{};
        h.Run(
            [&](int frame, Form1& p) {
                StarRecord& star = p.Field.Stars[7];
                if (frame == 2)
                    h.screen.DoubleClick(500, 400);
                if (frame == 3) {
                    p.Speed = 0;
                    star = StarRecord{starX, 0, 100, 1, 0};
                    h.screen.MouseDown(kWinX + x, kWinY + y);
                    h.screen.MouseMove(kWinX + x + 30, kWinY + y, vbLeftButton);
                }
                seen = star;
            },
            6);
        EXPECT_TRUE(moved(seen)) << x << ": " << seen.X << "," << seen.Y;
    }
}

// Dragging the arrow 10 pixels right sets the target, and the look follows a target the
// short way, also through pi either way, by steps between the least and the greatest,
// landing exactly.
TEST(Panel, DraggingTheArrowSetsTheTargetAndTheLookFollowsItTheShortWay) {
    const std::array<float, 3> cases[] = {{0, 0.5f, 0.015f},
                                          {-3.1f, 3.1f, -3.1f - 0.015f},
                                          {3.1f, -3.1f, 3.1f + 0.015f},
                                          {0.001f, 0.2f, 0.016f}, // the least step
                                          {0.001f, 2, 0.041f}};   // the greatest
    for (auto [fromH, targetH, firstStep] : cases) {
        ProgramHarness h;
        std::vector<float> targets, looks;
        h.Run(
            [&](int frame, Form1& p) {
                if (frame == 2)
                    h.screen.DoubleClick(500, 400);
                if (frame == 3) {
                    SetLookAngles(p, fromH, 0);
                    if (fromH == 0) { // picArr at (717, 517): 10 pixels right of its centre
                        h.screen.MouseDown(kWinX + 753, kWinY + 553);
                        h.screen.MouseMove(kWinX + 763, kWinY + 553, vbLeftButton);
                        h.screen.MouseUp(kWinX + 763, kWinY + 553);
                    } else {
                        p.TargetAngleH = targetH;
                    }
                }
                if (frame > 3) {
                    targets.push_back(p.TargetAngleH);
                    looks.push_back(p.LookAngleH);
                }
            },
            200);
        EXPECT_FLOAT_EQ(targets.front(), targetH) << fromH;
        EXPECT_NEAR(looks.front(), firstStep, 1e-5) << fromH;
        EXPECT_EQ(looks.back(), targetH) << fromH;
    }
}

// The captions fit their labels at the sizes the layout asks for, with the widest values
// the sliders give; only the logo's "Ozmir" is drawn a little smaller.
TEST(Panel, CaptionsFitTheirLabelsAtTheSizesAsked) {
    ProgramHarness h;
    std::vector<std::string> shrunk;
    h.Run(
        [&](int, Form1& p) {
            p.lblSpeed.SetCaption("50.0");
            p.lblSens.SetCaption("3.0");
            p.lblBright.SetCaption("3.0");
            p.lblStars.SetCaption("2000");
            for (const Label* l :
                 {&p.Label6, &p.Label7, &p.Label5, &p.lblBright, &p.Label4, &p.lblSens, &p.Label2,
                  &p.lblSpeed, &p.Label3, &p.lblStars, &p.Label8, &p.Label9})
                if (l->FittedFont().Request().points != l->GetFont().Request().points)
                    shrunk.push_back(l->Name());
        },
        1);
    EXPECT_EQ(shrunk, std::vector<std::string>{"Label6"});
}

} // namespace
} // namespace oz
