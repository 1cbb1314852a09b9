#pragma once
// The read-outs of full-screen mode, drawn on the star view after the stars: a speed bar,
// and two dials with needles for the horizontal and vertical look angles. Placed as on a
// 1024 x 768 screen, shifted to keep their distance from the bottom-right corner; on wider
// screens the speed bar is centred.

#include "platform/pixels/Gdi.h"

#include <cstdint>

namespace oz {

class OnScreenInfo {
public:
    // Made after the screen has been measured (ScreenWidthPx, ScreenHeightPx).
    OnScreenInfo();
    ~OnScreenInfo();
    OnScreenInfo(const OnScreenInfo&) = delete;
    OnScreenInfo& operator=(const OnScreenInfo&) = delete;

    std::int32_t ImgYOff = 0; // y of the dial strip on the sprite sheet
    std::int32_t ImgXOff = 0; // x of the half dial; also the full dial's size

    // The bar's outline and its filled share Percent (0 to 1).
    void DisplaySpeed(HDC hDC, float Percent);
    // The two dials from the sprite sheet, laid over the view by OR, and their needles.
    void DisplayView(HDC hDC, HDC hSrcDC, float AngH, float AngV);

    // Gives the view's device context its stock pen and brush back, so that the read-out's
    // own can be deleted; done before the read-out goes.
    void ReleaseFrom(HDC hDC);

    const RECT& SpeedFrame() const { return SpeedFrame_; }
    const RECT& SpeedFill() const { return SpeedFill_; }
    std::int32_t OffsetX() const { return OffsetX_; }
    std::int32_t OffsetY() const { return OffsetY_; }

private:
    HBRUSH HollowBrush;
    HPEN OutlinePen;
    HBRUSH FillBrush;
    HPEN NeedlePen;
    RECT SpeedFrame_{};
    RECT SpeedFill_{};
    POINT LastPoint{};
    std::int32_t OffsetX_ = 0;
    std::int32_t OffsetY_ = 0;
};

} // namespace oz
