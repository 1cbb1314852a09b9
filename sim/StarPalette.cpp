#include "sim/StarPalette.h"

#include <cmath>
#include <cstdint>

namespace oz {

namespace {
constexpr std::array<COLORREF, kStarTints> kTints = {
    RGB(255, 255, 255), RGB(253, 255, 206), RGB(255, 227, 198),
    RGB(217, 241, 255), RGB(221, 255, 254), RGB(245, 236, 255),
};

// The channel, still in its place, times Rate, to the nearest integer (halves to even).
COLORREF ScaledPart(COLORREF Clr, COLORREF mask, float Rate) {
    const double product = static_cast<double>(Clr & mask) * static_cast<double>(Rate);
    return static_cast<COLORREF>(static_cast<std::int64_t>(std::nearbyint(product))) & mask;
}
} // namespace

void StarPalette::CreateStarPalette(HDC view) {
    Colors = kTints;
    for (int i = 0; i < kStarTints; ++i) {
        StarPens[i] = CreatePen(PS_SOLID, 0, Colors[i]);
        const LOGBRUSH solid{BS_SOLID, Colors[i], 0};
        StarBrushes[i] = CreateBrushIndirect(&solid);
    }
    DeleteObject(SelectObject(view, StarPens[0]));
    DeleteObject(SelectObject(view, StarBrushes[0]));
}

void StarPalette::DeleteStarPalette(HDC view) {
    SelectObject(view, StockBlackPen());
    SelectObject(view, StockWhiteBrush());
    for (int i = 0; i < kStarTints; ++i) {
        DeleteObject(StarPens[i]);
        DeleteObject(StarBrushes[i]);
        StarPens[i] = nullptr;
        StarBrushes[i] = nullptr;
    }
}

COLORREF MultiplyColor(COLORREF Clr, float Rate) {
    const COLORREF blue = ScaledPart(Clr, 16711680, Rate);
    const COLORREF red = ScaledPart(Clr, 255, Rate);
    const COLORREF green = ScaledPart(Clr, 65280, Rate);
    return blue | red | green;
}

} // namespace oz
