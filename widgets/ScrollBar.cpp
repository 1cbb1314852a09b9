#include "widgets/ScrollBar.h"

#include "platform/pixels/Rounding.h"
#include "widgets/Images.h"
#include "widgets/TimerOwner.h"

#include <cmath>
#include <limits>

namespace oz {

namespace {

// Pictures of the sprite sheet.
constexpr std::int16_t kLeftButton = 4;
constexpr std::int16_t kLeftButtonPressed = 5;
constexpr std::int16_t kRightButton = 6;
constexpr std::int16_t kRightButtonPressed = 7;
constexpr std::int16_t kTrack = 8;
constexpr std::int16_t kThumbLeft = 9;
constexpr std::int16_t kThumbRight = 10;
constexpr std::int16_t kThumbMiddle = 11;

constexpr std::int32_t kButtonWidth = 16;
constexpr std::int32_t kThumbStart = 17; // ThumbPos of MinValue
constexpr std::int32_t kDragSlack = 20;  // pixels beyond either end before the thumb jumps back

// 32-bit integer arithmetic as the design does it. Within the callers' limits
// nothing overflows; beyond them these wrap instead of being undefined.
std::int32_t Sub32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
std::int32_t Mul32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// CurValue moved by a step, held at a bound (64-bit so that the sum itself cannot overflow).
std::int32_t StepDown(std::int32_t value, std::int32_t step, std::int32_t low) {
    std::int64_t v = static_cast<std::int64_t>(value) - step;
    if (v < low)
        v = low;
    return static_cast<std::int32_t>(v);
}
std::int32_t StepUp(std::int32_t value, std::int32_t step, std::int32_t high) {
    std::int64_t v = static_cast<std::int64_t>(value) + step;
    if (v > high)
        v = high;
    return static_cast<std::int32_t>(v);
}

} // namespace

ScrollBar::ScrollBar() = default;

ScrollBar::~ScrollBar() = default; // its connections end with it

void ScrollBar::SetPictureObject(PictureBox* surface) {
    Pict = surface;
    if (Pict == nullptr)
        return;
    pictMouse_.Bind(*Pict, *this);
    pictDblClick_ = Pict->DblClick.Connect([this] { Pict_DblClick(); });
    Pict->SetScaleMode(vbPixels);
    Pict->SetHeight(315); // twips: 21 pixels
    BarWidth_ = ToInt32(Pict->ScaleWidth());
    TrackLen_ = BarWidth_ - 34;
}

void ScrollBar::SetTimerObject(Timer* timer) {
    Tm = timer;
    if (Tm == nullptr)
        return;
    tick_ = Tm->Tick.Connect([this] { Tm_Timer(); });
    Tm->SetEnabled(false);
}

void ScrollBar::SetValues(std::int32_t MinValue, std::int32_t MaxValue, std::int32_t MinChange,
                          std::int32_t LargeChange, std::int32_t InitValue) {
    MinValue_ = MinValue;
    MaxValue_ = MaxValue;
    MinChange_ = MinChange;
    LargeChange_ = LargeChange;
    CurValue_ = InitValue;

    const double range = static_cast<double>(MaxValue_) - static_cast<double>(MinValue_);
    const double thumb = std::floor(static_cast<double>(TrackLen_) /
                                    (range / static_cast<double>(LargeChange_) + 1.0));
    ThumbLen_ = ToInt32(thumb);
    if (ThumbLen_ < 9)
        ThumbLen_ = 9;

    ThumbPos_ = ValueToThumbPos();
}

std::int32_t ScrollBar::ValueToThumbPos() const {
    const std::int32_t product = Mul32(Sub32(TrackLen_, ThumbLen_), Sub32(CurValue_, MinValue_));
    return ToInt32(static_cast<double>(product) / static_cast<double>(Sub32(MaxValue_, MinValue_)) +
                   kThumbStart);
}

std::int32_t ScrollBar::ThumbPosToValue() const {
    const std::int32_t product = Mul32(Sub32(MaxValue_, MinValue_), Sub32(ThumbPos_, kThumbStart));
    return ToInt32(static_cast<double>(product) / static_cast<double>(Sub32(TrackLen_, ThumbLen_)) +
                   static_cast<double>(MinValue_));
}

void ScrollBar::Redraw() {
    if (Pict == nullptr)
        return;
    Images& images = SpriteImages();
    const HDC dc = Pict->hDC();
    images.DrawImage(dc, LeftPressed_ ? kLeftButtonPressed : kLeftButton, 0, 0);
    images.DrawImage(dc, RightPressed_ ? kRightButtonPressed : kRightButton,
                     BarWidth_ - kButtonWidth, 0);
    images.DrawStretchImage(dc, kTrack, kButtonWidth, 0, TrackLen_ + 2, 21);
    images.DrawImage(dc, kThumbLeft, ThumbPos_, 2);
    images.DrawImage(dc, kThumbRight, ThumbPos_ + ThumbLen_ - 4, 2);
    images.DrawStretchImage(dc, kThumbMiddle, ThumbPos_ + 4, 2, ThumbLen_ - 8, 17);
    Pict->Refresh();
}

std::int32_t ScrollBar::Value() const {
    return Dragging_ ? ThumbPosToValue() : CurValue_;
}

void ScrollBar::SetValue(std::int32_t v) {
    CurValue_ = v < MinValue_ ? MinValue_ : v;
    ThumbPos_ = ValueToThumbPos();
    Redraw();
}

// An arrow button pressed: one step now, then the shared timer repeats it while held.
void ScrollBar::PressArrowButton(std::int32_t stepped) {
    CurValue_ = stepped;
    ThumbPos_ = ValueToThumbPos();
    if (Tm != nullptr)
        Tm->SetEnabled(true);
    TimerOwner = CurTimerLoc;
    RepeatDelay_ = 5;
    Changed.Raise();
}

void ScrollBar::Pict_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    (void)Button; // any mouse button
    (void)Shift;
    (void)Y;
    const double x = X;
    if (x < kButtonWidth) {
        LeftPressed_ = true;
        PressArrowButton(StepDown(CurValue_, MinChange_, MinValue_));
    } else if (x > static_cast<double>(BarWidth_) - kButtonWidth) {
        RightPressed_ = true;
        PressArrowButton(StepUp(CurValue_, MinChange_, MaxValue_));
    } else if (static_cast<double>(ThumbPos_) <= x &&
               x < static_cast<double>(ThumbPos_) + static_cast<double>(ThumbLen_)) {
        GrabX_ = ToInt32(x);
        Dragging_ = true;
    } else if (x < static_cast<double>(ThumbPos_)) {
        CurValue_ = StepDown(CurValue_, LargeChange_, MinValue_);
        ThumbPos_ = ValueToThumbPos();
        Changed.Raise();
    } else {
        CurValue_ = StepUp(CurValue_, LargeChange_, MaxValue_);
        ThumbPos_ = ValueToThumbPos();
        Changed.Raise();
    }
    Redraw();
}

void ScrollBar::Pict_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    (void)Shift;
    if (Button == vbLeftButton && Dragging_) {
        const std::int32_t p0 = ValueToThumbPos();
        const double x = X;
        ThumbPos_ = ToInt32(x + static_cast<double>(p0) - static_cast<double>(GrabX_));
        if (x >= -kDragSlack && x <= static_cast<double>(BarWidth_) + kDragSlack) {
            if (ThumbPos_ < kThumbStart)
                ThumbPos_ = kThumbStart;
            if (ThumbPos_ > BarWidth_ - ThumbLen_ - kThumbStart)
                ThumbPos_ = BarWidth_ - ThumbLen_ - kThumbStart;
        } else {
            ThumbPos_ = p0;
        }
        Redraw();
        Changed.Raise();
    }
    LastX_ = X;
    LastY_ = Y;
}

void ScrollBar::Pict_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    (void)Button; // any mouse button
    (void)Shift;
    (void)X;
    (void)Y;
    if (LeftPressed_ || RightPressed_) {
        if (Tm != nullptr)
            Tm->SetEnabled(false);
        TimerOwner = 0;
    } else if (Dragging_) {
        CurValue_ = ThumbPosToValue();
    }
    ThumbPos_ = ValueToThumbPos();
    LeftPressed_ = false;
    RightPressed_ = false;
    Dragging_ = false;
    Redraw();
}

void ScrollBar::Pict_DblClick() {
    Pict_MouseDown(vbLeftButton, 0, LastX_, LastY_);
}

void ScrollBar::Tm_Timer() {
    if (TimerOwner != CurTimerLoc)
        return;
    if (RepeatDelay_ != 0) {
        --RepeatDelay_;
        return;
    }
    if (LeftPressed_)
        CurValue_ = StepDown(CurValue_, MinChange_, MinValue_);
    else if (RightPressed_)
        CurValue_ = StepUp(CurValue_, MinChange_, MaxValue_);
    ThumbPos_ = ValueToThumbPos();
    Redraw();
    Changed.Raise();
}

} // namespace oz
