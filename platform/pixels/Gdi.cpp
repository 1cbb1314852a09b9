#include "platform/pixels/Gdi.h"

#include "platform/pixels/Font.h"
#include "platform/pixels/Raster.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace oz {

namespace {

constexpr COLORREF kInvalidColor = 0xFFFFFFFF; // CLR_INVALID

// Pens and brushes created and not yet deleted. A handle that is not here (and not stock)
// is refused, so a second DeleteObject of the same handle is harmless.
std::unordered_set<GdiObject*>& LiveObjects() {
    static std::unordered_set<GdiObject*> objects;
    return objects;
}

// Stock objects are recognised by address, so a deleted handle is never read.
bool IsStock(const GdiObject* object) {
    return object == StockBlackPen() || object == StockWhiteBrush();
}

bool IsValid(const GdiObject* object) {
    return object != nullptr &&
           (IsStock(object) || LiveObjects().count(const_cast<GdiObject*>(object)) != 0);
}

GdiObject* Register(GdiObject* object) {
    LiveObjects().insert(object);
    return object;
}

// The platform drops the flag byte of a colour (palette-index bits) when it draws.
COLORREF Rgb(COLORREF color) {
    return color & 0x00FFFFFF;
}

Bitmap* Target(HDC dc) {
    if (dc == nullptr || dc->image == nullptr)
        return nullptr;
    return dc->image;
}

int PenWidth(const GdiObject* pen) {
    return std::max(pen->width, 1);
}

// Ellipse and Rectangle take their corners in any order.
IntRect OrderedBox(int left, int top, int right, int bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return {left, top, right, bottom};
}

raster::Rop RopFrom(std::uint32_t rop, bool& known) {
    known = true;
    switch (rop) {
    case SRCCOPY:
        return raster::Rop::Copy;
    case SRCPAINT:
        return raster::Rop::Or;
    case SRCAND:
        return raster::Rop::And;
    default:
        known = false;
        return raster::Rop::Copy;
    }
}

} // namespace

// ---- Device contexts ----

DeviceContext::DeviceContext(Bitmap* target)
    : image(target), pen(StockBlackPen()), brush(StockWhiteBrush()) {
    ++pen->selectedCount;
    ++brush->selectedCount;
}

DeviceContext::~DeviceContext() {
    if (pen != nullptr)
        --pen->selectedCount;
    if (brush != nullptr)
        --brush->selectedCount;
}

HPEN StockBlackPen() {
    static GdiObject pen{GdiKind::Pen, true, 0, RGB(0, 0, 0), 0, false};
    return &pen;
}

HBRUSH StockWhiteBrush() {
    static GdiObject brush{GdiKind::Brush, true, 0, RGB(255, 255, 255), 0, false};
    return &brush;
}

int LiveGdiObjectCount() {
    return static_cast<int>(LiveObjects().size());
}

// ---- Pens and brushes ----

HPEN CreatePen(int /*style: PS_SOLID, the only one the program uses*/, int width, COLORREF color) {
    return Register(new GdiObject{GdiKind::Pen, false, 0, Rgb(color), std::max(width, 0), false});
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* description) {
    if (description == nullptr)
        return nullptr;
    const bool hollow = description->lbStyle == BS_HOLLOW;
    return Register(new GdiObject{GdiKind::Brush, false, 0, Rgb(description->lbColor), 0, hollow});
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (dc == nullptr || !IsValid(object))
        return nullptr;
    HGDIOBJ& slot = object->kind == GdiKind::Pen ? dc->pen : dc->brush;
    HGDIOBJ previous = slot;
    ++object->selectedCount;
    if (previous != nullptr)
        --previous->selectedCount;
    slot = object;
    return previous;
}

bool DeleteObject(HGDIOBJ object) {
    if (object == nullptr)
        return false;
    if (IsStock(object))
        return true; // stock objects belong to the system: ignored
    auto& live = LiveObjects();
    auto it = live.find(object);
    if (it == live.end())
        return false; // not a live handle (already deleted)
    if (object->selectedCount > 0)
        return false; // still selected into a device context: stays
    live.erase(it);
    delete object;
    return true;
}

// ---- Drawing ----

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            std::uint32_t rop) {
    bool known = false;
    raster::Rop r = RopFrom(rop, known);
    Bitmap* to = Target(dst);
    Bitmap* from = Target(src);
    if (!known || to == nullptr || from == nullptr)
        return false;
    raster::Blit(*to, x, y, width, height, *from, srcX, srcY, r);
    return true;
}

bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, std::uint32_t rop) {
    bool known = false;
    raster::Rop r = RopFrom(rop, known);
    Bitmap* to = Target(dst);
    Bitmap* from = Target(src);
    if (!known || to == nullptr || from == nullptr)
        return false;
    raster::StretchBlit(*to, x, y, width, height, *from, srcX, srcY, srcWidth, srcHeight, r);
    return true;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    Bitmap* image = Target(dc);
    if (image == nullptr || !image->Contains(x, y))
        return kInvalidColor;
    const Pixel p = PixelFromColor(color);
    image->Set(x, y, p);
    return ColorFromPixel(p);
}

namespace {

using ShapeRaster = void (*)(Bitmap&, const IntRect&, Pixel, int, bool, Pixel);

// Ellipse and Rectangle: outlined with the selected pen, filled with the selected brush.
bool DrawShape(HDC dc, int left, int top, int right, int bottom, ShapeRaster draw) {
    Bitmap* image = Target(dc);
    if (image == nullptr)
        return false;
    const GdiObject* pen = dc->pen ? dc->pen : StockBlackPen();
    const GdiObject* brush = dc->brush ? dc->brush : StockWhiteBrush();
    draw(*image, OrderedBox(left, top, right, bottom), PixelFromColor(pen->color), PenWidth(pen),
         !brush->hollow, PixelFromColor(brush->color));
    return true;
}

} // namespace

bool Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return DrawShape(dc, left, top, right, bottom, raster::DrawEllipse);
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return DrawShape(dc, left, top, right, bottom, raster::DrawRectangle);
}

bool MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (dc == nullptr)
        return false;
    if (previous != nullptr)
        *previous = dc->position;
    dc->position = {x, y};
    return true;
}

bool LineTo(HDC dc, int x, int y) {
    if (dc == nullptr)
        return false;
    const GdiObject* pen = dc->pen ? dc->pen : StockBlackPen();
    if (dc->image != nullptr) {
        // Thin pens leave out the end point; wide (geometric) pens stroke the whole segment
        // with round ends.
        raster::DrawLine(*dc->image, dc->position.x, dc->position.y, x, y,
                         PixelFromColor(pen->color), PenWidth(pen), PenWidth(pen) > 1);
    }
    dc->position = {x, y};
    return true;
}

bool SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (rect == nullptr)
        return false;
    rect->left = left;
    rect->top = top;
    rect->right = right;
    rect->bottom = bottom;
    return true;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (dc == nullptr || rect == nullptr || !IsValid(brush) || brush->kind != GdiKind::Brush)
        return 0;
    if (brush->hollow || dc->image == nullptr)
        return 1;
    const IntRect box{rect->left, rect->top, rect->right, rect->bottom};
    if (!box.IsEmpty())
        dc->image->FillRect(box, PixelFromColor(brush->color));
    return 1;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (dc == nullptr)
        return kInvalidColor;
    COLORREF previous = dc->textColor;
    dc->textColor = Rgb(color);
    return previous;
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, unsigned /*format: 0*/) {
    if (dc == nullptr || text == nullptr || rect == nullptr)
        return 0;
    std::string_view rest =
        length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length));
    if (rest.empty())
        return 0;
    const Font& font = dc->font ? *dc->font : Font::Get(FontSpec{});
    const int lineHeight = font.LineHeight();
    const IntRect clip{rect->left, rect->top, rect->right, rect->bottom};
    const Pixel color = PixelFromColor(dc->textColor);
    long long top = rect->top;
    int lines = 0;
    while (true) {
        const size_t br = rest.find("\r\n");
        const std::string_view line = rest.substr(0, br);
        // Lines wholly below the rectangle are clipped away and need no drawing.
        if (dc->image != nullptr && !clip.IsEmpty() && top < clip.bottom && !line.empty())
            font.DrawLine(*dc->image, line, rect->left, static_cast<int>(top), color, clip);
        ++lines;
        if (br == std::string_view::npos)
            break;
        rest.remove_prefix(br + 2);
        top += lineHeight;
    }
    return lines * lineHeight;
}

// ---- Memory ----
// (GetTickCount and Sleep forward to the backend in platform/forms/Backend.cpp.)

void RtlZeroMemory(void* destination, std::size_t length) {
    if (destination != nullptr && length > 0)
        std::memset(destination, 0, length);
}

} // namespace oz
