#include "widgets/Joystick.h"

#include "platform/pixels/Rounding.h"
#include "widgets/Images.h"
#include "widgets/TimerOwner.h"

#include <cmath>

namespace oz {

namespace {

constexpr std::int16_t kJoystickTimerCode = 1;
constexpr std::int16_t kWellImage = 0;
constexpr std::int16_t kKnobImage = 1;

} // namespace

void Joystick::SetPictureObject(PictureBox* surface) {
    if (surface != nullptr)
        pictMouse_.Bind(*surface, *this);
    Pict = surface;
    if (Pict != nullptr) {
        Pict->SetScaleMode(vbPixels);
        padCenter_ = ToInt32(Pict->ScaleWidth()) / 2;
    }
    knobX_ = 0;
    knobY_ = 0;
}

void Joystick::SetTimerObject(Timer* timer) {
    if (timer != nullptr) {
        tick_ = timer->Tick.Connect([this] { Tm_Timer(); });
        stopped_ = timer->Stopped.Connect([this] {
            if (TimerOwner != kJoystickTimerCode)
                LostTimer();
        });
    }
    Tm = timer;
    if (Tm != nullptr)
        Tm->SetEnabled(false);
}

void Joystick::Redraw() {
    Images& images = SpriteImages();
    images.DrawImage(Pict->hDC(), kWellImage, 0, 0);
    images.DrawImage(Pict->hDC(), kKnobImage, padCenter_ + knobX_ - WheelSize,
                     padCenter_ - knobY_ - WheelSize);
    Pict->Refresh();
}

float Joystick::GetXAxis() const {
    return static_cast<float>(static_cast<double>(knobX_) / Travel());
}

float Joystick::GetYAxis() const {
    return static_cast<float>(static_cast<double>(knobY_) / Travel());
}

void Joystick::Pict_MouseDown(std::int16_t, std::int16_t, float X, float Y) {
    // No grab while the shared timer runs, whichever widget it serves.
    if (Tm != nullptr && Tm->Enabled())
        return;
    const double dx = static_cast<double>(X) - padCenter_;
    const double dy = static_cast<double>(Y) - padCenter_;
    const std::int32_t d = ToInt32(std::sqrt(dx * dx + dy * dy));
    grabX_ = ToInt32(X);
    grabY_ = ToInt32(Y);
    grabbed_ = d <= WheelSize;
}

void Joystick::Pict_MouseMove(std::int16_t Button, std::int16_t, float X, float Y) {
    if (Button != vbLeftButton || !grabbed_)
        return;
    knobX_ = ToInt32(static_cast<double>(X) - grabX_);
    knobY_ = ToInt32(grabY_ - static_cast<double>(Y));

    // Past the travel, pull the knob back onto its circle in the pointer's direction.
    const double x = knobX_, y = knobY_;
    const std::int32_t d = ToInt32(std::sqrt(x * x + y * y));
    const std::int32_t travel = Travel();
    if (d >= travel) {
        const double k = static_cast<double>(travel) / d;
        knobX_ = ToInt32(knobX_ * k);
        knobY_ = ToInt32(knobY_ * k);
    }
    Redraw();
}

void Joystick::Pict_MouseUp(std::int16_t, std::int16_t, float, float) {
    grabbed_ = false;
    returning_ = true;
    TimerOwner = kJoystickTimerCode;
    if (Tm != nullptr)
        Tm->SetEnabled(true);
}

void Joystick::Tm_Timer() {
    if (TimerOwner != kJoystickTimerCode) {
        LostTimer();
        return;
    }
    knobX_ /= 2;
    knobY_ /= 2;
    Redraw();
    if (knobX_ == 0 && knobY_ == 0) {
        returning_ = false;
        Tm->SetEnabled(false);
        TimerOwner = 0;
    }
}

void Joystick::LostTimer() {
    if (!returning_)
        return;
    returning_ = false;
    knobX_ = 0;
    knobY_ = 0;
    Redraw();
}

} // namespace oz
