// The drawing calls as the program makes them: the pixel rules of each call, the pens
// and brushes selected into device contexts, and the handles' lifetime rules.

#include "platform/pixels/Gdi.h"

#include "platform/pixels/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace oz {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTextColor = RGB(214, 203, 163);

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Lit(const Bitmap& image, Pixel background = 0) {
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

HBRUSH Brush(COLORREF color, bool hollow = false) {
    LOGBRUSH description{hollow ? BS_HOLLOW : BS_SOLID, color, 0};
    return CreateBrushIndirect(&description);
}

Bitmap Strip(const std::vector<Pixel>& pixels, int rows = 1) {
    Bitmap strip(static_cast<int>(pixels.size()) / rows, rows);
    std::copy(pixels.begin(), pixels.end(), strip.Data());
    return strip;
}

std::vector<Pixel> Row(const Bitmap& image, int y = 0) {
    return std::vector<Pixel>(image.Row(y), image.Row(y) + image.Width());
}

// A device context on an image with a new pen and brush selected, as the frame loop
// sets one up; at the end it puts the stock objects back and deletes its own.
struct Painter {
    Painter(Bitmap& image, int penWidth, COLORREF penColor, COLORREF brushColor,
            bool hollow = false)
        : dc(&image) {
        SelectObject(&dc, CreatePen(PS_SOLID, penWidth, penColor));
        SelectObject(&dc, Brush(brushColor, hollow));
    }
    ~Painter() {
        EXPECT_TRUE(DeleteObject(SelectObject(&dc, StockBlackPen())));
        EXPECT_TRUE(DeleteObject(SelectObject(&dc, StockWhiteBrush())));
    }
    DeviceContext dc;
};

// ---- Pens, brushes and device contexts ----

TEST(Gdi, SelectObjectReturnsTheOldObjectAndDeleteObjectRefusesSelectedOnes) {
    Bitmap image(5, 4, 0x808080);
    const int before = LiveGdiObjectCount();
    HPEN pen = CreatePen(PS_SOLID, 2, kWhite);
    HBRUSH brush = Brush(kWhite);
    {
        DeviceContext dc(&image);
        EXPECT_EQ(SelectObject(&dc, pen), StockBlackPen());
        EXPECT_EQ(SelectObject(&dc, brush), StockWhiteBrush());
        EXPECT_FALSE(DeleteObject(pen)); // still selected: refused, the object stays
        EXPECT_EQ(SelectObject(&dc, StockBlackPen()), pen);
        EXPECT_TRUE(DeleteObject(pen));
    } // the context going away releases the brush
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush)); // deleted already
    EXPECT_EQ(LiveGdiObjectCount(), before);

    // Stock objects are ignored: a new context still outlines with the one-pixel black pen
    // and fills with the white brush.
    EXPECT_TRUE(DeleteObject(StockBlackPen()));
    DeviceContext dc(&image);
    EXPECT_TRUE(Rectangle(&dc, 4, 3, 0, 0)); // corners in any order
    EXPECT_EQ(Row(image, 1), (std::vector<Pixel>{0, 0xFFFFFF, 0xFFFFFF, 0, 0x808080}));
}

// ---- FillRect, Rectangle, SetPixel ----

TEST(Gdi, FillRectExcludesTheRightColumnAndBottomRow) {
    // A box, a speed fill of 0, an inverted box, one far beyond the image, and a pen, which is
    // no brush and fills nothing.
    HBRUSH brush = Brush(kTextColor), pen = CreatePen(PS_SOLID, 1, kWhite);
    const std::tuple<RECT, HBRUSH, PixelSet> cases[] = {
        {{3, 2, 9, 7}, brush, Box(3, 2, 9, 7)},
        {{5, 2, 5, 7}, brush, {}},
        {{9, 7, 3, 2}, brush, {}},
        {{-2000000000, -2000000000, 2000000000, 2000000000}, brush, Box(0, 0, 20, 10)},
        {{0, 0, 4, 4}, pen, {}}};
    for (const auto& [rect, with, filled] : cases) {
        Bitmap image(20, 10);
        DeviceContext dc(&image); // the selected brush (stock white) is not the one used
        const bool done = FillRect(&dc, &rect, with);
        EXPECT_EQ(std::tuple(done, Lit(image), Lit(image, PixelFromColor(kTextColor)).size()),
                  std::tuple(with == brush, filled, 200 - filled.size()))
            << rect.left << "," << rect.top;
    }
    EXPECT_TRUE(DeleteObject(pen) && DeleteObject(brush));
}

TEST(Gdi, SpeedBarOutlineIsTwoPixelsInsideItsBoxAndHollowAndSetPixelWritesOnlyOnTheImage) {
    // Rectangle(297, 697, 728, 724) with the white 2-pixel pen and the hollow brush over a
    // view that already holds a star inside the outline, set along with pixels off the image.
    Bitmap image(1024, 768);
    Painter paint(image, 2, kWhite, kWhite, true);
    for (POINT p :
         {POINT{500, 710}, POINT{1024, 1}, POINT{-1, 0}, POINT{0, 768}, POINT{2000000000, -5}})
        SetPixel(&paint.dc, p.x, p.y, RGB(0x12, 0x34, 0x56));
    EXPECT_TRUE(Rectangle(&paint.dc, 297, 697, 728, 724));
    PixelSet expected = Box(297, 697, 728, 724);
    for (auto p : Box(299, 699, 726, 722))
        expected.erase(p);
    expected.insert({500, 710});
    EXPECT_EQ(std::tuple(Lit(image), image.Get(500, 710), image.Get(727, 723)),
              std::tuple(expected, 0x123456u, 0xFFFFFFu));
}

// ---- MoveToEx, LineTo ----

TEST(Gdi, LineToMovesThePositionAndLeavesOutItsEndUnlessThePenIsWide) {
    // Thin lines stop short of their end. The view dial's needle, from its centre straight
    // up and straight right with the 2-pixel pen, includes both ends, each end's round cap
    // reaching one pixel past it to the top and left.
    const std::tuple<int, int, int, int, int, PixelSet> cases[] = {
        {0, 2, 3, 7, 3, Box(2, 3, 7, 4)},
        {0, 7, 8, 7, 3, Box(7, 4, 8, 9)},
        {2, 866, 696, 866, 660, Box(865, 659, 867, 697)},
        {2, 941, 696, 977, 696, Box(940, 695, 978, 697)},
        {2, 900, 700, 900, 700, Box(899, 699, 901, 701)}}; // a dot
    for (auto [penWidth, x0, y0, x1, y1, lit] : cases) {
        Bitmap image(1024, 768);
        Painter paint(image, penWidth, kTextColor, kWhite);
        EXPECT_TRUE(MoveToEx(&paint.dc, x0, y0, nullptr) && LineTo(&paint.dc, x1, y1));
        POINT previous{-1, -1};
        MoveToEx(&paint.dc, 0, 0, &previous);
        EXPECT_EQ(std::tuple(Lit(image), image.Get(x0, y0), previous.x, previous.y),
                  std::tuple(lit, PixelFromColor(kTextColor), x1, y1))
            << "to " << x1 << "," << y1;
    }
}

// ---- BitBlt, StretchBlt ----

TEST(Gdi, BlitsCopyOrAndAndOnEachChannel) {
    Bitmap src = Strip({0x123456, 0xF0F0F0, 0x0F0F0F, 0xFFFFFF, 0x000000});
    DeviceContext srcDc(&src);
    const std::pair<std::uint32_t, std::vector<Pixel>> cases[] = {
        {SRCCOPY, Row(src)},
        {SRCPAINT, {0xBABEFE, 0xFAFAFA, 0xAFAFAF, 0xFFFFFF, 0xAAAAAA}},
        {SRCAND, {0x022002, 0xA0A0A0, 0x0A0A0A, 0xAAAAAA, 0x000000}}};
    for (auto [rop, result] : cases) {
        Bitmap dst(5, 1, 0xAAAAAA);
        DeviceContext dc(&dst);
        EXPECT_TRUE(BitBlt(&dc, 0, 0, 5, 1, &srcDc, 0, 0, rop));
        EXPECT_EQ(Row(dst), result) << std::hex << rop;
    }
    EXPECT_FALSE(BitBlt(&srcDc, 0, 0, 1, 1, &srcDc, 0, 0, 0x00660046 /* SRCINVERT */));
    EXPECT_FALSE(BitBlt(&srcDc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST(Gdi, BlitsTakeTheNearestSourcePixelAndClipAgainstBothImages) {
    // The strip 1 2 3 4 onto a row of four zeros; source height = destination height. The
    // row below the strip, 5 6 7 8, shows any read past the strip's right end.
    Bitmap src = Strip({1, 2, 3, 4, 5, 6, 7, 8}, 2);
    DeviceContext srcDc(&src);
    const int far = 2000000000;
    const std::tuple<int, int, int, int, int, int, int, std::vector<Pixel>> cases[] = {
        {0, 0, 4, 1, 0, 0, 2, {1, 1, 2, 2}},      {0, 0, 2, 1, 0, 0, 4, {2, 4, 0, 0}},
        {0, 0, 3, 1, 0, 0, 2, {1, 2, 2, 0}},      {-4, 0, 8, 1, 0, 0, 4, {3, 3, 4, 4}},
        {-1, 0, 4, 1, 0, 0, 4, {2, 3, 4, 0}},     {1, 0, 4, 1, 2, 0, 4, {0, 3, 4, 0}},
        {0, 0, 4, 1, -2, 0, 4, {0, 0, 1, 2}},     {0, -1, 4, 2, 0, -1, 4, {1, 2, 3, 4}},
        {0, 0, 4, 1, 0, -1, 4, {0, 0, 0, 0}},     {0, 0, 0, 1, 0, 0, 4, {0, 0, 0, 0}},
        {0, 0, 4, 1, 0, 0, -4, {0, 0, 0, 0}},     {-far, 0, far, 1, 0, 0, far, {0, 0, 0, 0}},
        {0, -far, 4, far, 0, 0, 4, {0, 0, 0, 0}}, {0, 0, 4, 1, far, 0, 4, {0, 0, 0, 0}}};
    for (const auto& [x, y, width, height, srcX, srcY, srcWidth, row] : cases) {
        Bitmap dst(4, 1);
        DeviceContext dc(&dst);
        StretchBlt(&dc, x, y, width, height, &srcDc, srcX, srcY, srcWidth, height, SRCCOPY);
        EXPECT_EQ(Row(dst), row) << x << "," << y << " from " << srcX << "," << srcWidth;
        if (srcWidth == width) {
            dst.Fill(0);
            BitBlt(&dc, x, y, width, height, &srcDc, srcX, srcY, SRCCOPY);
            EXPECT_EQ(Row(dst), row) << "BitBlt " << x << "," << y << " from " << srcX;
        }
    }
    BitBlt(&srcDc, 1, 0, 3, 1, &srcDc, 0, 0, SRCCOPY); // onto itself, overlapping
    EXPECT_EQ(Row(src), (std::vector<Pixel>{1, 1, 2, 3}));
}

// ---- DrawTextA ----
// The glyphs are the font's business; these check where the lines may land.

TEST(Gdi, DrawTextBreaksOnlyAtCrLfAndClipsToItsRectangle) {
    const int line = Font::Get(FontSpec{}).LineHeight();
    // The text, its rectangle, the lines counted in the returned height, the lines with ink.
    const std::tuple<const char*, RECT, int, int> cases[] = {
        {"Press F1\r\nDouble click", {5, 5, 200, 60}, 2, 2},
        {"A\nB", {0, 0, 300, 200}, 1, 1}, // LF alone breaks nothing
        {"MMMM\r\nWWWW\r\nHHHH", {10, 10, 30, 10 + line / 2}, 3, 1}};
    for (auto [text, area, lineCount, inked] : cases) {
        Bitmap image(300, 200);
        DeviceContext dc(&image);
        SetTextColor(&dc, kTextColor);
        RECT rect = area;
        EXPECT_EQ(DrawTextA(&dc, text, -1, &rect, DT_TOP_LEFT), lineCount * line) << text;
        const IntRect box{area.left, area.top, area.right, area.bottom};
        std::set<int> lines;
        for (auto [x, y] : Lit(image)) {
            ASSERT_TRUE(box.Contains(x, y)) << text << ": ink outside at " << x << "," << y;
            lines.insert((y - area.top) / line);
        }
        ASSERT_EQ(lines.size(), static_cast<size_t>(inked)) << text;
        EXPECT_EQ(*lines.rbegin(), inked - 1) << text;
    }
}

} // namespace
} // namespace oz
