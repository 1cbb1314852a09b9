// The direction arrow: the heading held by its orbiting camera, the way the arrow is
// drawn over the base disc, and the mouse driving it through real window events.

#include "widgets/Arrow3D.h"

#include "engine3d/GlobalDataAndFunctions3D.h"
#include "engine3d/Object3D.h"
#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr COLORREF kSeenFromBelow = RGB(190, 139, 130);
constexpr COLORREF kSeenFromAbove = RGB(128, 149, 179);
constexpr float kSlope = 0.4f;
constexpr float kSteepest = 1.570796f;
constexpr float kFullTurn = 6.2831855f;

// picArr where the main window puts it (717, 517 in window pixels), and a second
// surface of the same size beside it. The window sits at the screen's corner, so window
// pixels are screen pixels; the centre pixel of a 73 x 73 surface is (36, 36).
constexpr int kArrLeft = 717, kArrTop = 517;
constexpr int kOtherLeft = 600, kOtherTop = 517;
constexpr int kCentreX = kArrLeft + 36, kCentreY = kArrTop + 36;

struct Piece {
    float x1, y1, x2, y2;
};

using Heading = std::pair<float, float>;

int SlotsInUse() {
    int count = 0;
    for (const ObjectData& slot : Data)
        count += slot.InUse ? 1 : 0;
    return count;
}

bool SameImage(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Get(x, y) != b.Get(x, y))
                return false;
    return true;
}

// Where PlaceCamera must put the camera for the given angles, in doubles.
void ExpectCameraOnOrbit(const Camera& camera) {
    const double anH = camera.AnH, anV = camera.AnV;
    EXPECT_NEAR(camera.X, -std::cos(anV) * std::cos(anH) * 4.0 - 0.08, 1e-5);
    EXPECT_NEAR(camera.Y, -std::cos(anV) * std::sin(anH) * 4.0, 1e-5);
    EXPECT_NEAR(camera.Z, -std::sin(anV) * 4.0, 1e-5);
}

class Arrow3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBackend(&screen);
        form = std::make_unique<Form>("Form1");
        form->Move(0, 0, 800 * kTwipsPerPixel, 600 * kTwipsPerPixel);
        picImages = &test::BindSpriteSheet(*form);
        picArr = &Surface("picArr", kArrLeft, kArrTop);
        picOther = &Surface("picOther", kOtherLeft, kOtherTop);
        form->Show();

        arrow = std::make_unique<Arrow3D>();
        Watch(*arrow);
        arrow->Slope = kSlope;
        arrow->Sens = 1.0f;
        arrow->SetPictureObject(picArr);
    }

    void TearDown() override {
        arrow.reset();
        form.reset();
        SetBackend(nullptr);
    }

    PictureBox& Surface(const std::string& name, int left, int top) {
        PictureBox& surface = form->AddPicture(name);
        surface.Move(left * kTwipsPerPixel, top * kTwipsPerPixel, 73 * kTwipsPerPixel,
                     73 * kTwipsPerPixel);
        surface.SetDrawWidth(3);
        return surface;
    }

    void Watch(Arrow3D& widget) {
        widget.AngleChanged.Connect([this](float h, float v) { raised.emplace_back(h, v); });
    }

    // Catches what the arrow draws from now on, in the surface's user coordinates.
    void WatchLines() {
        arrow->Renderer().LineSink = [this](float x1, float y1, float x2, float y2) {
            pieces.push_back({x1, y1, x2, y2});
        };
    }

    // The tip is point 1: the first line starts there.
    Piece TipAfterRedraw() {
        pieces.clear();
        arrow->Redraw();
        EXPECT_EQ(pieces.size(), 7u);
        return pieces.empty() ? Piece{} : pieces.front();
    }

    // A press at (x, y), then a move to (x + dx, y + dy) with the left button held, all in
    // screen pixels.
    void LeftDrag(int x, int y, int dx, int dy) {
        screen.MouseDown(x, y, vbLeftButton);
        screen.MouseMove(x + dx, y + dy, vbLeftButton);
        screen.MouseUp(x + dx, y + dy, vbLeftButton);
        DoEvents();
    }

    HeadlessBackend screen{1024, 768};
    std::unique_ptr<Form> form;
    PictureBox* picImages = nullptr;
    PictureBox* picArr = nullptr;
    PictureBox* picOther = nullptr;
    std::unique_ptr<Arrow3D> arrow;
    std::vector<Heading> raised;
    std::vector<Piece> pieces;
};

// ---- Set-up and shown headings ----

TEST_F(Arrow3DTest, BindingLooksAtHeadingZeroFromBehindAndAboveAndRaisesNothing) {
    EXPECT_EQ(arrow->PictureObject(), picArr);
    const Camera& camera = arrow->ViewCamera();
    EXPECT_EQ(camera.AnH, 0.0f);
    EXPECT_EQ(camera.AnV, -kSlope);
    EXPECT_NEAR(camera.X, -3.7642f, 1e-4f);
    EXPECT_NEAR(camera.Y, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.Z, 1.5577f, 1e-4f);
    EXPECT_EQ(picArr->ForeColor(), kSeenFromAbove);
    EXPECT_TRUE(raised.empty());
}

TEST_F(Arrow3DTest, SetAnglesShowsTheHeadingAsGivenAndRaisesNothing) {
    arrow->SetAngles(0, 0.4f);
    EXPECT_EQ(arrow->ViewCamera().AnV, 0.0f);
    EXPECT_EQ(picArr->ForeColor(), kSeenFromBelow);

    arrow->SetAngles(0, 0.3f);
    EXPECT_EQ(picArr->ForeColor(), kSeenFromAbove);

    // Neither wrapped nor clamped.
    arrow->SetAngles(7.5f, 2.5f);
    EXPECT_EQ(arrow->ViewCamera().AnH, -7.5f);
    EXPECT_EQ(arrow->ViewCamera().AnV, 2.5f - kSlope);
    ExpectCameraOnOrbit(arrow->ViewCamera());
    EXPECT_EQ(picArr->ForeColor(), kSeenFromBelow);

    EXPECT_TRUE(raised.empty());
}

TEST_F(Arrow3DTest, TipIsDrawnWhereTheHeadingPutsIt) {
    WatchLines();

    Piece tip = TipAfterRedraw();
    EXPECT_NEAR(tip.x1, 0.0f, 1e-4f);
    EXPECT_NEAR(tip.y1, 8.4f, 0.05f);
    // The outline is closed: the last line ends at the tip.
    EXPECT_EQ(pieces.back().x2, tip.x1);
    EXPECT_EQ(pieces.back().y2, tip.y1);

    // Turned left: the surface's x grows to the left.
    arrow->SetAngles(0.3f, 0);
    tip = TipAfterRedraw();
    EXPECT_NEAR(tip.x1, 6.4f, 0.05f);

    // Tilted down, seen from the set-up view.
    arrow->SetAngles(0, 0.3f);
    tip = TipAfterRedraw();
    EXPECT_NEAR(tip.x1, 0.0f, 1e-4f);
    EXPECT_NEAR(tip.y1, 2.1f, 0.05f);

    // Every line stays well inside the disc.
    for (float angleH = 0; angleH < kFullTurn; angleH += 0.5f)
        for (float angleV = -kSteepest; angleV <= kSteepest; angleV += 0.5f) {
            arrow->SetAngles(angleH, angleV);
            pieces.clear();
            arrow->Redraw();
            ASSERT_EQ(pieces.size(), 7u);
            for (const Piece& p : pieces) {
                EXPECT_LT(std::hypot(p.x1, p.y1), 28.5f);
                EXPECT_LT(std::hypot(p.x2, p.y2), 28.5f);
            }
        }
}

TEST_F(Arrow3DTest, RedrawPaintsTheDiscAtTheSurfaceCornerThenTheArrowWithoutClearing) {
    constexpr Pixel kOld = 0x010203;
    Bitmap& image = picArr->Image();
    image.Fill(kOld);
    arrow->Redraw();

    const Pixel fore = PixelFromColor(kSeenFromAbove);
    // The corners lie outside the disc's mask and keep what was there.
    EXPECT_EQ(image.Get(0, 0), kOld);
    EXPECT_EQ(image.Get(72, 72), kOld);
    // Inside the disc every pixel is either the sheet's own or a line's.
    int linePixels = 0;
    for (int y = 0; y < 73; ++y)
        for (int x = 0; x < 73; ++x) {
            if (std::hypot(x - 36, y - 36) > 30)
                continue;
            const Pixel p = image.Get(x, y);
            if (p == fore)
                ++linePixels;
            else
                EXPECT_EQ(p, picImages->Image().Get(x, y)) << x << ", " << y;
        }
    EXPECT_GT(linePixels, 50);
    // The tip, 8.4 pixels above the centre.
    EXPECT_EQ(image.Get(36, 28), fore);
}

// ---- Dragging ----

TEST_F(Arrow3DTest, LeftDragRightTurnsTheTipLeftWrappingTheCameraIntoOneTurn) {
    WatchLines();
    LeftDrag(kCentreX, kCentreY, 10, 0);

    EXPECT_EQ(arrow->ViewCamera().AnH, 5.7831855f);
    EXPECT_EQ(arrow->ViewCamera().AnV, -kSlope);
    ExpectCameraOnOrbit(arrow->ViewCamera());
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0], Heading(-5.7831855f, 0.0f));
    EXPECT_EQ(pieces.size(), 7u); // redrawn

    // Past a whole turn the other way: 6.2 + 0.5 comes back to about 0.417.
    arrow->SetAngles(-6.2f, 0);
    LeftDrag(kCentreX, kCentreY, -10, 0);
    EXPECT_EQ(arrow->ViewCamera().AnH, 6.7f - kFullTurn);
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[1].first, -(6.7f - kFullTurn));
}

TEST_F(Arrow3DTest, LeftDragUpAndDownTiltsTheTipClampedJustShortOfVertical) {
    LeftDrag(kCentreX, kCentreY, 0, -40);
    EXPECT_EQ(arrow->ViewCamera().AnV, kSteepest - kSlope);
    EXPECT_EQ(picArr->ForeColor(), kSeenFromBelow);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].first, -0.0f);
    EXPECT_EQ(raised[0].second, kSteepest);

    LeftDrag(kCentreX, kCentreY - 30, 0, 80);
    EXPECT_EQ(arrow->ViewCamera().AnV, -kSteepest - kSlope);
    ExpectCameraOnOrbit(arrow->ViewCamera());
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[1].second, -kSteepest);
    EXPECT_EQ(picArr->ForeColor(), kSeenFromAbove);
}

TEST_F(Arrow3DTest, EachDragStepUsesTheSensitivityOfThatMoment) {
    screen.MouseDown(kCentreX, kCentreY, vbLeftButton);
    screen.MouseMove(kCentreX + 10, kCentreY, vbLeftButton);
    DoEvents();
    arrow->Sens = 2.0f;
    screen.MouseMove(kCentreX + 20, kCentreY, vbLeftButton);
    DoEvents();
    arrow->Sens = 0.5f;
    screen.MouseMove(kCentreX + 20, kCentreY - 4, vbLeftButton);
    screen.MouseUp(kCentreX + 20, kCentreY - 4, vbLeftButton);
    DoEvents();

    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[0], Heading(-5.7831855f, 0.0f));
    EXPECT_EQ(raised[1].first, -(5.7831855f - 1.0f));
    EXPECT_EQ(raised[2].first, raised[1].first);
    EXPECT_FLOAT_EQ(raised[2].second, 0.1f);
}

TEST_F(Arrow3DTest, MovesWithoutTheLeftButtonAloneChangeNothing) {
    WatchLines();
    const Camera before = arrow->ViewCamera();

    screen.MouseMove(kCentreX + 5, kCentreY + 5, 0);
    screen.MouseDown(kCentreX, kCentreY, vbRightButton);
    screen.MouseMove(kCentreX + 10, kCentreY - 10, vbRightButton);
    screen.MouseUp(kCentreX + 10, kCentreY - 10, vbRightButton);
    screen.MouseDown(kCentreX, kCentreY, vbLeftButton);
    screen.MouseDown(kCentreX, kCentreY, vbRightButton);
    screen.MouseMove(kCentreX + 10, kCentreY - 10, vbLeftButton | vbRightButton);
    screen.MouseUp(kCentreX + 10, kCentreY - 10, vbRightButton);
    screen.MouseUp(kCentreX + 10, kCentreY - 10, vbLeftButton);
    DoEvents();

    EXPECT_EQ(arrow->ViewCamera().AnH, before.AnH);
    EXPECT_EQ(arrow->ViewCamera().AnV, before.AnV);
    EXPECT_EQ(arrow->ViewCamera().X, before.X);
    EXPECT_TRUE(raised.empty());
    EXPECT_TRUE(pieces.empty());
}

TEST_F(Arrow3DTest, APressOfAnyButtonIsWhereTheNextDragStepStarts) {
    screen.MouseDown(kCentreX, kCentreY, vbLeftButton);
    screen.MouseDown(kCentreX - 6, kCentreY, vbRightButton); // moves the start
    screen.MouseUp(kCentreX - 6, kCentreY, vbRightButton);
    screen.MouseMove(kCentreX + 4, kCentreY, vbLeftButton);
    screen.MouseUp(kCentreX + 4, kCentreY, vbLeftButton);
    DoEvents();

    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0], Heading(-5.7831855f, 0.0f)); // 10 pixels, not 4
}

TEST_F(Arrow3DTest, DoubleClickReturnsToTheSetUpViewAndReportsHeadingZero) {
    const Bitmap setUpView = picArr->Image();
    const Camera setUpCamera = arrow->ViewCamera();
    arrow->SetAngles(1.0f, 0.3f);
    ASSERT_FALSE(SameImage(picArr->Image(), setUpView));

    screen.DoubleClick(kCentreX, kCentreY);
    DoEvents();

    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0], Heading(0.0f, 0.0f));
    EXPECT_EQ(arrow->ViewCamera().AnH, setUpCamera.AnH);
    EXPECT_EQ(arrow->ViewCamera().AnV, setUpCamera.AnV);
    EXPECT_EQ(arrow->ViewCamera().X, setUpCamera.X);
    EXPECT_EQ(arrow->ViewCamera().Z, setUpCamera.Z);
    EXPECT_TRUE(SameImage(picArr->Image(), setUpView));
}

// ---- Binding again ----

TEST_F(Arrow3DTest, BindingAgainRebuildsAtHeadingZeroOnTheSameSlots) {
    // Take every free slot, so that any slot the arrow claims beyond its own two shows
    // in DataCount.
    std::vector<std::unique_ptr<Object3D>> others;
    while (SlotsInUse() < DataCount)
        others.push_back(std::make_unique<Object3D>());
    const int inUse = SlotsInUse();
    {
        Arrow3D second;
        second.Slope = kSlope;
        second.Sens = 1.0f;
        second.SetPictureObject(picOther);
        EXPECT_EQ(SlotsInUse(), inUse + 2);
        const std::int16_t count = DataCount;

        second.SetAngles(1.0f, 0.2f);
        second.SetPictureObject(picOther);
        EXPECT_EQ(SlotsInUse(), inUse + 2);
        EXPECT_EQ(DataCount, count);
        EXPECT_EQ(second.ViewCamera().AnH, 0.0f);
        EXPECT_EQ(second.ViewCamera().AnV, -kSlope);
        ExpectCameraOnOrbit(second.ViewCamera());
    }
    EXPECT_EQ(SlotsInUse(), inUse);
}

TEST_F(Arrow3DTest, OnlyTheSurfaceBoundLastDrivesTheArrowOnceAStep) {
    arrow->SetPictureObject(picArr);
    arrow->SetPictureObject(picOther);
    arrow->SetPictureObject(picOther);

    LeftDrag(kCentreX, kCentreY, 10, 0); // on picArr, bound earlier
    screen.DoubleClick(kCentreX, kCentreY);
    DoEvents();
    EXPECT_TRUE(raised.empty());

    LeftDrag(kOtherLeft + 36, kOtherTop + 36, 10, 0);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0], Heading(-5.7831855f, 0.0f));
}

TEST_F(Arrow3DTest, ASurfaceOutlivingItsArrowNoLongerReachesIt) {
    auto gone = std::make_unique<Arrow3D>();
    Watch(*gone);
    gone->Slope = kSlope;
    gone->Sens = 1.0f;
    gone->SetPictureObject(picOther);
    gone.reset();

    LeftDrag(kOtherLeft + 36, kOtherTop + 36, 10, 0);
    screen.DoubleClick(kOtherLeft + 36, kOtherTop + 36);
    DoEvents();
    EXPECT_TRUE(raised.empty());
}

} // namespace
} // namespace oz
