// The star field: motion, rebirth on the far side of the ball, projection, and the
// rotations of turning, spinning and looking.

#include "sim/StarField.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace oz {
namespace {

float Length(const StarRecord& s) {
    return std::sqrt(s.X * s.X + s.Y * s.Y + s.Z * s.Z);
}

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
        for (StarRecord& s : field.Stars)
            s = StarRecord{};
    }

    // Puts an active white star into slot i and runs its step.
    bool StepStarAt(int i, float x, float y, float z) {
        field.Stars[i] = StarRecord{x, y, z, 1, 0};
        return field.StarStep(i, flight, sight);
    }

    FlightState flight;
    StarField field;
    StarSight sight;
};

TEST_F(StarFieldTest, ProjectsThroughTheHalfWidthAsFocalLengthOnBothAxes) {
    ASSERT_TRUE(StepStarAt(0, 10, 5, 50));
    EXPECT_EQ(sight.sx, 480);
    EXPECT_EQ(sight.sy, 260);
    EXPECT_NEAR(sight.Distance, std::sqrt(2625.0f), 1e-4);
    EXPECT_NEAR(sight.Size, 1.5f * 50.0f / std::sqrt(2625.0f), 1e-5);

    ASSERT_TRUE(StepStarAt(1, -30, 20, 100));
    EXPECT_EQ(sight.sx, 280);
    EXPECT_EQ(sight.sy, 220);
    EXPECT_NEAR(sight.Size * sight.Size, 0.5f, 0.01f); // a pixel at about half its colour

    // A star on the line of flight lands on the centre, also of an odd-sized view.
    flight.ViewWidth = 801;
    flight.ViewHeight = 601;
    ASSERT_TRUE(StepStarAt(2, 0, 0, 77));
    EXPECT_EQ(sight.sx, 400);
    EXPECT_EQ(sight.sy, 300);
}

TEST_F(StarFieldTest, ProjectionRoundsHalvesToEven) {
    flight.ViewWidth = 640;
    flight.ViewHeight = 480;
    flight.HalfWidth = 320;
    flight.HalfHeight = 240;
    ASSERT_TRUE(StepStarAt(0, 0.5f, 1.5f, 64)); // 2.5 -> 2 across, 7.5 -> 8 up
    EXPECT_EQ(sight.sx, 322);
    EXPECT_EQ(sight.sy, 232);
    ASSERT_TRUE(StepStarAt(0, -0.5f, -1.5f, 64));
    EXPECT_EQ(sight.sx, 318);
    EXPECT_EQ(sight.sy, 248);
}

TEST_F(StarFieldTest, OnlyStarsInsideTheViewAndMoreThanOneUnitAheadAreVisible) {
    EXPECT_FALSE(StepStarAt(0, 50, 0, 50)); // sx = 800 = ViewWidth
    EXPECT_TRUE(StepStarAt(0, -50, 0, 50)); // sx = 0
    EXPECT_EQ(sight.sx, 0);
    EXPECT_FALSE(StepStarAt(0, 0, -37.5f, 50)); // sy = 600 = ViewHeight
    EXPECT_TRUE(StepStarAt(0, 0, 37.5f, 50));   // sy = 0
    EXPECT_EQ(sight.sy, 0);

    EXPECT_FALSE(StepStarAt(0, 0, 0, 1.0f)); // within one unit ahead
    EXPECT_TRUE(StepStarAt(0, 0, 0, 1.01f));
    EXPECT_FALSE(StepStarAt(0, 0.1f, 0, -3)); // close behind the viewer
    EXPECT_FALSE(StepStarAt(0, 0, 0, -120));
}

TEST_F(StarFieldTest, InactiveStarsMoveButAreNeverDrawn) {
    flight.Speed = 0.5f;
    flight.TimeScale = 2.0f;
    field.Stars[7] = StarRecord{1, 2, 40, 0, 3};
    EXPECT_FALSE(field.StarStep(7, flight, sight));
    EXPECT_FLOAT_EQ(field.Stars[7].Z, 39.0f);
    EXPECT_FLOAT_EQ(field.Stars[7].X, 1.0f);
}

TEST_F(StarFieldTest, AStarLeavingTheBallIsBornAgainOnItsFarSide) {
    flight.Speed = 1.0f;
    flight.StarCount = 100;
    for (int i = 0; i < kStarSlots; ++i) {
        field.Stars[i] = StarRecord{0, 0, -129.5f, 0, 0}; // moves to -130.5
        field.StarStep(i, flight, sight);
    }
    int active = 0;
    int white = 0;
    for (int i = 0; i < kStarSlots; ++i) {
        const StarRecord& s = field.Stars[i];
        EXPECT_NEAR(Length(s), 130.0f, 0.01f) << "slot " << i;
        EXPECT_GE(s.Z, 0.0f) << "slot " << i;
        EXPECT_LE(s.ColorIndex, 5) << "slot " << i;
        EXPECT_EQ(s.Active, i <= 100 ? 1 : 0) << "slot " << i;
        active += s.Active;
        white += s.ColorIndex == 0;
    }
    EXPECT_EQ(active, 101);
    // Three in four are white: 70 % always, plus a sixth of the tinted draws.
    EXPECT_NEAR(white / double(kStarSlots), 0.75, 0.04);
}

TEST_F(StarFieldTest, AStarExactlyOnTheRimStaysWhereItIs) {
    StepStarAt(0, 78, 0, 104); // 78^2 + 104^2 = 130^2
    EXPECT_FLOAT_EQ(field.Stars[0].X, 78.0f);
    EXPECT_FLOAT_EQ(field.Stars[0].Z, 104.0f);

    StepStarAt(0, 78, 0, 104.01f);
    EXPECT_NE(field.Stars[0].X, 78.0f);
    EXPECT_NEAR(Length(field.Stars[0]), 130.0f, 0.01f);
}

TEST_F(StarFieldTest, RebirthOnTheDiscRimStillGivesAFiniteDepth) {
    // Whatever the draws, X^2 + Y^2 may come out a hair above 130^2 on the rim.
    flight.Speed = 300.0f;
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < kStarSlots; ++i) {
            field.Stars[i].Z = 0;
            field.StarStep(i, flight, sight);
            ASSERT_TRUE(std::isfinite(field.Stars[i].Z));
            ASSERT_GE(field.Stars[i].Z, 0.0f);
        }
    }
}

TEST_F(StarFieldTest, StarCountDecidesOnlyAtRebirth) {
    flight.StarCount = 0;
    flight.Speed = 1.0f;
    field.Stars[5] = StarRecord{0, 0, 60, 1, 0};
    EXPECT_TRUE(field.StarStep(5, flight, sight)); // still shown after the count fell
    EXPECT_EQ(field.Stars[5].Active, 1);

    field.Stars[5].Z = -129.5f;
    field.StarStep(5, flight, sight);
    EXPECT_EQ(field.Stars[5].Active, 0); // hidden at its next life

    field.Stars[0] = StarRecord{0, 0, -129.5f, 0, 0};
    field.StarStep(0, flight, sight);
    EXPECT_EQ(field.Stars[0].Active, 1); // slot 0 is active even at count 0

    flight.StarCount = 2000;
    field.Stars[2000] = StarRecord{0, 0, -129.5f, 0, 0};
    field.StarStep(2000, flight, sight);
    EXPECT_EQ(field.Stars[2000].Active, 1);
}

TEST_F(StarFieldTest, AtSpeedZeroNothingMovesAlongTheLineOfFlightButTurningStillRotates) {
    field.Stars[3] = StarRecord{10, 20, 128.0f, 1, 2};
    for (int frame = 0; frame < 1000; ++frame)
        field.StarStep(3, flight, sight);
    EXPECT_FLOAT_EQ(field.Stars[3].Z, 128.0f); // within the ball by a hair
    EXPECT_FLOAT_EQ(field.Stars[3].X, 10.0f);
    EXPECT_EQ(field.Stars[3].ColorIndex, 2);

    field.TurnStarField(0.1f, 0.0f);
    EXPECT_NE(field.Stars[3].X, 10.0f);
}

TEST_F(StarFieldTest, LookRotationIsSkippedWhileBothAnglesAreExactlyZero) {
    flight.SinLookH = 1.0f; // stale cache: a quarter turn
    flight.CosLookH = 0.0f;
    ASSERT_TRUE(StepStarAt(0, 0, 0, 50));
    EXPECT_EQ(sight.sx, 400);

    // Looking right moves what is ahead to the left, without moving the star itself.
    SetLookAngles(flight, 0.3f, 0.0f);
    ASSERT_TRUE(StepStarAt(0, 0, 0, 50));
    EXPECT_EQ(sight.sx, 400 + static_cast<int>(std::lrint(-std::tan(0.3f) * 400)));
    EXPECT_EQ(sight.sy, 300);
    EXPECT_FLOAT_EQ(field.Stars[0].X, 0.0f);

    // Looking up moves what is ahead down.
    SetLookAngles(flight, 0.0f, 0.3f);
    ASSERT_TRUE(StepStarAt(0, 0, 0, 50));
    EXPECT_GT(sight.sy, 300);
    EXPECT_EQ(sight.sx, 400);
}

TEST_F(StarFieldTest, SetLookAnglesCachesSinesAndCosinesWithoutWrapping) {
    SetLookAngles(flight, -5.7831855f, 0.5f);
    EXPECT_FLOAT_EQ(flight.LookAngleH, -5.7831855f);
    EXPECT_FLOAT_EQ(flight.SinLookH, std::sin(-5.7831855f));
    EXPECT_FLOAT_EQ(flight.CosLookH, std::cos(-5.7831855f));
    EXPECT_FLOAT_EQ(flight.SinLookV, std::sin(0.5f));
    EXPECT_FLOAT_EQ(flight.CosLookV, std::cos(0.5f));
}

TEST(StarFieldMath, TurnPointRotatesFromTheOldValues) {
    float x = 1, y = 1;
    TurnPoint(x, y, 1.0f, 0.0f); // a quarter turn counter-clockwise
    EXPECT_FLOAT_EQ(x, -1.0f);
    EXPECT_FLOAT_EQ(y, 1.0f);
}

TEST(StarFieldMath, ArcSinCoversItsRangeDownToMinusOne) {
    EXPECT_FLOAT_EQ(ArcSin(-1.0f), -1.5707964f);
    EXPECT_FLOAT_EQ(ArcSin(0.0f), 0.0f);
    EXPECT_NEAR(ArcSin(0.5f), 0.5235988f, 1e-6);
    EXPECT_NEAR(ArcSin(-0.99f), std::asin(-0.99f), 1e-5);
}

TEST_F(StarFieldTest, TurningAndSpinningRotateEveryStarTheWayTheViewerSteers) {
    field.Stars[0] = StarRecord{0, 0, 100, 1, 0};
    field.Stars[1] = StarRecord{0, 0, 100, 0, 0}; // inactive stars turn too
    field.TurnStarField(0.1f, 0.0f);              // to the right: what is ahead drifts left
    EXPECT_LT(field.Stars[0].X, 0.0f);
    EXPECT_FLOAT_EQ(field.Stars[1].X, field.Stars[0].X);
    EXPECT_NEAR(Length(field.Stars[0]), 100.0f, 1e-3);

    field.Stars[0] = StarRecord{0, 0, 100, 1, 0};
    field.TurnStarField(0.0f, 0.1f); // upwards: what is ahead drifts down
    EXPECT_LT(field.Stars[0].Y, 0.0f);
    EXPECT_FLOAT_EQ(field.Stars[0].X, 0.0f);

    field.Stars[0] = StarRecord{10, 0, 50, 1, 0};
    field.SpinStarField(0.2f); // counter-clockwise on the screen
    EXPECT_GT(field.Stars[0].Y, 0.0f);
    EXPECT_FLOAT_EQ(field.Stars[0].Z, 50.0f);
}

TEST(StarFieldPlacement, FillsTheBallEvenlyAndTheSameWayAtEveryStart) {
    ResetRnd();
    StarField first;
    first.PlaceStarField();
    ResetRnd();
    StarField second;
    second.PlaceStarField();

    int inner = 0, ahead = 0, above = 0;
    for (int i = 0; i < kStarSlots; ++i) {
        const StarRecord& s = first.Stars[i];
        EXPECT_EQ(s.Active, 0);
        EXPECT_EQ(s.ColorIndex, 0);
        EXPECT_LE(Length(s), 130.001f);
        EXPECT_EQ(s.X, second.Stars[i].X);
        EXPECT_EQ(s.Z, second.Stars[i].Z);
        inner += Length(s) < 65.0f;
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
