#include "ui/OnScreenInfo.h"

#include "platform/pixels/Rounding.h"
#include "sim/StarPalette.h"
#include "ui/ScreenSize.h"

#include <cmath>

namespace oz {

namespace {} // namespace

OnScreenInfo::OnScreenInfo() {
    LOGBRUSH hollow{BS_HOLLOW, kWhite, 0};
    HollowBrush = CreateBrushIndirect(&hollow);
    OutlinePen = CreatePen(PS_SOLID, 2, kWhite);
    LOGBRUSH fill{BS_SOLID, kTextColor, 0};
    FillBrush = CreateBrushIndirect(&fill);
    NeedlePen = CreatePen(PS_SOLID, 2, kTextColor);

    OffsetX_ = ScreenWidthPx - 1024;
    OffsetY_ = ScreenHeightPx - 768;
    SetRect(&SpeedFrame_, OffsetX_ + 300, OffsetY_ + 700, OffsetX_ + 724, OffsetY_ + 720);
    if (SpeedFrame_.left > ScreenWidthPx - SpeedFrame_.right) {
        SpeedFrame_.left = ToInt32((ScreenWidthPx - 424) / 2.0);
        SpeedFrame_.right = ToInt32((ScreenWidthPx + 424) / 2.0);
    }
    SpeedFill_ = SpeedFrame_;
}

OnScreenInfo::~OnScreenInfo() {
    DeleteObject(HollowBrush);
    DeleteObject(OutlinePen);
    DeleteObject(FillBrush);
    DeleteObject(NeedlePen);
}

void OnScreenInfo::ReleaseFrom(HDC hDC) {
    for (HGDIOBJ own : {HollowBrush, FillBrush})
        if (hDC->brush == own)
            SelectObject(hDC, StockWhiteBrush());
    for (HGDIOBJ own : {OutlinePen, NeedlePen})
        if (hDC->pen == own)
            SelectObject(hDC, StockBlackPen());
}

void OnScreenInfo::DisplaySpeed(HDC hDC, float Percent) {
    SelectObject(hDC, HollowBrush);
    SelectObject(hDC, OutlinePen);
    Rectangle(hDC, SpeedFrame_.left - 3, SpeedFrame_.top - 3, SpeedFrame_.right + 4,
              SpeedFrame_.bottom + 4);
    SpeedFill_.right = SpeedFrame_.left +
                       ToInt32(static_cast<double>(SpeedFrame_.right - SpeedFrame_.left) * Percent);
    FillRect(hDC, &SpeedFill_, FillBrush);
}

void OnScreenInfo::DisplayView(HDC hDC, HDC hSrcDC, float AngH, float AngV) {
    const std::int32_t X0 = OffsetX_, Y0 = OffsetY_;
    BitBlt(hDC, X0 + 830, Y0 + 660, ImgXOff, ImgXOff, hSrcDC, 0, ImgYOff, SRCPAINT);
    BitBlt(hDC, X0 + 940, Y0 + 660, 37, ImgXOff, hSrcDC, ImgXOff, ImgYOff, SRCPAINT);
    SelectObject(hDC, NeedlePen);
    MoveToEx(hDC, X0 + 866, Y0 + 696, &LastPoint);
    LineTo(hDC, ToInt32(X0 + 866 + std::sin(static_cast<double>(AngH)) * 36),
           ToInt32(Y0 + 696 - std::cos(static_cast<double>(AngH)) * 36));
    MoveToEx(hDC, X0 + 941, Y0 + 696, &LastPoint);
    LineTo(hDC, ToInt32(X0 + 941 + std::cos(static_cast<double>(AngV)) * 36),
           ToInt32(Y0 + 696 - std::sin(static_cast<double>(AngV)) * 36));
}

} // namespace oz
