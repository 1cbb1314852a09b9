#include "widgets/Joystick2.h"

#include "platform/pixels/Rounding.h"
#include "widgets/Images.h"
#include "widgets/TimerOwner.h"

#include <cmath>

namespace oz {

namespace {

constexpr std::int16_t kWheelTimerCode = 2;
constexpr std::int16_t kTrackImage = 2;
constexpr std::int16_t kBallImage = 3;

constexpr float kPi = 3.141593f;
constexpr float kMaxAngle = kPi / 6;   // 30 degrees
constexpr float kRestAngle = kPi / 60; // below 3 degrees the swing back ends
constexpr COLORREF kGreen = 65280;

} // namespace

void Joystick2::SetPictureObject(PictureBox* surface) {
    if (surface != nullptr)
        pictMouse_.Bind(*surface, *this);
    Pict = surface;
    if (Pict != nullptr) {
        Pict->SetScaleMode(vbPixels);
        midX_ = ToInt32(Pict->ScaleWidth()) / 2;
        Pict->SetFillStyle(0);
        Pict->SetFillColor(kGreen);
    }
    ballX_ = 0;
    ballY_ = Radius;
    wheelAngle_ = 0;
}

void Joystick2::SetTimerObject(Timer* timer) {
    if (timer != nullptr) {
        tick_ = timer->Tick.Connect([this] { Tm_Timer(); });
        stopped_ = timer->Stopped.Connect([this] {
            if (TimerOwner != kWheelTimerCode)
                LostTimer();
        });
    }
    Tm = timer;
    if (Tm != nullptr)
        Tm->SetEnabled(false);
}

void Joystick2::Redraw() {
    Images& images = SpriteImages();
    images.DrawImage(Pict->hDC(), kTrackImage, 0, 0);
    images.DrawImage(Pict->hDC(), kBallImage, midX_ + ballX_ - WheelSize,
                     Center - ballY_ - WheelSize);
    Pict->Refresh();
}

float Joystick2::GetValue() const {
    return wheelAngle_ * 6 / kPi;
}

void Joystick2::PlaceBallAtAngle() {
    ballX_ = ToInt32(std::sin(static_cast<double>(wheelAngle_)) * Radius);
    ballY_ = ToInt32(std::cos(static_cast<double>(wheelAngle_)) * Radius);
}

void Joystick2::Pict_MouseDown(std::int16_t, std::int16_t, float X, float Y) {
    // No grab while the shared timer runs, whichever widget it serves.
    if (Tm != nullptr && Tm->Enabled())
        return;
    const double dx = static_cast<double>(X) - midX_;
    const double dy = static_cast<double>(Y) - (Center - Radius);
    const std::int32_t d = ToInt32(std::sqrt(dx * dx + dy * dy));
    grabX_ = ToInt32(X);
    grabY_ = ToInt32(Y);
    grabbed_ = d <= WheelSize;
}

void Joystick2::Pict_MouseMove(std::int16_t Button, std::int16_t, float X, float Y) {
    if (Button != vbLeftButton || !grabbed_)
        return;
    // The rest position moved by the pointer's way since the press.
    ballX_ = ToInt32(static_cast<double>(X) - grabX_);
    ballY_ = ToInt32(grabY_ - static_cast<double>(Y) + Radius);

    if (ballY_ > Radius / 2) {
        wheelAngle_ = static_cast<float>(std::atan(static_cast<double>(ballX_) / ballY_));
        if (wheelAngle_ > kMaxAngle)
            wheelAngle_ = kMaxAngle;
        if (wheelAngle_ < -kMaxAngle)
            wheelAngle_ = -kMaxAngle;
    } else {
        // Pulled down past about half the radius: swing fully to the pointer's side.
        wheelAngle_ = ballX_ <= 0 ? -kMaxAngle : kMaxAngle;
    }
    PlaceBallAtAngle();
    Redraw();
}

void Joystick2::Pict_MouseUp(std::int16_t, std::int16_t, float, float) {
    grabbed_ = false;
    returning_ = true;
    TimerOwner = kWheelTimerCode;
    if (Tm != nullptr)
        Tm->SetEnabled(true);
}

void Joystick2::Tm_Timer() {
    if (TimerOwner != kWheelTimerCode) {
        LostTimer();
        return;
    }
    wheelAngle_ = wheelAngle_ / 3;
    if (std::fabs(wheelAngle_) < kRestAngle) {
        wheelAngle_ = 0;
        returning_ = false;
        Tm->SetEnabled(false);
        TimerOwner = 0;
    }
    PlaceBallAtAngle();
    Redraw();
}

void Joystick2::LostTimer() {
    if (!returning_)
        return;
    returning_ = false;
    wheelAngle_ = 0;
    PlaceBallAtAngle();
    Redraw();
}

} // namespace oz
