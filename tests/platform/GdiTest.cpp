// The drawing calls as the program makes them: device contexts with selected pens and
// brushes, the calls' pixel rules, and the handles' lifetime rules.

#include "platform/Gdi.h"

#include "platform/Font.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>
#include <utility>

namespace oz {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTextColor = RGB(214, 203, 163); // 10734550
constexpr Pixel kBlackPixel = 0x000000;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Lit(const Bitmap& image, Pixel background = kBlackPixel) {
    PixelSet lit;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Get(x, y) != background)
                lit.insert({x, y});
    return lit;
}

PixelSet Box(int left, int top, int right, int bottom) {
    PixelSet box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            box.insert({x, y});
    return box;
}

// Creates pens and brushes for one test and proves at its end that every one was deleted.
class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { baseline_ = LiveGdiObjectCount(); }
    void TearDown() override { EXPECT_EQ(LiveGdiObjectCount(), baseline_) << "leaked handles"; }

    HPEN Pen(int width, COLORREF color) { return CreatePen(PS_SOLID, width, color); }
    HBRUSH Brush(COLORREF color, bool hollow = false) {
        LOGBRUSH lb{hollow ? BS_HOLLOW : BS_SOLID, color, 0};
        return CreateBrushIndirect(&lb);
    }

private:
    int baseline_ = 0;
};

// ---- Device contexts, SelectObject, DeleteObject ----

TEST_F(GdiTest, ContextStartsWithStockBlackPenAndWhiteBrush) {
    Bitmap image(4, 4);
    DeviceContext dc(&image);
    EXPECT_EQ(dc.pen, StockBlackPen());
    EXPECT_EQ(dc.brush, StockWhiteBrush());
    EXPECT_TRUE(dc.pen->stock);
    EXPECT_EQ(dc.pen->color, RGB(0, 0, 0));
    EXPECT_EQ(dc.brush->color, kWhite);
    EXPECT_FALSE(dc.brush->hollow);
    EXPECT_EQ(dc.position.x, 0);
    EXPECT_EQ(dc.position.y, 0);
}

TEST_F(GdiTest, SelectObjectReturnsWhatItReplacedAndCountsSelections) {
    Bitmap image(4, 4);
    DeviceContext dc(&image);
    HPEN pen = Pen(0, kWhite);
    HBRUSH brush = Brush(kTextColor);
    EXPECT_EQ(pen->selectedCount, 0);

    EXPECT_EQ(SelectObject(&dc, pen), StockBlackPen());
    EXPECT_EQ(SelectObject(&dc, brush), StockWhiteBrush());
    EXPECT_EQ(dc.pen, pen);
    EXPECT_EQ(dc.brush, brush);
    EXPECT_EQ(pen->selectedCount, 1);
    EXPECT_EQ(brush->selectedCount, 1);

    // Selecting the same object again keeps one selection.
    EXPECT_EQ(SelectObject(&dc, pen), pen);
    EXPECT_EQ(pen->selectedCount, 1);

    // A second context holding the same pen.
    {
        DeviceContext other(&image);
        SelectObject(&other, pen);
        EXPECT_EQ(pen->selectedCount, 2);
    } // its destructor releases its selections
    EXPECT_EQ(pen->selectedCount, 1);

    EXPECT_EQ(SelectObject(&dc, StockBlackPen()), pen);
    EXPECT_EQ(SelectObject(&dc, StockWhiteBrush()), brush);
    EXPECT_EQ(pen->selectedCount, 0);
    EXPECT_EQ(brush->selectedCount, 0);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiTest, DeleteObjectRefusesSelectedObjects) {
    Bitmap image(4, 4);
    int before = LiveGdiObjectCount();
    HPEN pen = Pen(2, kWhite);
    EXPECT_EQ(LiveGdiObjectCount(), before + 1);
    {
        DeviceContext dc(&image);
        SelectObject(&dc, pen);
        EXPECT_FALSE(DeleteObject(pen)); // still selected: refused, the object stays
        EXPECT_EQ(LiveGdiObjectCount(), before + 1);
        EXPECT_EQ(pen->width, 2); // still a valid object
        EXPECT_EQ(SelectObject(&dc, StockBlackPen()), pen);
    }
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST_F(GdiTest, ContextDestructorReleasesItsSelections) {
    Bitmap image(4, 4);
    HPEN pen = Pen(0, kWhite);
    HBRUSH brush = Brush(kWhite);
    {
        DeviceContext dc(&image);
        SelectObject(&dc, pen);
        SelectObject(&dc, brush);
    }
    EXPECT_EQ(pen->selectedCount, 0);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiTest, EveryObjectIsDeletedOnceStockObjectsNever) {
    int before = LiveGdiObjectCount();
    HPEN pens[6];
    HBRUSH brushes[6];
    for (int i = 0; i < 6; ++i) {
        pens[i] = Pen(0, RGB(i, 0, 0));
        brushes[i] = Brush(RGB(0, i, 0));
    }
    EXPECT_EQ(LiveGdiObjectCount(), before + 12);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(DeleteObject(pens[i]));
        EXPECT_TRUE(DeleteObject(brushes[i]));
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
    // A second delete of the same handle is refused and changes nothing.
    EXPECT_FALSE(DeleteObject(pens[0]));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(LiveGdiObjectCount(), before);

    // Stock objects are ignored: still usable afterwards, never counted.
    EXPECT_TRUE(DeleteObject(StockBlackPen()));
    EXPECT_TRUE(DeleteObject(StockWhiteBrush()));
    EXPECT_EQ(LiveGdiObjectCount(), before);
    Bitmap image(3, 3);
    DeviceContext dc(&image);
    EXPECT_EQ(dc.pen, StockBlackPen());
    EXPECT_TRUE(Rectangle(&dc, 0, 0, 3, 3));
    EXPECT_EQ(image.Get(1, 1), 0xFFFFFFu); // the stock white brush still fills
    EXPECT_EQ(image.Get(0, 0), 0x000000u); // the stock black pen still outlines
}

TEST_F(GdiTest, PaletteSetUpReleasesTheStockObjects) {
    // The frame loop's set-up: select the first palette pen and brush, delete
    // what was selected before (stock: ignored), and at the end put nothing back and
    // delete the palette after the context is gone.
    Bitmap image(10, 10);
    int before = LiveGdiObjectCount();
    HPEN pens[6];
    HBRUSH brushes[6];
    for (int i = 0; i < 6; ++i) {
        pens[i] = Pen(0, RGB(200 + i, 255, 255));
        brushes[i] = Brush(RGB(200 + i, 255, 255));
    }
    {
        DeviceContext dc(&image);
        EXPECT_TRUE(DeleteObject(SelectObject(&dc, pens[0])));
        EXPECT_TRUE(DeleteObject(SelectObject(&dc, brushes[0])));
        SelectObject(&dc, pens[3]);
        SelectObject(&dc, brushes[3]);
        EXPECT_FALSE(DeleteObject(pens[3]));
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(DeleteObject(pens[i]));
        EXPECT_TRUE(DeleteObject(brushes[i]));
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST_F(GdiTest, CreatedObjectsKeepTheirDescription) {
    HPEN pen = Pen(2, kTextColor);
    EXPECT_EQ(pen->kind, GdiKind::Pen);
    EXPECT_EQ(pen->width, 2);
    EXPECT_EQ(pen->color, 10734550u);
    EXPECT_FALSE(pen->stock);
    HBRUSH hollow = Brush(kWhite, true);
    EXPECT_EQ(hollow->kind, GdiKind::Brush);
    EXPECT_TRUE(hollow->hollow);
    EXPECT_EQ(CreateBrushIndirect(nullptr), nullptr);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(hollow));
}

// ---- SetRect, FillRect ----

TEST_F(GdiTest, SetRectStoresTheFourEdges) {
    RECT r;
    EXPECT_TRUE(SetRect(&r, 300, 700, 724, 720));
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 700);
    EXPECT_EQ(r.right, 724);
    EXPECT_EQ(r.bottom, 720);
    EXPECT_TRUE(SetRect(&r, -5, -6, -7, -8)); // stored as given, not reordered
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.bottom, -8);
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

TEST_F(GdiTest, FillRectExcludesRightColumnAndBottomRow) {
    Bitmap image(20, 10);
    DeviceContext dc(&image);
    HBRUSH brush = Brush(kTextColor);
    RECT r;
    SetRect(&r, 3, 2, 9, 7);
    EXPECT_NE(FillRect(&dc, &r, brush), 0);
    EXPECT_EQ(Lit(image), Box(3, 2, 9, 7));
    EXPECT_EQ(image.Get(3, 2), PixelFromColor(kTextColor));

    // Empty (zero width, as with a speed fill of 0) and inverted rectangles fill nothing.
    image.Fill(0);
    SetRect(&r, 5, 2, 5, 7);
    FillRect(&dc, &r, brush);
    SetRect(&r, 9, 7, 3, 2);
    FillRect(&dc, &r, brush);
    EXPECT_TRUE(Lit(image).empty());

    // Clipped to the image.
    SetRect(&r, -2000000000, -2000000000, 2000000000, 2000000000);
    FillRect(&dc, &r, brush);
    EXPECT_EQ(Lit(image).size(), 200u);

    // A hollow brush fills nothing.
    image.Fill(0);
    HBRUSH hollow = Brush(kWhite, true);
    FillRect(&dc, &r, hollow);
    EXPECT_TRUE(Lit(image).empty());
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(hollow));
}

TEST_F(GdiTest, FillRectUsesTheGivenBrushNotTheSelectedOne) {
    Bitmap image(4, 4);
    DeviceContext dc(&image);
    HBRUSH brush = Brush(RGB(1, 2, 3));
    RECT r{0, 0, 4, 4};
    FillRect(&dc, &r, brush);
    EXPECT_EQ(image.Get(2, 2), 0x010203u);
    EXPECT_EQ(dc.brush, StockWhiteBrush());
    EXPECT_TRUE(DeleteObject(brush));
}

// ---- Ellipse ----

TEST_F(GdiTest, TwoPixelStarIsExactlyTwoByTwo) {
    // A star's disc on an 800 x 600 view: Ellipse(479, 259, 481, 261).
    Bitmap image(800, 600);
    DeviceContext dc(&image);
    HPEN pen = Pen(0, RGB(253, 255, 206));
    HBRUSH brush = Brush(RGB(253, 255, 206));
    SelectObject(&dc, pen);
    SelectObject(&dc, brush);
    EXPECT_TRUE(Ellipse(&dc, 479, 259, 481, 261));
    EXPECT_EQ(Lit(image), Box(479, 259, 481, 261));
    EXPECT_EQ(image.Get(480, 260), PixelFromColor(RGB(253, 255, 206)));
    SelectObject(&dc, StockBlackPen());
    SelectObject(&dc, StockWhiteBrush());
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(GdiTest, StarDiscsFillTheirBoxRoundly) {
    // The frame loop's discs: D = 2 .. 10 at (sx - h, sy - h, sx - h + D, sy - h + D).
    const int rowsOf3[] = {1, 3, 1};
    const int rowsOf4[] = {2, 4, 4, 2};
    const int rowsOf6[] = {2, 4, 6, 6, 4, 2};
    for (int D = 2; D <= 10; ++D) {
        Bitmap image(40, 40);
        DeviceContext dc(&image);
        HPEN pen = Pen(0, kWhite);
        HBRUSH brush = Brush(kWhite);
        SelectObject(&dc, pen);
        SelectObject(&dc, brush);
        const int sx = 20, sy = 20, h = D / 2;
        Ellipse(&dc, sx - h, sy - h, sx - h + D, sy - h + D);
        PixelSet lit = Lit(image);
        // Inside the box, touching all four of its sides.
        for (auto [x, y] : lit) {
            EXPECT_GE(x, sx - h);
            EXPECT_LT(x, sx - h + D);
            EXPECT_GE(y, sy - h);
            EXPECT_LT(y, sy - h + D);
        }
        for (int i = 0; i < D; ++i) {
            int across = 0, down = 0;
            for (int j = 0; j < D; ++j) {
                across += lit.count({sx - h + j, sy - h + i});
                down += lit.count({sx - h + i, sy - h + j});
            }
            EXPECT_EQ(across, down) << "D " << D << " row/column " << i; // quarter-turn symmetric
            if (D == 3) {
                EXPECT_EQ(across, rowsOf3[i]);
            } else if (D == 4) {
                EXPECT_EQ(across, rowsOf4[i]);
            } else if (D == 6) {
                EXPECT_EQ(across, rowsOf6[i]);
            }
        }
        EXPECT_TRUE(lit.count({sx - h, sy - h + D / 2}));         // left side
        EXPECT_TRUE(lit.count({sx - h + D / 2, sy - h}));         // top side
        EXPECT_EQ(lit.count({sx - h, sy - h}), D == 2 ? 1u : 0u); // corners only for D = 2
        SelectObject(&dc, StockBlackPen());
        SelectObject(&dc, StockWhiteBrush());
        EXPECT_TRUE(DeleteObject(pen));
        EXPECT_TRUE(DeleteObject(brush));
    }
}

TEST_F(GdiTest, EllipseOutlinesWithThePenAndFillsWithTheBrush) {
    Bitmap image(9, 9);
    DeviceContext dc(&image);
    HPEN pen = Pen(0, RGB(255, 0, 0));
    HBRUSH brush = Brush(RGB(0, 0, 255));
    SelectObject(&dc, pen);
    SelectObject(&dc, brush);
    Ellipse(&dc, 1, 1, 8, 8);
    EXPECT_EQ(image.Get(1, 4), 0xFF0000u); // left end of the middle row: the pen
    EXPECT_EQ(image.Get(4, 1), 0xFF0000u);
    EXPECT_EQ(image.Get(4, 4), 0x0000FFu); // the centre: the brush
    EXPECT_EQ(image.Get(1, 1), 0x000000u); // the box's corner stays
    EXPECT_EQ(image.Get(8, 4), 0x000000u); // the right column is excluded

    // A hollow brush leaves the inside alone; reversed corners draw the same ellipse.
    image.Fill(0x00FF00);
    HBRUSH hollow = Brush(kWhite, true);
    SelectObject(&dc, hollow);
    Ellipse(&dc, 8, 8, 1, 1);
    EXPECT_EQ(image.Get(1, 4), 0xFF0000u);
    EXPECT_EQ(image.Get(4, 4), 0x00FF00u);
    SelectObject(&dc, StockBlackPen());
    SelectObject(&dc, StockWhiteBrush());
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(hollow));
}

// ---- Rectangle ----

TEST_F(GdiTest, SpeedBarOutlineIsTwoPixelsInsideItsBoxAndHollow) {
    // The speed bar's outline on a 1024 x 768 screen: Rectangle(297, 697, 728, 724) with the white
    // 2-pixel pen and the hollow brush over a view that already holds stars.
    Bitmap image(1024, 768);
    image.Set(500, 710, 0x123456); // a star inside the bar's outline
    DeviceContext dc(&image);
    HBRUSH hollow = Brush(kWhite, true);
    HPEN outline = Pen(2, kWhite);
    SelectObject(&dc, hollow);
    SelectObject(&dc, outline);
    EXPECT_TRUE(Rectangle(&dc, 297, 697, 728, 724));
    PixelSet expected;
    for (int y = 697; y < 724; ++y)
        for (int x = 297; x < 728; ++x)
            if (x <= 298 || x >= 726 || y <= 698 || y >= 722)
                expected.insert({x, y});
    expected.insert({500, 710});
    EXPECT_EQ(Lit(image), expected);
    EXPECT_EQ(image.Get(500, 710), 0x123456u);
    EXPECT_EQ(image.Get(297, 697), 0xFFFFFFu);

    // Then the fill: FillRect of SpeedFill (300, 700, 300 + 134, 720).
    HBRUSH fill = Brush(kTextColor);
    RECT speedFill{300, 700, 434, 720};
    FillRect(&dc, &speedFill, fill);
    EXPECT_EQ(image.Get(300, 700), PixelFromColor(kTextColor));
    EXPECT_EQ(image.Get(433, 719), PixelFromColor(kTextColor));
    EXPECT_EQ(image.Get(434, 710), 0x000000u);
    EXPECT_EQ(image.Get(299, 710), 0x000000u); // the gap between outline and bar

    SelectObject(&dc, StockBlackPen());
    SelectObject(&dc, StockWhiteBrush());
    EXPECT_TRUE(DeleteObject(hollow));
    EXPECT_TRUE(DeleteObject(outline));
    EXPECT_TRUE(DeleteObject(fill));
}

TEST_F(GdiTest, RectangleWithThinPenAndSolidBrush) {
    Bitmap image(6, 5);
    DeviceContext dc(&image);
    Rectangle(&dc, 1, 1, 5, 4); // stock black pen (on black), stock white brush
    EXPECT_EQ(Lit(image), (PixelSet{{2, 2}, {3, 2}}));
    EXPECT_EQ(image.Get(2, 2), 0xFFFFFFu);
}

// ---- MoveToEx, LineTo ----

TEST_F(GdiTest, LineToStopsShortOfItsEndAndMovesThePosition) {
    Bitmap image(10, 10);
    DeviceContext dc(&image);
    HPEN pen = Pen(0, kWhite);
    SelectObject(&dc, pen);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(&dc, 2, 3, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    EXPECT_TRUE(LineTo(&dc, 7, 3));
    EXPECT_EQ(Lit(image), Box(2, 3, 7, 4));
    EXPECT_EQ(dc.position.x, 7);
    EXPECT_EQ(dc.position.y, 3);

    // The next LineTo starts where the last ended: together the two draw the corner pixel
    // once, and still leave out the final end.
    EXPECT_TRUE(LineTo(&dc, 7, 8));
    PixelSet expected = Box(2, 3, 7, 4);
    for (auto p : Box(7, 3, 8, 8))
        expected.insert(p);
    EXPECT_EQ(Lit(image), expected);
    EXPECT_TRUE(MoveToEx(&dc, 0, 0, &previous));
    EXPECT_EQ(previous.x, 7);
    EXPECT_EQ(previous.y, 8);
    EXPECT_TRUE(MoveToEx(&dc, 1, 1, nullptr));
    SelectObject(&dc, StockBlackPen());
    EXPECT_TRUE(DeleteObject(pen));
}

TEST_F(GdiTest, NeedleWithTwoPixelPenIncludesBothEnds) {
    // The view dial's needle: AngH = 0 draws from the dial's centre (866, 696) straight up to (866,
    // 660) with the 2-pixel needle pen.
    Bitmap image(1024, 768);
    DeviceContext dc(&image);
    HPEN needle = Pen(2, kTextColor);
    SelectObject(&dc, needle);
    POINT last;
    MoveToEx(&dc, 866, 696, &last);
    LineTo(&dc, 866, 660);
    EXPECT_EQ(Lit(image), Box(865, 659, 867, 697));
    EXPECT_EQ(image.Get(866, 660), PixelFromColor(kTextColor));
    EXPECT_EQ(dc.position.x, 866);
    EXPECT_EQ(dc.position.y, 660);

    // AngV = 0: straight right to (977, 696).
    image.Fill(0);
    MoveToEx(&dc, 941, 696, &last);
    LineTo(&dc, 977, 696);
    EXPECT_EQ(Lit(image), Box(940, 695, 978, 697));
    SelectObject(&dc, StockBlackPen());
    EXPECT_TRUE(DeleteObject(needle));
}

TEST_F(GdiTest, SlantedNeedleIsContinuousAndTwoPixelsThick) {
    Bitmap image(100, 100);
    DeviceContext dc(&image);
    HPEN needle = Pen(2, kWhite);
    SelectObject(&dc, needle);
    MoveToEx(&dc, 50, 50, nullptr);
    LineTo(&dc, 50 + 25, 50 - 26); // about 45 degrees clockwise from straight up
    PixelSet lit = Lit(image);
    // Every row between the ends holds a run of 2 to 4 pixels.
    for (int y = 25; y <= 49; ++y) {
        int n = 0;
        for (int x = 0; x < 100; ++x)
            n += lit.count({x, y});
        EXPECT_GE(n, 2) << y;
        EXPECT_LE(n, 4) << y;
    }
    EXPECT_TRUE(lit.count({50, 50}));
    EXPECT_TRUE(lit.count({75, 24}));
    SelectObject(&dc, StockBlackPen());
    EXPECT_TRUE(DeleteObject(needle));
}

TEST_F(GdiTest, FarOffLinesAndEllipsesReturnAtOnce) {
    Bitmap image(64, 48);
    DeviceContext dc(&image);
    auto start = std::chrono::steady_clock::now();
    MoveToEx(&dc, -2000000000, 10, nullptr);
    LineTo(&dc, 2000000000, 10);
    MoveToEx(&dc, -2000000000, -2000000000, nullptr);
    LineTo(&dc, 2000000000, -2000000000);
    Ellipse(&dc, -2000000000, -2000000000, 2000000000, -1999999000);
    Rectangle(&dc, -2000000000, 20, 2000000000, 2000000000);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
    // The horizontal line's row is fully black (the stock pen), rows 20+ were outlined and
    // filled; row 19 and the rest stay as they were.
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(image.Get(x, 20), 0x000000u);
        EXPECT_EQ(image.Get(x, 21), 0xFFFFFFu);
    }
}

// ---- SetPixel, SetTextColor ----

TEST_F(GdiTest, SetPixelSetsAndReturnsTheColour) {
    Bitmap image(4, 3);
    DeviceContext dc(&image);
    EXPECT_EQ(SetPixel(&dc, 2, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(image.Get(2, 1), 0x010203u);
    EXPECT_EQ(Lit(image).size(), 1u);
    // Off the image: nothing set, CLR_INVALID.
    EXPECT_EQ(SetPixel(&dc, 4, 1, kWhite), 0xFFFFFFFFu);
    EXPECT_EQ(SetPixel(&dc, -1, 0, kWhite), 0xFFFFFFFFu);
    EXPECT_EQ(SetPixel(&dc, 0, 3, kWhite), 0xFFFFFFFFu);
    EXPECT_EQ(SetPixel(&dc, 2000000000, -2000000000, kWhite), 0xFFFFFFFFu);
    EXPECT_EQ(Lit(image).size(), 1u);
}

TEST_F(GdiTest, SetTextColorReturnsThePrevious) {
    DeviceContext dc(nullptr);
    EXPECT_EQ(SetTextColor(&dc, kTextColor), 0u);
    EXPECT_EQ(SetTextColor(&dc, kWhite), kTextColor);
    EXPECT_EQ(dc.textColor, kWhite);
}

// ---- BitBlt, StretchBlt ----

TEST_F(GdiTest, MaskedSpriteLeavesTheBackgroundUnderBlackMask) {
    // Sprites: mask (white = opaque) ORed in first, then the white-ground image ANDed.
    Bitmap sheet(3, 2);
    sheet.Set(0, 0, 0x3344AA); // image: opaque colour
    sheet.Set(1, 0, 0xFFFFFF); // image: transparent (white)
    sheet.Set(2, 0, 0x808080);
    sheet.Set(0, 1, 0xFFFFFF); // mask: opaque
    sheet.Set(1, 1, 0x000000); // mask: transparent
    sheet.Set(2, 1, 0xFFFFFF);
    DeviceContext sheetDc(&sheet);
    Bitmap view(5, 1, 0x102030);
    DeviceContext viewDc(&view);
    EXPECT_TRUE(BitBlt(&viewDc, 1, 0, 3, 1, &sheetDc, 0, 1, SRCPAINT));
    EXPECT_TRUE(BitBlt(&viewDc, 1, 0, 3, 1, &sheetDc, 0, 0, SRCAND));
    EXPECT_EQ(view.Get(0, 0), 0x102030u);
    EXPECT_EQ(view.Get(1, 0), 0x3344AAu);
    EXPECT_EQ(view.Get(2, 0), 0x102030u);
    EXPECT_EQ(view.Get(3, 0), 0x808080u);
    EXPECT_EQ(view.Get(4, 0), 0x102030u);

    // The read-out's dial: white on black ORed over the view.
    view.Fill(0x102030);
    Bitmap dial(2, 1);
    dial.Set(0, 0, 0xFFFFFF);
    DeviceContext dialDc(&dial);
    EXPECT_TRUE(BitBlt(&viewDc, 0, 0, 2, 1, &dialDc, 0, 0, SRCPAINT));
    EXPECT_EQ(view.Get(0, 0), 0xFFFFFFu);
    EXPECT_EQ(view.Get(1, 0), 0x102030u);

    // SRCCOPY overwrites, white included; an unknown operation is refused.
    EXPECT_TRUE(BitBlt(&viewDc, 2, 0, 3, 1, &sheetDc, 0, 0, SRCCOPY));
    EXPECT_EQ(view.Get(3, 0), 0xFFFFFFu);
    EXPECT_FALSE(BitBlt(&viewDc, 0, 0, 1, 1, &sheetDc, 0, 0, 0x00660046 /* SRCINVERT */));
    EXPECT_FALSE(BitBlt(&viewDc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST_F(GdiTest, StretchedMaskColumnsKeepTheirShape) {
    // The slider thumb's middle (a one-pixel column, no mask) stretched sideways, and a masked
    // one-column image stretched: the transparent pixel stays transparent in every column.
    Bitmap sheet(2, 4);
    sheet.Set(0, 0, 0xA6B2C2);
    sheet.Set(0, 1, 0x5B7496);
    sheet.Set(1, 0, 0xFF0000); // image
    sheet.Set(1, 1, 0xFFFFFF); // image, transparent
    sheet.Set(1, 2, 0xFFFFFF); // mask
    sheet.Set(1, 3, 0x000000); // mask, transparent
    DeviceContext sheetDc(&sheet);
    Bitmap view(8, 2, 0x00FF00);
    DeviceContext viewDc(&view);
    EXPECT_TRUE(StretchBlt(&viewDc, 0, 0, 4, 2, &sheetDc, 0, 0, 1, 2, SRCCOPY));
    EXPECT_TRUE(StretchBlt(&viewDc, 4, 0, 4, 2, &sheetDc, 1, 2, 1, 2, SRCPAINT));
    EXPECT_TRUE(StretchBlt(&viewDc, 4, 0, 4, 2, &sheetDc, 1, 0, 1, 2, SRCAND));
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(view.Get(x, 0), 0xA6B2C2u);
        EXPECT_EQ(view.Get(x, 1), 0x5B7496u);
        EXPECT_EQ(view.Get(4 + x, 0), 0xFF0000u);
        EXPECT_EQ(view.Get(4 + x, 1), 0x00FF00u);
    }
    // Zero and negative sizes draw nothing.
    view.Fill(0);
    StretchBlt(&viewDc, 0, 0, 0, 2, &sheetDc, 0, 0, 1, 2, SRCCOPY);
    StretchBlt(&viewDc, 0, 0, 4, -2, &sheetDc, 0, 0, 1, 2, SRCCOPY);
    StretchBlt(&viewDc, 0, 0, 4, 2, &sheetDc, 0, 0, -1, 2, SRCCOPY);
    EXPECT_TRUE(Lit(view).empty());
}

// ---- DrawTextA ----
// The glyphs are the font's business; these check only where text may land.

TEST_F(GdiTest, DrawTextStaysInsideItsRectangle) {
    Bitmap image(300, 100);
    DeviceContext dc(&image);
    SetTextColor(&dc, kTextColor);
    RECT r{5, 5, 200, 60};
    const int lineHeight = Font::Get(FontSpec{}).LineHeight();
    ASSERT_GT(lineHeight, 0);
    int height = DrawTextA(&dc, "Press F1\r\nDouble click", -1, &r, DT_TOP_LEFT);
    EXPECT_EQ(height, 2 * lineHeight);
    PixelSet lit = Lit(image);
    EXPECT_FALSE(lit.empty());
    bool firstLine = false, secondLine = false;
    for (auto [x, y] : lit) {
        ASSERT_GE(x, 5);
        ASSERT_LT(x, 200);
        ASSERT_GE(y, 5);
        ASSERT_LT(y, 60);
        if (y < 5 + lineHeight)
            firstLine = true;
        if (y >= 5 + lineHeight && y < 5 + 2 * lineHeight)
            secondLine = true;
    }
    EXPECT_TRUE(firstLine);
    EXPECT_TRUE(secondLine);
    // No background box: most of the rectangle is left as it was.
    EXPECT_LT(lit.size(), 195u * 55u / 2);
}

TEST_F(GdiTest, DrawTextClipsLinesBelowTheRectangle) {
    Bitmap image(300, 200);
    DeviceContext dc(&image);
    SetTextColor(&dc, kWhite);
    const int lineHeight = Font::Get(FontSpec{}).LineHeight();
    RECT r{10, 10, 250, 10 + lineHeight}; // room for the first line only
    DrawTextA(&dc, "MMMM\r\nWWWW\r\nHHHH", -1, &r, 0);
    for (auto [x, y] : Lit(image)) {
        ASSERT_GE(y, 10);
        ASSERT_LT(y, 10 + lineHeight);
    }
    EXPECT_FALSE(Lit(image).empty());

    // Only CR LF breaks a line: the whole text "A\nB" is one line at the top.
    image.Fill(0);
    RECT wide{0, 0, 300, 200};
    EXPECT_EQ(DrawTextA(&dc, "A\nB", -1, &wide, 0), lineHeight);
    for (auto [x, y] : Lit(image))
        ASSERT_LT(y, lineHeight);

    // The length counts bytes when given: only "MM" of "MM\r\nWW" is drawn.
    image.Fill(0);
    EXPECT_EQ(DrawTextA(&dc, "MM\r\nWW", 2, &wide, 0), lineHeight);
    for (auto [x, y] : Lit(image))
        ASSERT_LT(y, lineHeight);

    // The frame-rate figure: white digits in a 40-pixel box at the view's top right.
    image.Fill(0);
    RECT fps{260, 5, 300, 35};
    EXPECT_EQ(DrawTextA(&dc, "64", -1, &fps, 0), lineHeight);
    for (auto [x, y] : Lit(image)) {
        ASSERT_GE(x, 260);
        ASSERT_LT(y, 35);
    }
    EXPECT_FALSE(Lit(image).empty());
}

// ---- RtlZeroMemory ----

TEST_F(GdiTest, RtlZeroMemoryClearsTheKeyFlags) {
    unsigned char flags[14];
    std::memset(flags, 1, sizeof flags);
    RtlZeroMemory(flags + 1, 12);
    EXPECT_EQ(flags[0], 1);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(flags[i], 0);
    EXPECT_EQ(flags[13], 1);
}

} // namespace
} // namespace oz
