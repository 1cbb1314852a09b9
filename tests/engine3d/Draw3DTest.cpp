#include "engine3d/Draw3D.h"
#include "engine3d/Object3D.h"
#include "platform/Form.h"
#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using oz::Camera;
using oz::Draw3D;
using oz::Object3D;
using oz::Point3D;

struct Piece {
    float x1, y1, x2, y2;
};

constexpr float kTolerance = 1e-3f;
constexpr oz::COLORREF kBack = oz::RGB(0, 0, 0);
constexpr oz::COLORREF kFore = oz::RGB(255, 255, 255);

void ExpectPiece(const Piece& piece, float x1, float y1, float x2, float y2) {
    EXPECT_NEAR(piece.x1, x1, kTolerance);
    EXPECT_NEAR(piece.y1, y1, kTolerance);
    EXPECT_NEAR(piece.x2, x2, kTolerance);
    EXPECT_NEAR(piece.y2, y2, kTolerance);
}

// A camera at the origin looking along +X, a cone of 45 degrees each way (ViewField 1)
// and a 100 x 100 surface, whose half diagonal is sqrt(5000): a point on the rim of the
// cone lands 70.7107 units from the centre.
constexpr float kRim = 70.71068f;

class Draw3DTest : public ::testing::Test {
protected:
    oz::PictureBox& MakeSurface(int width, int height) {
        oz::PictureBox& surface = form_.AddPicture("pic" + std::to_string(surfaces_++));
        surface.Move(0, 0, width * oz::kTwipsPerPixel, height * oz::kTwipsPerPixel);
        surface.SetBackColor(kBack);
        surface.SetForeColor(kFore);
        return surface;
    }

    // A renderer on a fresh 100 x 100 surface, its pieces caught in `pieces_`.
    Draw3D& WatchedRenderer(float viewField = 1) {
        renderer_.SetDisplayObject(&MakeSurface(100, 100));
        renderer_.SetViewField(viewField);
        renderer_.LineSink = [this](float x1, float y1, float x2, float y2) {
            pieces_.push_back({x1, y1, x2, y2});
        };
        return renderer_;
    }

    std::vector<Piece> DrawSegment(Point3D a, Point3D b, const Camera& camera = {}) {
        Object3D segment;
        segment.AddPoint(a.X, a.Y, a.Z);
        segment.AddPoint(b.X, b.Y, b.Z);
        segment.AddLine(1, 2);
        Draw3D& renderer = WatchedRenderer();
        renderer.AddObject(segment);
        pieces_.clear();
        renderer.Draw(camera);
        renderer.RemoveObject(1);
        return pieces_;
    }

    oz::Form form_{"test"};
    int surfaces_ = 0;
    Draw3D renderer_;
    std::vector<Piece> pieces_;
};

TEST_F(Draw3DTest, DisplayObjectPutsTheOriginAtTheCentreWithXLeftAndYUp) {
    oz::PictureBox& surface = MakeSurface(73, 73);
    Draw3D renderer;
    renderer.SetDisplayObject(&surface);
    EXPECT_EQ(renderer.DisplayObject(), &surface);
    EXPECT_FLOAT_EQ(surface.ScaleLeft(), 36);
    EXPECT_FLOAT_EQ(surface.ScaleTop(), 36);
    EXPECT_FLOAT_EQ(surface.ScaleWidth(), -73);
    EXPECT_FLOAT_EQ(surface.ScaleHeight(), -73);
    float x = 0, y = 0;
    surface.PixelToUser(0, 0, x, y);
    EXPECT_FLOAT_EQ(x, 36);
    EXPECT_FLOAT_EQ(y, 36);
    surface.PixelToUser(72, 72, x, y);
    EXPECT_FLOAT_EQ(x, -36);
    EXPECT_FLOAT_EQ(y, -36);

    oz::PictureBox& wide = MakeSurface(101, 51);
    renderer.SetDisplayObject(&wide);
    EXPECT_FLOAT_EQ(wide.ScaleLeft(), 50);
    EXPECT_FLOAT_EQ(wide.ScaleTop(), 25);
    EXPECT_FLOAT_EQ(wide.ScaleWidth(), -101);
    EXPECT_FLOAT_EQ(wide.ScaleHeight(), -51);
}

TEST_F(Draw3DTest, PointOnTheRimLandsOnTheCircleThroughTheCorners) {
    // On 73 x 73 the half diagonal is 73 / sqrt(2) = 51.6188.
    renderer_.SetDisplayObject(&MakeSurface(73, 73));
    renderer_.SetViewField(1);
    EXPECT_FLOAT_EQ(renderer_.ViewField(), 1);
    renderer_.LineSink = [this](float x1, float y1, float x2, float y2) {
        pieces_.push_back({x1, y1, x2, y2});
    };
    Object3D rim; // 6^2 + 8^2 = 10^2: exactly on the rim, which counts as inside
    rim.AddPoint(10, 6, 8);
    rim.AddLine(1, 1);
    renderer_.AddObject(rim);
    renderer_.Draw(Camera{});
    ASSERT_EQ(pieces_.size(), 1u);
    EXPECT_NEAR(std::hypot(pieces_[0].x1, pieces_[0].y1), 51.6188f, 1e-4f);
    EXPECT_NEAR(pieces_[0].x1, 0.6f * 51.6188f, 1e-4f);
    EXPECT_NEAR(pieces_[0].y1, 0.8f * 51.6188f, 1e-4f);
}

TEST_F(Draw3DTest, ProjectsThroughTheCameraInPerspective) {
    auto pieces = DrawSegment({10, 2, 1}, {10, 2, 1});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], 14.142f, 7.071f, 14.142f, 7.071f);

    // Turned a quarter left the camera looks along +Y: a point to its right lands right.
    Camera turned;
    turned.X = 5;
    turned.Y = -3;
    turned.Z = 2;
    turned.AnH = 1.5707964f;
    pieces = DrawSegment({6, 7, 2}, {6, 7, 2}, turned);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], -7.0711f, 0, -7.0711f, 0);

    // Looking straight up, a point ahead along +X lies below the line of sight.
    Camera up;
    up.AnV = 1.5707964f;
    pieces = DrawSegment({1, 0, 10}, {1, 0, 10}, up);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], 0, -7.0711f, 0, -7.0711f);

    // A wider cone draws the same point nearer the centre.
    Object3D point;
    point.AddPoint(10, 15, 0);
    point.AddLine(1, 1);
    Draw3D& wide = WatchedRenderer(2);
    wide.AddObject(point);
    pieces_.clear();
    wide.Draw(Camera{});
    ASSERT_EQ(pieces_.size(), 1u);
    EXPECT_NEAR(pieces_[0].x1, 1.5f / 2 * kRim, kTolerance);
}

TEST_F(Draw3DTest, DrawsOnTheSurfaceLeftAndUpForPositiveCoordinates) {
    oz::PictureBox& surface = MakeSurface(100, 100);
    surface.SetDrawWidth(3);
    Object3D segment;
    segment.AddPoint(10, 0, 0);
    segment.AddPoint(10, 2, 1); // user (14.142, 7.071): pixel (36, 43)
    segment.AddLine(1, 2);
    Draw3D renderer;
    renderer.SetDisplayObject(&surface);
    renderer.SetViewField(1);
    renderer.AddObject(segment);
    renderer.Draw(Camera{});
    const oz::Bitmap& image = surface.Image();
    EXPECT_EQ(image.Get(50, 50), oz::PixelFromColor(kFore));
    EXPECT_EQ(image.Get(36, 43), oz::PixelFromColor(kFore));
    EXPECT_EQ(image.Get(64, 57), oz::PixelFromColor(kBack));
    EXPECT_EQ(image.Get(36, 57), oz::PixelFromColor(kBack));
}

TEST_F(Draw3DTest, PointsBehindOrBesideTheCameraAreNotVisible) {
    // Behind the camera, though inside the cone's mirror image.
    EXPECT_TRUE(DrawSegment({-10, 0, 0}, {-10, 0, 0}).empty());
    EXPECT_TRUE(DrawSegment({-10, 0, 0}, {-10, 1, 1}).empty());
    // Just outside the rim.
    EXPECT_TRUE(DrawSegment({10, 6, 8.01f}, {10, 6, 8.01f}).empty());
}

TEST_F(Draw3DTest, LineLeavingTheConeIsDrawnUpToTheRim) {
    // Runs on sideways past the rim: the far root is the crossing.
    auto pieces = DrawSegment({10, 0, 0}, {10, 20, 0});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], 0, 0, kRim, 0);

    // Runs back past the camera: the near root, at (2, 0, 2), is the crossing.
    pieces = DrawSegment({10, 0, 0}, {-10, 0, 5});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], 0, 0, 0, kRim);
}

TEST_F(Draw3DTest, LineEnteringTheConeIsDrawnFromTheRim) {
    auto pieces = DrawSegment({10, 20, 0}, {10, 0, 0});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], kRim, 0, 0, 0);

    // Comes from behind the camera, entering at (2, 0, 2).
    pieces = DrawSegment({-10, 0, 5}, {10, 0, 0});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], 0, kRim, 0, 0);
}

TEST_F(Draw3DTest, LineWithBothEndsOutsideIsDrawnBetweenItsCrossingsOrNotAtAll) {
    auto pieces = DrawSegment({10, 20, 0}, {10, -20, 0});
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], kRim, 0, -kRim, 0);

    // Misses the cone (negative discriminant).
    EXPECT_TRUE(DrawSegment({10, 20, 0}, {10, 20, 5}).empty());
    // Would cross it only beyond its end.
    EXPECT_TRUE(DrawSegment({10, 20, 0}, {10, 10.5f, 0}).empty());
    // Both ends behind the camera.
    EXPECT_TRUE(DrawSegment({-5, 0, 0}, {-5, 1, 0}).empty());
    // One end in front, but it passes through the cone's mirror image behind the camera.
    EXPECT_TRUE(DrawSegment({1, 5, 0}, {-10, -30, 0}).empty());
}

TEST_F(Draw3DTest, LineParallelToTheConesSurfaceDrawsNothing) {
    // Direction (1, 1, 0) runs along the cone: qa is 0 and there is no finite crossing.
    EXPECT_TRUE(DrawSegment({10, 5, 0}, {1, -4, 0}).empty());
    EXPECT_TRUE(DrawSegment({1, -4, 0}, {10, 5, 0}).empty());
    // The same on a real surface leaves every pixel as it was.
    oz::PictureBox& surface = MakeSurface(100, 100);
    Object3D segment;
    segment.AddPoint(10, 5, 0);
    segment.AddPoint(1, -4, 0);
    segment.AddLine(1, 2);
    segment.AddLine(2, 1);
    Draw3D renderer;
    renderer.SetDisplayObject(&surface);
    renderer.SetViewField(1);
    renderer.AddObject(segment);
    const oz::Bitmap before = surface.Image();
    renderer.Draw(Camera{});
    const oz::Bitmap& after = surface.Image();
    EXPECT_TRUE(std::equal(before.Data(), before.Data() + 100 * 100, after.Data()));
}

TEST_F(Draw3DTest, LineThroughTheCameraDrawsNothing) {
    // Seen end-on from the camera it has no length; its crossing is the camera itself.
    EXPECT_TRUE(DrawSegment({10, 0, 0}, {-10, 0, 0}).empty());
    EXPECT_TRUE(DrawSegment({-10, 0, 0}, {10, 0, 0}).empty());
    // Float error puts the discriminant of this one just below zero.
    EXPECT_TRUE(DrawSegment({16.2081108f, 4.91394043f, -12.4568958f},
                            {-32.442688f, -9.83024597f, 24.933733f})
                    .empty());
}

TEST_F(Draw3DTest, LineLeavingTheConeIsCutAtTheRimOnTheSurface) {
    oz::PictureBox& surface = MakeSurface(100, 100);
    Object3D segment;
    segment.AddPoint(10, 0, 0);
    segment.AddPoint(10, 20, 0);
    segment.AddLine(1, 2);
    Draw3D renderer;
    renderer.SetDisplayObject(&surface);
    renderer.SetViewField(1);
    renderer.AddObject(segment);
    renderer.Draw(Camera{});
    const oz::Bitmap& image = surface.Image();
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(image.Get(x, 50), oz::PixelFromColor(kFore)) << "x " << x;
    for (int x = 52; x < 100; ++x)
        EXPECT_EQ(image.Get(x, 50), oz::PixelFromColor(kBack)) << "x " << x;
    EXPECT_EQ(image.Get(25, 40), oz::PixelFromColor(kBack));
}

TEST_F(Draw3DTest, LinesNamingMissingPointsAreSkipped) {
    Object3D object;
    object.AddPoint(10, 0, 0);
    object.AddPoint(10, 1, 0);
    object.AddLine(1, 3);
    object.AddLine(0, 2);
    object.AddLine(2, -1);
    object.AddLine(1, 2);
    Draw3D& renderer = WatchedRenderer();
    renderer.AddObject(object);
    renderer.Draw(Camera{});
    ASSERT_EQ(pieces_.size(), 1u);
    ExpectPiece(pieces_[0], 0, 0, 0.1f * kRim, 0);

    // After a removal the old numbers name a point past the end.
    object.RemovePoint(1);
    pieces_.clear();
    renderer.Draw(Camera{});
    EXPECT_TRUE(pieces_.empty());
}

TEST_F(Draw3DTest, DrawListKeepsItsOrderAndItsRepeats) {
    Object3D left, right;
    left.AddPoint(10, 1, 0);
    left.AddLine(1, 1);
    right.AddPoint(10, -1, 0);
    right.AddLine(1, 1);
    Draw3D& renderer = WatchedRenderer();

    renderer.Draw(Camera{});
    EXPECT_TRUE(pieces_.empty());

    renderer.AddObject(left);
    renderer.AddObject(right);
    renderer.AddObject(left);
    renderer.Draw(Camera{});
    ASSERT_EQ(pieces_.size(), 3u);
    EXPECT_GT(pieces_[0].x1, 0);
    EXPECT_LT(pieces_[1].x1, 0);
    EXPECT_GT(pieces_[2].x1, 0);

    renderer.RemoveObject(1);
    pieces_.clear();
    renderer.Draw(Camera{});
    ASSERT_EQ(pieces_.size(), 2u);
    EXPECT_LT(pieces_[0].x1, 0);
    EXPECT_GT(pieces_[1].x1, 0);

    EXPECT_THROW(renderer.RemoveObject(0), std::out_of_range);
    EXPECT_THROW(renderer.RemoveObject(3), std::out_of_range);
    EXPECT_THROW(renderer.RemoveObject(-1), std::out_of_range);
    pieces_.clear();
    renderer.Draw(Camera{});
    EXPECT_EQ(pieces_.size(), 2u);
}

TEST_F(Draw3DTest, EmptyDrawListLeavesTheSurfaceAlone) {
    oz::PictureBox& surface = MakeSurface(73, 73);
    Draw3D renderer;
    renderer.SetDisplayObject(&surface);
    renderer.SetViewField(0.52f);
    const oz::Bitmap before = surface.Image();
    renderer.Draw(Camera{});
    EXPECT_TRUE(std::equal(before.Data(), before.Data() + 73 * 73, surface.Image().Data()));
}

} // namespace
