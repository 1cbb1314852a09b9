// The star field: motion, rebirth on the far side of the ball, projection, and the
// rotations of turning, spinning and looking.

#include "sim/StarField.h"
#include "platform/forms/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>

namespace oz {
namespace {

class StarFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRnd();
        // An 800 x 600 view at rest, every slot inactive at the centre of the ball.
        flight.ViewWidth = 800;
        flight.ViewHeight = 600;
        flight.HalfWidth = 400;
        flight.HalfHeight = 300;
        flight.Speed = 0.0f;
    }

    // Puts an active white star into slot i and runs its step.
    bool StepStarAt(int i, float x, float y, float z) {
        field.Stars[i] = StarRecord{x, y, z, 1, 0};
        return field.StarStep(i, flight, sight);
    }
    // Steps slot 0 holding a star at (x, y, z): whether it is drawn, and where, or (0, 0).
    std::tuple<bool, int, int> Projected(float x, float y, float z) {
        const bool visible = StepStarAt(0, x, y, z);
        return {visible, visible ? sight.sx : 0, visible ? sight.sy : 0};
    }
    // Runs the step of slot i holding an inactive star about to leave the ball behind.
    const StarRecord& Reborn(int i) {
        field.Stars[i] = StarRecord{0, 0, -129.5f, 0, 0};
        field.StarStep(i, flight, sight);
        return field.Stars[i];
    }

    FlightState flight;
    StarField field;
    StarSight sight;
};

// Through the half width as focal length on both axes, to the nearest pixel; only what
// lands inside the view and lies more than one unit ahead is drawn.
TEST_F(StarFieldTest, ProjectsOntoTheViewAndDrawsOnlyWhatLandsInsideIt) {
    const std::tuple<float, float, float, bool, int, int> cases[] = {
        {50, 0, 50, false, 0, 0},     {-50, 0, 50, true, 0, 300},    // sx = ViewWidth is out
        {0, -37.5f, 50, false, 0, 0}, {0, 37.5f, 50, true, 400, 0},  // sy = ViewHeight is out
        {0, 0, 1.0f, false, 0, 0},    {0, 0, 1.01f, true, 400, 300}, // one unit ahead
        {0.1f, 0, -3, false, 0, 0},   {0, 0, -120, false, 0, 0},     // behind
    };
    for (auto [x, y, z, shown, sx, sy] : cases) {
        EXPECT_EQ(Projected(x, y, z), std::tuple(shown, sx, sy)) << x << "," << y << "," << z;
    }
}

TEST_F(StarFieldTest, StarsMoveByTimeScaleTimesSpeedAndAreBornAgainOnTheFarSideOfTheBall) {
    flight.Speed = 1.0f;
    flight.StarCount = 100;
    int active = 0, white = 0;
    for (int i = 0; i < kStarSlots; ++i) {
        const StarRecord& s = Reborn(i);
        EXPECT_TRUE(std::fabs(std::hypot(s.X, s.Y, s.Z) - 130.0f) <= 0.01f && s.Z >= 0.0f &&
                    s.ColorIndex <= 5)
            << "slot " << i;
        active += s.Active;
        white += s.ColorIndex == 0;
    }
    EXPECT_EQ(active, 101); // slots 0 to StarCount
    // Three in four are white: 70 % always, plus a sixth of the tinted draws.
    EXPECT_NEAR(white / double(kStarSlots), 0.75, 0.04);

    flight.Speed = 0.0f;
    StepStarAt(0, 78, 0, 104); // 78^2 + 104^2 = 130^2: exactly on the rim stays
    EXPECT_EQ(std::pair(field.Stars[0].X, field.Stars[0].Z), std::pair(78.0f, 104.0f));
    StepStarAt(0, 78, 0, 104.01f);
    EXPECT_NE(field.Stars[0].X, 78.0f);

    // A step moves by TimeScale times Speed; StarCount decides only at rebirth.
    flight.StarCount = 0;
    flight.Speed = 0.5f;
    flight.TimeScale = 2.0f;
    EXPECT_TRUE(StepStarAt(5, 0, 0, 60)); // still shown after the count fell
    EXPECT_FLOAT_EQ(field.Stars[5].Z, 59.0f);
    field.Stars[5].Z = -129.5f;
    EXPECT_FALSE(field.StarStep(5, flight, sight)); // hidden from its next life on
    EXPECT_FALSE(field.StarStep(5, flight, sight));
    EXPECT_EQ(Reborn(0).Active, 1); // slot 0 even at count 0
    flight.StarCount = 2000;
    EXPECT_EQ(Reborn(2000).Active, 1);
}

TEST_F(StarFieldTest, LookingRotatesOnlyWhatIsProjectedAndIsSkippedAtExactlyZero) {
    flight.SinLookH = 1.0f; // stale cache: a quarter turn
    flight.CosLookH = 0.0f;
    EXPECT_EQ(Projected(0, 0, 50), std::tuple(true, 400, 300));

    SetLookAngles(flight, 0.3f, 0.0f); // right: what is ahead moves left
    EXPECT_EQ(Projected(0, 0, 50),
              std::tuple(true, 400 + static_cast<int>(std::lrint(-std::tan(0.3f) * 400)), 300));
    EXPECT_FLOAT_EQ(field.Stars[0].X, 0.0f);

    SetLookAngles(flight, 0.0f, 0.3f); // up: what is ahead moves down
    const auto [shown, sx, sy] = Projected(0, 0, 50);
    EXPECT_TRUE(shown && sx == 400 && sy > 300) << sx << "," << sy;
}

TEST(StarFieldMath, ArcSinCoversItsRangeDownToMinusOne) {
    EXPECT_FLOAT_EQ(ArcSin(-1.0f), -1.5707964f);
    EXPECT_NEAR(ArcSin(-0.99f), std::asin(-0.99f), 1e-5);
}

TEST(StarFieldPlacement, FillsTheBallEvenly) {
    ResetRnd();
    StarField field;
    field.PlaceStarField();
    int inner = 0, ahead = 0, above = 0;
    for (int i = 0; i < kStarSlots; ++i) {
        const StarRecord& s = field.Stars[i];
        inner += std::hypot(s.X, s.Y, s.Z) < 65.0f;
        ahead += s.Z > 0;
        above += s.Y > 0;
    }
    // Evenly through the volume: an eighth within half the radius, half on each side.
    EXPECT_NEAR(inner / double(kStarSlots), 0.125, 0.03);
    EXPECT_NEAR(ahead / double(kStarSlots), 0.5, 0.05);
    EXPECT_NEAR(above / double(kStarSlots), 0.5, 0.05);
}

} // namespace
} // namespace oz
