// The wireframe renderer: the surface's scale, the perspective projection, and lines
// clipped exactly against the circular view cone.

#include "engine3d/Draw3D.h"
#include "engine3d/Object3D.h"
#include "platform/forms/Form.h"
#include "platform/forms/Forms.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using oz::Camera;
using oz::Draw3D;
using oz::Object3D;
using oz::Point3D;

using Piece = std::array<float, 4>; // x1, y1, x2, y2 on the surface

constexpr float kTolerance = 1e-3f;
constexpr oz::COLORREF kBack = oz::RGB(0, 0, 0);
constexpr oz::COLORREF kFore = oz::RGB(255, 255, 255);
constexpr float kHalfPi = 1.5707964f;

// A camera at the origin looking along +X, a cone of 45 degrees each way (ViewField 1)
// and a 100 x 100 surface, whose half diagonal is sqrt(5000): a point on the rim of the
// cone lands 70.7107 units from the centre.
constexpr float kRim = 70.71068f;

void ExpectPieces(const std::vector<Piece>& pieces, const std::vector<Piece>& expected) {
    ASSERT_EQ(pieces.size(), expected.size());
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(pieces[i][k], expected[i][k], kTolerance) << "piece " << i << ", " << k;
}

// `object` emptied and made of `points`, numbered from 1, joined by `lines`.
Object3D& Shape(Object3D& object, const std::vector<Point3D>& points,
                const std::vector<std::pair<int, int>>& lines = {{1, 2}}) {
    object.Init();
    for (const Point3D& p : points)
        object.AddPoint(p.X, p.Y, p.Z);
    for (auto [from, to] : lines)
        object.AddLine(from, to);
    return object;
}

class Draw3DTest : public ::testing::Test {
protected:
    Draw3DTest() {
        surface_.SetBackColor(kBack);
        surface_.SetForeColor(kFore);
        surface_.SetDrawWidth(3);
    }
    // Draws `object` on the surface made size x size, catching the pieces in `pieces_`
    // unless `onSurface`.
    void Draw(const Object3D& object, const Camera& camera = {}, float viewField = 1,
              int size = 100, bool onSurface = false) {
        Draw3D renderer;
        renderer.SetDisplayObject(&Resize(size));
        renderer.SetViewField(viewField);
        if (!onSurface)
            renderer.LineSink = [this](float x1, float y1, float x2, float y2) {
                pieces_.push_back({x1, y1, x2, y2});
            };
        renderer.AddObject(object);
        pieces_.clear();
        renderer.Draw(camera);
    }
    oz::PictureBox& Resize(int size) {
        surface_.Move(0, 0, size * oz::kTwipsPerPixel, size * oz::kTwipsPerPixel);
        return surface_;
    }
    bool Lit(int x, int y) const { return surface_.Image().Get(x, y) == oz::PixelFromColor(kFore); }

    oz::Form form_{"test"};
    oz::PictureBox& surface_ = form_.AddPicture("pic");
    Object3D object_;
    std::vector<Piece> pieces_;
};

// A point on the rim of the cone counts as inside and lands on the circle through the
// surface's corners: on 73 x 73, 73 / sqrt(2) = 51.6188 from the centre.
TEST_F(Draw3DTest, ProjectsThroughTheCameraInPerspective) {
    const std::tuple<Camera, float, int, Point3D, float, float> cases[] = {
        {{}, 1, 100, {10, 2, 1}, 14.142f, 7.071f},
        {{5, -3, 2, 0, kHalfPi}, 1, 100, {6, 7, 2}, -7.0711f, 0},  // along +Y: right is right
        {{0, 0, 0, kHalfPi, 0}, 1, 100, {1, 0, 10}, 0, -7.0711f},  // straight up: +X is below
        {{}, 2, 100, {10, 15, 0}, 1.5f / 2 * kRim, 0},             // a wider cone draws nearer
        {{}, 1, 73, {10, 6, 8}, 0.6f * 51.6188f, 0.8f * 51.6188f}, // 6^2 + 8^2 = 10^2
    };
    for (auto [camera, viewField, size, point, x, y] : cases) {
        Draw(Shape(object_, {point, point}), camera, viewField, size);
        ExpectPieces(pieces_, {{x, y, x, y}});
    }
}

TEST_F(Draw3DTest, LinesAreClippedExactlyAgainstTheCone) {
    const std::tuple<Point3D, Point3D, std::vector<Piece>> cases[] = {
        {{10, 0, 0}, {10, 20, 0}, {{0, 0, kRim, 0}}},       // leaving sideways
        {{10, 0, 0}, {-10, 0, 5}, {{0, 0, 0, kRim}}},       // leaving back past the camera
        {{10, 20, 0}, {10, 0, 0}, {{kRim, 0, 0, 0}}},       // entering
        {{-10, 0, 5}, {10, 0, 0}, {{0, kRim, 0, 0}}},       // entering from behind
        {{10, 20, 0}, {10, -20, 0}, {{kRim, 0, -kRim, 0}}}, // crossing
        {{10, 20, 0}, {10, -10, 0}, {{kRim, 0, -kRim, 0}}}, // entering up to the rim
        {{10, 6, 8.01f}, {10, 6, 8.01f}, {}},               // just outside the rim
        {{10, 20, 0}, {10, 20, 5}, {}},                     // missing
        {{10, 20, 0}, {10, 10.5f, 0}, {}},                  // would cross beyond its end
        {{-10, 0, 0}, {-10, 1, 1}, {}},                     // behind, in the mirror cone
        {{1, 5, 0}, {-10, -30, 0}, {}},                     // through the mirror cone
        {{10, 5, 0}, {1, -4, 0}, {}},                       // along the cone: qa = 0
        {{1, -4, 0}, {10, 5, 0}, {}},
        {{10, 0, 0}, {-10, 0, 0}, {}}, // through the camera: no length on the surface
        {{-10, 0, 0}, {10, 0, 0}, {}},
        {{16.2081108f, 4.91394043f, -12.4568958f}, // float error: discriminant just below 0
         {-32.442688f, -9.83024597f, 24.933733f},
         {}},
    };
    for (auto [a, b, expected] : cases) {
        SCOPED_TRACE(testing::Message() << a.X << "," << a.Y << "," << a.Z);
        Draw(Shape(object_, {a, b}));
        ExpectPieces(pieces_, expected);
    }
}

TEST_F(Draw3DTest, DrawsOnTheSurfaceInItsForeColourLeftAndUpForPositiveCoordinates) {
    // To (10, 2, 1), pixel (36, 43), and to (10, 20, 0), beyond the rim on the left.
    Draw(Shape(object_, {{10, 0, 0}, {10, 2, 1}, {10, 20, 0}}, {{1, 2}, {1, 3}}), {}, 1, 100, true);
    EXPECT_EQ(std::tuple(Lit(36, 43), Lit(64, 57), Lit(36, 57)), std::tuple(true, false, false));
    for (int x = 0; x < 100; ++x) // the rim's piece, wide with the pen, ends at the centre
        EXPECT_TRUE(x == 51 || Lit(x, 50) == (x <= 50)) << x;
}

TEST_F(Draw3DTest, LinesNamingMissingPointsAreSkipped) {
    Object3D& object = Shape(object_, {{10, 0, 0}, {10, 1, 0}}, {{1, 3}, {0, 2}, {2, -1}, {1, 2}});
    Draw(object);
    ExpectPieces(pieces_, {{0, 0, 0.1f * kRim, 0}});
    object.RemovePoint(1); // the old numbers now name a point past the end
    Draw(object);
    EXPECT_TRUE(pieces_.empty());
}

TEST_F(Draw3DTest, DrawListKeepsItsOrderAndItsRepeatsAndRejectsBadPlaces) {
    Object3D left, right;
    Shape(left, {{10, 1, 0}}, {{1, 1}});
    Shape(right, {{10, -1, 0}}, {{1, 1}});
    Draw3D renderer;
    std::vector<float> xs;
    renderer.LineSink = [&xs](float x1, float, float, float) { xs.push_back(x1); };
    for (const Object3D* object : {&left, &right, &left})
        renderer.AddObject(*object);
    renderer.RemoveObject(1);
    EXPECT_THROW(renderer.RemoveObject(0), std::out_of_range);
    EXPECT_THROW(renderer.RemoveObject(3), std::out_of_range);
    renderer.SetDisplayObject(&Resize(100));
    renderer.SetViewField(1);
    renderer.Draw(Camera{});
    EXPECT_TRUE(xs.size() == 2 && xs[0] < 0 && xs[1] > 0); // right, then left
}

} // namespace
