// The direction arrow: the heading held by its orbiting camera, the arrow drawn over the
// base disc, and the mouse driving it through real window events.

#include "widgets/Arrow3D.h"

#include "engine3d/GlobalDataAndFunctions3D.h"
#include "engine3d/Object3D.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr COLORREF kSeenFromBelow = RGB(190, 139, 130);
constexpr COLORREF kSeenFromAbove = RGB(128, 149, 179);
constexpr float kSlope = 0.4f;
constexpr float kSteepest = 1.570796f;
constexpr float kFullTurn = 6.2831855f;
constexpr int kMid = 36; // the centre pixel of a 73 x 73 surface

using Heading = std::pair<float, float>;

int SlotsInUse() {
    return static_cast<int>(
        std::count_if(Data.begin(), Data.end(), [](const ObjectData& slot) { return slot.InUse; }));
}

// The camera on its orbit of radius 4 round (-0.08, 0, 0), looking through the centre.
void ExpectCameraOnOrbit(const Camera& camera) {
    const double anH = camera.AnH, anV = camera.AnV;
    EXPECT_NEAR(camera.X, -std::cos(anV) * std::cos(anH) * 4.0 - 0.08, 1e-5);
    EXPECT_NEAR(camera.Y, -std::cos(anV) * std::sin(anH) * 4.0, 1e-5);
    EXPECT_NEAR(camera.Z, -std::sin(anV) * 4.0, 1e-5);
}

class Arrow3DTest : public test::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        picArr.SetDrawWidth(3);
        Bind(arrow, picArr);
    }
    void Bind(Arrow3D& widget, PictureBox& pic) {
        widget.AngleChanged.Connect([this](float h, float v) { raised.emplace_back(h, v); });
        widget.Slope = kSlope;
        widget.Sens = 1.0f;
        widget.SetPictureObject(&pic);
    }
    // A press at the centre of `pic` and a left-button move by (dx, dy) pixels.
    void LeftDrag(PictureBox& pic, int dx, int dy) {
        Press(pic, kMid, kMid);
        Drag(pic, kMid + dx, kMid + dy);
        Release(pic, kMid + dx, kMid + dy);
    }

    PictureBox& picArr = Surface("picArr", 717, 517, 73, 73); // where the main window has it
    PictureBox& picOther = Surface("picOther", 600, 517, 73, 73);
    std::vector<Heading> raised;
    Arrow3D arrow;
};

// The set-up view is drawn over the disc without clearing what lies outside it; headings
// shown are neither clamped nor reported.
TEST_F(Arrow3DTest, SetUpViewIsDrawnOverTheDiscAndShownHeadingsAreNeitherClampedNorReported) {
    picArr.Image().Fill(0x010203);
    arrow.Redraw();
    const Pixel fore = PixelFromColor(kSeenFromAbove);
    EXPECT_EQ(picArr.Image().Get(0, 0), 0x010203u); // outside the disc's mask
    EXPECT_EQ(picArr.Image().Get(kMid, 28), fore);  // the tip, 8.4 above the centre
    for (int y = 0; y < 73; ++y)
        for (int x = 0; x < 73; ++x) {
            const Pixel p = picArr.Image().Get(x, y);
            EXPECT_TRUE(std::hypot(x - kMid, y - kMid) > 30 || p == fore || p == SheetAt(x, y))
                << x << "," << y;
        }
    const Camera& camera = arrow.ViewCamera();
    EXPECT_TRUE(camera.AnH == 0 && camera.AnV == -kSlope && picArr.ForeColor() == kSeenFromAbove);
    ExpectCameraOnOrbit(camera);

    for (auto [h, v, colour] : {std::tuple{0.0f, 0.4f, kSeenFromBelow},
                                {0.0f, 0.3f, kSeenFromAbove},
                                {7.5f, 2.5f, kSeenFromBelow}}) {
        arrow.SetAngles(h, v);
        EXPECT_TRUE(camera.AnH == -h && camera.AnV == v - kSlope && picArr.ForeColor() == colour)
            << v;
        ExpectCameraOnOrbit(camera);
    }
    EXPECT_TRUE(raised.empty());
}

// The outline joins the seven corners in order and closes at the tip.
TEST_F(Arrow3DTest, OutlineJoinsTheCornersInOrder) {
    int outlines = 0;
    for (const ObjectData& slot : Data) {
        std::string lines;
        for (const Line3D& l : slot.Lines)
            lines += std::to_string(l.Point1) + "-" + std::to_string(l.Point2) + " ";
        outlines += slot.InUse && slot.PointCount == 7;
        EXPECT_TRUE(!slot.InUse || slot.PointCount != 7 || lines == "1-2 2-3 3-4 4-5 5-6 6-7 7-1 ")
            << lines;
    }
    EXPECT_EQ(outlines, 2); // the model and the copy drawn
}

// The heading reported is the arrow's own, wrapped into (-pi, pi]: the same direction,
// also after a drag far beyond the window.
TEST_F(Arrow3DTest, LeftDragTurnsAndTiltsWrappingIntoOneTurnAndClampingShortOfVertical) {
    const std::tuple<float, int, int, float, float, float, COLORREF> cases[] = {
        {0, 10, 0, 5.7831855f, 0.5f, 0, kSeenFromAbove}, // right: the tip turns left
        {-6.2f, -10, 0, 6.7f - kFullTurn, kFullTurn - 6.7f, 0, kSeenFromAbove},
        {0, 0, -40, 0, 0, kSteepest, kSeenFromBelow}, // up: the tip tilts down
        {0, 0, 80, 0, 0, -kSteepest, kSeenFromAbove},
        {0, 2000, 0, 0.53096771f, -0.53096771f, 0, kSeenFromAbove}, // 100 radians
    };
    for (auto [startH, dx, dy, anH, reportedH, raisedV, colour] : cases) {
        arrow.SetAngles(startH, 0);
        raised.clear();
        LeftDrag(picArr, dx, dy);
        EXPECT_EQ(
            std::tuple(arrow.ViewCamera().AnH, arrow.ViewCamera().AnV, picArr.ForeColor(), raised),
            std::tuple(anH, raisedV - kSlope, colour, std::vector{Heading{reportedH, raisedV}}))
            << dx << "," << dy;
    }
}

// A press of any button is where the next drag step starts, but only a move with the
// left button alone is a step. A double click returns to the set-up view and reports
// heading zero.
TEST_F(Arrow3DTest, OnlyLeftDragsTurnTheArrowAndADoubleClickTurnsItBack) {
    const Camera setUp = arrow.ViewCamera();
    const std::vector<Pixel> setUpView = Pixels(picArr);
    auto atSetUp = [&] {
        return arrow.ViewCamera().AnH == setUp.AnH && arrow.ViewCamera().AnV == setUp.AnV;
    };
    Press(picArr, kMid, kMid);
    Press(picArr, kMid - 6, kMid, vbRightButton);
    Drag(picArr, kMid + 10, kMid - 10, vbRightButton);
    Drag(picArr, kMid + 10, kMid - 10, vbLeftButton | vbRightButton);
    EXPECT_TRUE(atSetUp() && raised.empty());

    Release(picArr, kMid - 6, kMid, vbRightButton);
    arrow.Sens = 2.0f; // read at each step
    Drag(picArr, kMid - 1, kMid);
    EXPECT_EQ(raised, (std::vector<Heading>{{0.5f, 0.0f}})); // 5 pixels, not -1
    DoubleClick(picArr, kMid, kMid);
    EXPECT_EQ(raised, (std::vector<Heading>{{0.5f, 0.0f}, {0.0f, 0.0f}}));
    EXPECT_TRUE(atSetUp() && Pixels(picArr) == setUpView);
}

// Binding again, or the arrow's end, cuts the surface bound before.
TEST_F(Arrow3DTest, BindingAgainStartsOverOnTheSameSlotsAndOnlyTheLastSurfaceDrives) {
    // Every free slot taken, so that any slot claimed beyond the arrow's two shows.
    std::vector<std::unique_ptr<Object3D>> others;
    while (SlotsInUse() < DataCount)
        others.push_back(std::make_unique<Object3D>());
    const int inUse = SlotsInUse();
    arrow.SetAngles(1.0f, 0.2f);
    arrow.SetPictureObject(&picOther);
    arrow.SetPictureObject(&picOther);
    EXPECT_TRUE(SlotsInUse() == inUse && DataCount == inUse);
    EXPECT_TRUE(arrow.ViewCamera().AnH == 0 && arrow.ViewCamera().AnV == -kSlope);
    {
        Arrow3D gone;
        Bind(gone, picArr);
        EXPECT_EQ(SlotsInUse(), inUse + 2);
    }
    EXPECT_EQ(SlotsInUse(), inUse);

    LeftDrag(picArr, 10, 0);
    DoubleClick(picArr, kMid, kMid);
    EXPECT_TRUE(raised.empty());
    LeftDrag(picOther, 10, 0); // once, not once per binding
    EXPECT_EQ(raised, (std::vector<Heading>{{0.5f, 0.0f}}));
}

} // namespace
} // namespace oz
