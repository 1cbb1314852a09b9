#pragma once
// The drawing calls the program makes, with the argument orders and pixel rules
// of the classic Windows GDI, over our own software raster:
//  - rectangles (left, top, right, bottom) exclude the right column and bottom row;
//  - Ellipse and Rectangle outline with the selected pen and fill with the selected
//    brush; a hollow brush fills nothing; a pen of width 0 is one pixel wide;
//  - LineTo draws up to, not including, its end point and moves the current position;
//  - every primitive clips to its image before stepping through pixels.

#include "platform/pixels/Bitmap.h"
#include "platform/pixels/Color.h"

#include <cstddef>
#include <cstdint>

namespace oz {

class Font;

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct POINT {
    std::int32_t x = 0, y = 0;
};

struct LOGBRUSH {
    std::uint32_t lbStyle = 0;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;
};

constexpr int PS_SOLID = 0;
constexpr std::uint32_t BS_SOLID = 0;
constexpr std::uint32_t BS_HOLLOW = 1;

constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;

constexpr unsigned DT_TOP_LEFT = 0; // format 0: left and top aligned, breaks only at CR LF

enum class GdiKind { Pen, Brush };

// A pen or a brush. Handles are pointers to these; the program never looks inside.
struct GdiObject {
    GdiKind kind = GdiKind::Pen;
    bool stock = false;    // owned by the system, never deleted
    int selectedCount = 0; // device contexts holding it right now
    COLORREF color = 0;
    int width = 0;       // pens: 0 and 1 are one pixel
    bool hollow = false; // brushes: BS_HOLLOW
};

using HGDIOBJ = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;

// A device context: where drawing on one image goes, with what is selected into it.
struct DeviceContext {
    explicit DeviceContext(Bitmap* target = nullptr);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    Bitmap* image = nullptr;
    HPEN pen;
    HBRUSH brush;
    COLORREF textColor = 0;
    POINT position{};
    const Font* font = nullptr;
};
using HDC = DeviceContext*;

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            std::uint32_t rop);
bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, std::uint32_t rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool MoveToEx(HDC dc, int x, int y, POINT* previous);
bool LineTo(HDC dc, int x, int y);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* description);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a pen or brush once. Like the platform, refuses (returns false) while the
// object is still selected into a device context, and ignores stock objects.
bool DeleteObject(HGDIOBJ object);
bool SetRect(RECT* rect, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
COLORREF SetTextColor(HDC dc, COLORREF color);
// Length -1: the text ends at its zero byte. Format 0 only.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, unsigned format);

std::uint32_t GetTickCount();
void Sleep(std::uint32_t milliseconds);
void RtlZeroMemory(void* destination, std::size_t length);

HPEN StockBlackPen();
HBRUSH StockWhiteBrush();
// Pens and brushes created and not yet deleted, for tests that prove nothing leaks.
int LiveGdiObjectCount();

} // namespace oz
